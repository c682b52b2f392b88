#include "app/pages/smart_selection.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

#include "app/common/page_reads.h"
#include "database/logs/question_selection.h"
#include "database/folders/section_questions.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "platform/trace.h"
#include "study/study_flow.h"

namespace smart {

namespace {

constexpr int64_t kRecentStudySeconds = 10800;
constexpr int kHalfForgotten = 50;

const pdb3::MemoryRate& recordOf(int qid) { return *RateMap().at(qid); }

}  // namespace

RateMapType& RateMap() {
  static RateMapType map;
  return map;
}

bool CompareByCurrentRate(int a, int b) { return RateMap().at(a)->currentRate() < RateMap().at(b)->currentRate(); }

bool CompareByNextLevelupTime(int a, int b) { return recordOf(a).nextLevelupTime() < recordOf(b).nextLevelupTime(); }

namespace {

// Sorting (key, id) pairs rather than ids spares two map look-ups per comparison, which made the
// sort of a large binder slower than reading it.
template <typename Key>
void stableSortByKey(std::vector<int>& ids, const std::function<Key(pdb3::MemoryRate&)>& keyOf) {
  std::vector<std::pair<Key, int>> keyed;
  keyed.reserve(ids.size());
  for (int qid : ids) keyed.emplace_back(keyOf(*RateMap().at(qid)), qid);
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < ids.size(); ++i) ids[i] = keyed[i].second;
}

}  // namespace

void StableSortByCurrentRate(std::vector<int>& ids) {
  stableSortByKey<int>(ids, [](pdb3::MemoryRate& record) { return record.currentRate(); });
}

void StableSortByNextLevelupTime(std::vector<int>& ids) {
  stableSortByKey<int64_t>(ids, [](pdb3::MemoryRate& record) { return record.nextLevelupTime(); });
}

double ReviewFactor(int slider) {
  switch (slider) {
    case 0: return 0.7;
    case 2: return 1.0 - 0.8;  // 0.19999999999999996: ten requested give one, not two
    default: return 0.5;
  }
}

namespace {

using TakeRecord = std::function<void(int, std::shared_ptr<pdb3::MemoryRate>, const sqliteplus::SqliteCursor&)>;
// The columns readPrimedRecords reads before those the caller adds.
constexpr int kRecordColumns = 15;

// The rows readPrimedRecords reads a record of: `from` names the memory_rate row (if any) "m",
// `qidColumn` the row's question id; `where` and `order` may be empty.
struct RecordRows {
  const wchar_t* qidColumn;
  std::wstring from;
  std::wstring where;
  std::wstring order;
};

struct StudyTimes {
  int latest = -1;  // none studied
  int first = 0;
};
using StudyTimesMap = std::unordered_map<int, StudyTimes>;

// Whether the file has an index that finds a question's rows of question_log (the program's look-up
// index, or another tool's on the same leading column); nothing when the file could not be read,
// which tells nothing of the index.
std::optional<bool> studyTimesIndexed(const pdb3::DbObject& accessor) {
  int count = 0;
  if (pdb3::readFirstInt(accessor,
                         L"SELECT count(*) FROM sqlite_master AS i, pragma_index_info(i.name) AS c "
                         L"WHERE i.type='index' AND i.tbl_name='question_log' COLLATE NOCASE AND "
                         L"c.seqno=0 AND c.name='qid' COLLATE NOCASE",
                         count) == pdb3::FirstRow::failed)
    return std::nullopt;
  return count > 0;
}

// The latest and first study times of the rows' questions for one user, in one pass over
// question_log: for a file without its look-up index (one the program may not write), where a
// look-up per question would read the whole table each time.
bool readStudyTimes(const pdb3::DbObject& accessor, const RecordRows& rows, int uid, StudyTimesMap& times) {
  const std::wstring sql = platform::format(
      L"SELECT qid, max(LastStudyTime), min(CASE WHEN LastStudyTime > 0 THEN LastStudyTime END) FROM question_log "
      L"WHERE uid=%d AND qid IN (SELECT %ls %ls %ls) GROUP BY qid",
      uid, rows.qidColumn, rows.from.c_str(), rows.where.c_str());
  return pdb3::forEachRow(accessor, sql, [&](const sqliteplus::SqliteCursor& row) {
    times[row.getInt(0)] = {row.getIntOr(1, -1), row.getIntOr(2, 0)};
  });
}

// Hands over one record per row, each with its latest and first study times. The `more` columns
// (", a, b" or none) follow the record's. False when a statement fails.
bool readPrimedRecords(const pdb3::DbObject& accessor, const RecordRows& rows, int uid, int64_t now,
                       const TakeRecord& take, const std::string& more = {}) {
  // The check comes first, outside the transaction: a file another program holds refuses the read
  // at its first statement (a read tried again by itself costs no more), and an index added or
  // dropped meanwhile changes only how fast the rows come.
  const std::optional<bool> indexed = studyTimesIndexed(accessor);
  if (!indexed) return false;
  // Both statements read one state of the file, whatever another program writes meanwhile.
  const pdb3::ReadTransaction oneState(accessor);
  std::optional<StudyTimesMap> times;
  if (!*indexed && !readStudyTimes(accessor, rows, uid, times.emplace())) return false;
  const std::wstring studied =
      times ? std::wstring(L"NULL, NULL")
            : platform::format(L"(SELECT max(LastStudyTime) FROM question_log WHERE qid=%ls AND uid=%d), "
                               L"(SELECT min(LastStudyTime) FROM question_log WHERE qid=%ls AND uid=%d AND "
                               L"LastStudyTime > 0)",
                               rows.qidColumn, uid, rows.qidColumn, uid);
  const std::wstring sql = platform::format(
      L"SELECT %ls, m.rate, m.level, m.l1_time, m.l2_time, m.l3_time, m.l4_time, m.l5_time, m.l6_time, m.l7_time, "
      L"m.l8_time, m.l9_time, m.l10_time, %ls%s %ls %ls %ls",
      rows.qidColumn, studied.c_str(), more.c_str(), rows.from.c_str(), rows.where.c_str(), rows.order.c_str());
  return pdb3::forEachRow(accessor, sql, [&](const sqliteplus::SqliteCursor& row) {
    const int qid = row.getInt(0);
    auto record = std::make_shared<pdb3::MemoryRate>(accessor, qid, uid, now);
    // A question without a row keeps the defaults a failed load leaves.
    const auto intOr = [&](int column, int fallback) { return row.getIntOr(column, fallback); };
    record->rate = intOr(1, 0);
    record->level = intOr(2, 0);
    for (int i = 0; i < pdb3::kMaxMemoryLevel; ++i) record->levelTimes[i] = intOr(3 + i, 0);
    StudyTimes studyTimes{intOr(13, -1), intOr(14, 0)};
    if (times) {
      const auto found = times->find(qid);
      studyTimes = found == times->end() ? StudyTimes() : found->second;
    }
    record->primeStudyTimes(studyTimes.latest, studyTimes.first);
    take(qid, std::move(record), row);
  });
}

}  // namespace

bool LoadLearnedRates(const pdb3::DbObject& accessor, int uid, int sid, int64_t now, std::vector<int>& learned) {
  RateMap().clear();
  learned.clear();
  const RecordRows rows{
      L"m.qid", L"FROM memory_rate AS m",
      platform::format(L"WHERE m.uid=%d AND m.qid IN (SELECT qid FROM section WHERE sid=%d)", uid, sid),
      L"ORDER BY m.qid"};
  const bool ok = readPrimedRecords(
      accessor, rows, uid, now, [&](int qid, std::shared_ptr<pdb3::MemoryRate> record, const sqliteplus::SqliteCursor&) {
        // The rows come in ascending order: each goes in at the end.
        RateMap().insert_or_assign(RateMap().end(), qid, std::move(record));
        learned.push_back(qid);
      });
  if (!ok) learned.clear();
  return ok;
}

bool LoadRates(const pdb3::DbObject& accessor, const std::vector<int>& ids, int uid, int sid, int64_t now) {
  RateMap().clear();
  RateMapType binder;
  if (!ReadBinderRates(accessor, uid, sid, now, binder)) return false;
  for (int qid : ids) {
    auto found = binder.find(qid);
    if (found != binder.end()) {
      RateMap()[qid] = found->second;
      continue;
    }
    auto record = std::make_shared<pdb3::MemoryRate>(accessor, qid, uid, now);
    record->load();
    RateMap()[qid] = std::move(record);
  }
  return true;
}

bool ReadBinderRates(const pdb3::DbObject& accessor, int uid, int sid, int64_t now, RateMapType& out) {
  RateMapType binder;
  const RecordRows rows{L"s.qid",
                        platform::format(L"FROM section AS s LEFT JOIN memory_rate AS m ON m.qid=s.qid AND m.uid=%d", uid),
                        platform::format(L"WHERE s.sid=%d", sid), {}};
  const bool read = readPrimedRecords(
      accessor, rows, uid, now, [&](int qid, std::shared_ptr<pdb3::MemoryRate> record, const sqliteplus::SqliteCursor&) {
        binder.emplace(qid, std::move(record));
      });
  if (read) out = std::move(binder);
  return read;
}

bool ReadShownRates(const pdb3::DbObject& accessor, int uid, const std::vector<int>& ids, int64_t now,
                    RateMapType& rates, std::map<int, pdb3::Question>& questions) {
  std::map<int, pdb3::Question> texts = pagereads::emptyQuestions(accessor, ids);
  RateMapType read;
  const bool ok =
      ids.empty() ||
      readPrimedRecords(
          accessor,
          {L"q.qid", platform::format(L"FROM question AS q LEFT JOIN memory_rate AS m ON m.qid=q.qid AND m.uid=%d", uid),
           platform::format(L"WHERE q.qid IN (%ls)", pagereads::idList(ids).c_str()), {}},
          uid, now,
          [&](int qid, std::shared_ptr<pdb3::MemoryRate> record, const sqliteplus::SqliteCursor& row) {
            pdb3::takeQuestionTexts(row, kRecordColumns, texts.at(qid));
            read.insert_or_assign(qid, std::move(record));
          },
          std::string(", ") + pdb3::kQuestionTextColumns);
  if (!ok) return false;
  pagereads::keepRangeRead(ids, texts, read, questions, rates);
  return true;
}

bool NonEmptyBinderIds(const pdb3::DbObject& accessor, int sid, std::deque<int>& out) {
  std::deque<int> ids;
  if (!pdb3::querySqlfIntList(accessor, ids,
                              L"SELECT s.qid FROM section AS s, question AS q WHERE s.sid=%d AND q.qid=s.qid AND %ls "
                              L"ORDER BY s.rowid",
                              sid, pdb3::kQuestionHasText))
    return false;
  out = std::move(ids);
  return true;
}

bool SelectSmartQuestions(const pdb3::DbObject& accessor, int uid, int sid, const SelectionRequest& request,
                          int64_t now, std::set<int>& out) {
  const double factor = ReviewFactor(request.slider);
  platform::trace("* select learned questions\n");
  platform::trace("* create ratemap\n");
  std::vector<int> learned;
  if (!LoadLearnedRates(accessor, uid, sid, now, learned)) return false;
  platform::trace("* randomize\n");
  if (request.shuffleLearned) {
    std::deque<int> shuffled(learned.begin(), learned.end());
    study::shuffleIds(shuffled);
    learned.assign(shuffled.begin(), shuffled.end());
  }

  platform::trace("* select by rate\n");
  std::vector<int> candidates;
  for (int qid : learned) {
    pdb3::MemoryRate& record = *RateMap().at(qid);
    if (record.nextLevelupTime() < now && record.lastStudyTime() + kRecentStudySeconds < now &&
        record.currentRate() < kHalfForgotten)
      candidates.push_back(qid);
  }
  platform::trace("* sort by rate [%d]\n", static_cast<int>(candidates.size()));
  // Stable, so that equally rated questions keep the order of the (possibly shuffled) list.
  StableSortByCurrentRate(candidates);

  std::deque<int> chosen;
  const auto reviewLimit = static_cast<size_t>(static_cast<double>(request.count) * factor);
  platform::trace("* do the select\n");
  for (size_t i = 0; i < candidates.size() && i < reviewLimit; ++i) {
    chosen.push_back(candidates[i]);
    platform::trace(" from levelup-able & low-rate question : %d\n", candidates[i]);
  }

  const size_t freshWanted = request.count - chosen.size();
  const std::set<int> learnedSet(learned.begin(), learned.end());
  std::deque<int> fresh;
  if (!NonEmptyBinderIds(accessor, sid, fresh)) return false;
  std::erase_if(fresh, [&](int qid) { return learnedSet.count(qid) > 0; });
  for (size_t taken = 0; taken < freshWanted && !fresh.empty(); ++taken) {
    const int qid = pdb3::PickRandomQuestion(fresh);
    chosen.push_back(qid);
    platform::trace(" from new question(1) : %d\n", qid);
  }

  const size_t lowRateWanted = request.count - chosen.size();
  if (lowRateWanted != 0) {
    StableSortByCurrentRate(learned);
    std::set<int> already(chosen.begin(), chosen.end());
    size_t appended = 0;
    for (auto it = learned.begin(); it != learned.end() && appended < lowRateWanted; ++it) {
      if (already.count(*it)) continue;
      chosen.push_back(*it);
      ++appended;
      platform::trace(" from low-rate question : %d\n", *it);
    }
  }
  out = std::set<int>(chosen.begin(), chosen.end());
  return true;
}

}  // namespace smart
