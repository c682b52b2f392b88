#include "database/logs/daily_log.h"

#include <set>
#include <string>

#include "database/records/record_rows.h"
#include "database/engine/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

namespace {

const char kInsertQuestionResult[] = "INSERT INTO daily_question_log VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)";

}  // namespace

bool DailyQuestionResult::save(const DbObject& accessor, int did, int qid) const {
  return saveRow(accessor,
                 "UPDATE daily_question_log SET nc1=?, ni1=?, nc2=?, ni2=?, ReplySec=?, ext1=?, ext2=? "
                 "WHERE did=? AND qid=?",
                 {nc1, ni1, nc2, ni2, ReplySec, ext1, ext2, did, qid}, kInsertQuestionResult,
                 {did, qid, nc1, ni1, nc2, ni2, ReplySec, ext1, ext2});
}

bool DailyQuestionResult::insert(const DbObject& accessor, int did, int qid) const {
  return execKept(accessor, kInsertQuestionResult, {did, qid, nc1, ni1, nc2, ni2, ReplySec, ext1, ext2}) >= 0;
}

bool DailyLogRecord::save() const {
  if (did < 0 || lid < 0) throw std::wstring(L"not specified the did or lid...");
  const bool saved = saveRow(*this, "UPDATE daily_log SET StartTime=?, EndTime=?, Strokes=? WHERE did=? AND lid=?",
                             {StartTime, EndTime, Strokes, did, lid},
                             "INSERT INTO daily_log VALUES(?, ?, ?, ?, ?, '', '')", {did, lid, StartTime, EndTime, Strokes});
  if (!saved) return false;
  // A run that has no question rows yet (one that has just ended) gets each of its rows added:
  // looking each up first would walk, for every question, the rows of the run added before it.
  const FirstRow rows = readKeptRow(*this, "SELECT 1 FROM daily_question_log WHERE did=? LIMIT 1", {did},
                                    [](const sqliteplus::SqliteCursor&) {});
  if (rows == FirstRow::failed) return false;
  for (const auto& [qid, result] : results)
    if (!(rows == FirstRow::missing ? result.insert(*this, did, qid) : result.save(*this, did, qid))) return false;
  return true;
}

bool DailyLogRecord::Load() {
  if (did < 0 || lid < 0) throw std::wstring(L"not specified the did or lid...");
  const bool found = readRecordRow(*this, "SELECT * from daily_log WHERE did=? AND lid=?", {did, lid},
                                   [&](const sqliteplus::SqliteCursor& row) {
                                     StartTime = intOrZero(row, 2);
                                     EndTime = intOrZero(row, 3);
                                     Strokes = intOrZero(row, 4);
                                   });
  if (!found) return false;
  try {
    auto cursor = query().query(
        platform::format(L"SELECT qid, nc1, ni1, nc2, ni2, ReplySec, ext1, ext2 FROM daily_question_log WHERE did=%d", did)
            .c_str());
    std::set<int> read;  // a question listed twice keeps its first row
    while (cursor->next()) {
      const int qid = cursor->getInt(0);
      if (!read.insert(qid).second) continue;
      DailyQuestionResult& result = results[qid];
      result.nc1 = intOrZero(*cursor, 1);
      result.ni1 = intOrZero(*cursor, 2);
      result.nc2 = intOrZero(*cursor, 3);
      result.ni2 = intOrZero(*cursor, 4);
      result.ReplySec = doubleOrZero(*cursor, 5);
      result.ext1 = intOrZero(*cursor, 6);
      result.ext2 = intOrZero(*cursor, 7);
    }
  } catch (const sqliteplus::SqliteException& e) {
    platform::traceError("%s : %s\n", e.what(), e.message().c_str());
    return false;
  }
  return true;
}

bool DailyLogRecord::AllQuestionIds(std::vector<int>& out) const {
  for (const auto& entry : results)
    if (entry.first != 0) out.push_back(entry.first);
  return !out.empty();
}

bool DailyLogRecord::MistakeQuestionIds(std::vector<int>& out) const {
  for (const auto& [qid, result] : results)
    if (qid != 0 && result.ni1 >= 1) out.push_back(qid);
  return !out.empty();
}

int DailyLogRecord::totalNc1() const {
  int total = 0;
  for (const auto& entry : results) total += entry.second.nc1;
  return total;
}

int DailyLogRecord::totalNi1() const {
  int total = 0;
  for (const auto& entry : results) total += entry.second.ni1;
  return total;
}

double DailyLogRecord::totalReplySec() const {
  double total = 0.0;
  for (const auto& entry : results) total += entry.second.ReplySec;
  return total;
}

}  // namespace pdb3
