#include "app/pages/ranking_protocol.h"

#include <cstdlib>
#include <cwctype>
#include <limits>

#include "app/shell/program_identity.h"
#include "platform/trace.h"

namespace {

constexpr int kMaxPasses = 100;

std::wstring replaceAmpersands(std::wstring text) {
  for (size_t at = text.find(L'&'); at != std::wstring::npos; at = text.find(L'&', at + 1)) text.replace(at, 1, L"＆");
  return text;
}

// What one key of the reply sets: a field of the record and the pending field it clears.
struct ReplyKey {
  const wchar_t* name;
  int32_t PointInfoRecord::*field;           // null for the next-rank points
  int32_t PointInfoRecord::Counters::*count;  // the accepted and pending count, or null
  bool monthly;
};

using R = PointInfoRecord;
using C = PointInfoRecord::Counters;
const ReplyKey kKeys[] = {
    {L"rank", &R::totalRank, nullptr, false},       {L"users", &R::totalUsers, nullptr, false},
    {L"nextpoint", nullptr, nullptr, false},        {L"newpoint", nullptr, &C::p, false},
    {L"newcorrect", nullptr, &C::nc, false},        {L"newincorrect", nullptr, &C::ni, false},
    {L"newsec", nullptr, &C::sec, false},           {L"rank_m", &R::monthlyRank, nullptr, true},
    {L"users_m", &R::monthlyUsers, nullptr, true},  {L"nextpoint_m", nullptr, nullptr, true},
    {L"newpoint_m", nullptr, &C::p, true},          {L"newcorrect_m", nullptr, &C::nc, true},
    {L"newincorrect_m", nullptr, &C::ni, true},     {L"newsec_m", nullptr, &C::sec, true},
};

void applyPair(const ReplyKey& key, int value, PointInfoRecord& record, RankingReplyOutcome& outcome) {
  if (key.field) {
    record.*key.field = value;
    if (key.field == &R::totalRank) outcome.totalRankReceived = true;
    if (key.field == &R::monthlyRank) outcome.monthlyRankReceived = true;
  } else if (key.count) {
    PointInfoRecord::Counters& accepted = key.monthly ? record.acceptedMonthly : record.acceptedTotal;
    PointInfoRecord::Counters& pending = key.monthly ? record.pendingMonthly : record.pendingTotal;
    accepted.*key.count = value;
    pending.*key.count = 0;
  } else {
    (key.monthly ? outcome.nextPointMonthly : outcome.nextPoint) = value;
  }
}

}  // namespace

std::string RankingServerAddress() {
  const char* value = std::getenv("KELVARA_RANKING_URL");
  std::string address = value ? value : "";
  while (!address.empty() && address.back() == '/') address.pop_back();
  return address;
}

std::wstring RankingQueryText(const PointInfoRecord& record, const std::wstring& comment) {
  const auto text = [](const PointText& field) { return PointInfoRecord::text(field); };
  const PointInfoRecord::Counters& total = record.pendingTotal;
  const PointInfoRecord::Counters& month = record.pendingMonthly;
  return platform::format(
      L"id=%ls&pass=%ls&ver=%ls&com=%ls&diffupdate=2&nc=%d&ni=%d&p=%d&rq=%ls&ls=%ls&sec=%d&lt=%d&nc_m=%d&ni_m=%d&p_m=%d"
      L"&rq_m=%ls&ls_m=%ls&sec_m=%d&lt_m=%d",
      text(record.rankingId).c_str(), text(record.rankingPassword).c_str(), kProgramVersion,
      replaceAmpersands(comment).c_str(), total.nc, total.ni, total.p, text(total.rq).c_str(), text(total.ls).c_str(),
      total.sec, total.lt, month.nc, month.ni, month.p, text(month.rq).c_str(), text(month.ls).c_str(), month.sec,
      month.lt);
}

bool ParseRankingReply(std::wstring_view reply, size_t& pos, std::wstring_view key, int& value) {
  if (reply.substr(pos, key.size()) != key || reply.substr(pos + key.size(), 1) != L"=") return false;
  size_t at = pos + key.size() + 1;
  size_t number = at;
  while (number < reply.size() && std::iswspace(reply[number])) ++number;  // as a "%d" scan allows
  const bool hasSign = number < reply.size() && (reply[number] == L'-' || reply[number] == L'+');
  size_t digit = number + (hasSign ? 1 : 0);
  int64_t magnitude = 0;
  size_t digits = 0;
  for (; digit < reply.size() && reply[digit] >= L'0' && reply[digit] <= L'9'; ++digit, ++digits) {
    magnitude = magnitude * 10 + (reply[digit] - L'0');
    if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  if (digits == 0) return false;
  const int64_t signedValue = reply[number] == L'-' ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<int32_t>::max()) return false;
  value = static_cast<int>(signedValue);
  while (at < reply.size() && ((reply[at] >= L'0' && reply[at] <= L'9') || reply[at] == L'-')) ++at;
  if (at < reply.size()) {
    if (reply[at] == L'\r' && at + 1 < reply.size() && reply[at + 1] == L'\n') ++at;
    ++at;
  }
  pos = at;
  return true;
}

RankingValues totalRankingValues(const PointInfoRecord& record) {
  return {record.totalUpdateTime, record.totalRank, record.totalUsers};
}

RankingValues monthlyRankingValues(const PointInfoRecord& record) {
  return {record.monthlyUpdateTime, record.monthlyRank, record.monthlyUsers};
}

RankingReplyOutcome ApplyRankingReply(std::wstring_view reply, PointInfoRecord& record, int64_t now) {
  RankingReplyOutcome outcome;
  size_t pos = 0;
  for (int pass = 0; pass < kMaxPasses && pos < reply.size(); ++pass) {
    for (const ReplyKey& key : kKeys) {
      int value = 0;
      if (ParseRankingReply(reply, pos, key.name, value)) applyPair(key, value, record, outcome);
    }
    const std::wstring_view rest = reply.substr(pos);
    if (rest.starts_with(L"msg=")) {
      outcome.serverMessage = std::wstring(rest.substr(4));
      break;
    }
    if (rest.starts_with(L"invalid")) {
      outcome.accountRefused = true;
      record.totalRank = record.totalUsers = 0;
      break;
    }
  }
  if (outcome.totalRankReceived) record.totalUpdateTime = static_cast<int32_t>(now);
  if (outcome.monthlyRankReceived) record.monthlyUpdateTime = static_cast<int32_t>(now);
  // Only a reply that ranked the user has taken the counts: an error page, a message or a
  // refused account leaves them to be sent again.
  if (outcome.totalRankReceived && record.totalRank != 0) record.clearPendingCounts();
  return outcome;
}

std::wstring RankingTransferError(platform::HttpFailure failure) {
  switch (failure) {
    case platform::HttpFailure::Connect:
      return L"接続に失敗しました";
    case platform::HttpFailure::Send:
      return L"HTTP-GET リクエスト送信に失敗しました";
    case platform::HttpFailure::Status:
      return L"接続状況が不正です";
    case platform::HttpFailure::Read:
      return L"HTML文書の取得に失敗しました";
    case platform::HttpFailure::None:
      break;
  }
  return {};
}
