// The ranking server's side of the ranking page: the query that carries a user's pending counts,
// and the reply of key=value pairs that hands back ranks and accepted totals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/http_get.h"
#include "services/point_info_store.h"

// The server's address from KELVARA_RANKING_URL ("http://host[:port]"), without a trailing "/";
// empty when it is not set, and then nothing is sent and no page of it is opened.
std::string RankingServerAddress();

// The query of an update: account, version, the comment (with "&" made "＆" so that it cannot end
// its field) and both pending blocks.
std::wstring RankingQueryText(const PointInfoRecord& record, const std::wstring& comment);

// One pair "key=<decimal>" exactly at pos (no blank skipped before the key). On a match pos moves
// past the pair and one separator (CR LF counting as one) and never past the end. A number that
// does not fit 32 bits does not match.
bool ParseRankingReply(std::wstring_view reply, size_t& pos, std::wstring_view key, int& value);

// A rank, its number of users and the time it was received.
struct RankingValues {
  int32_t updateTime = 0;
  int32_t rank = 0;
  int32_t users = 0;
};
RankingValues totalRankingValues(const PointInfoRecord& record);
RankingValues monthlyRankingValues(const PointInfoRecord& record);

// What a reply did beyond the record.
struct RankingReplyOutcome {
  bool totalRankReceived = false;
  bool monthlyRankReceived = false;
  int nextPoint = 0;         // points of the next total rank, 0 when not sent
  int nextPointMonthly = 0;
  std::optional<std::wstring> serverMessage;  // the text after "msg="
  bool accountRefused = false;                // "invalid"
};

// Reads the reply into the record (ranks, users, accepted counts, each accepted count clearing
// its pending one) and stamps the received ranks with `now`. A reply whose total rank came and is
// not 0 has taken the pending counts, which are then cleared.
RankingReplyOutcome ApplyRankingReply(std::wstring_view reply, PointInfoRecord& record, int64_t now);

// The box text of a failed transfer.
std::wstring RankingTransferError(platform::HttpFailure failure);
