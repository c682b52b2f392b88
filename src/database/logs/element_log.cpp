#include "database/logs/element_log.h"

#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "platform/trace.h"

namespace pdb3 {

RoundTotals roundTotals(const ElementLogRecord& log) {
  // The log's user, mode and set are read first and go into the sum as constants: taken from a
  // join instead, the engine walks every question log row for each row of the set.
  int uid = -1, mid = -1, eid = -1;
  readFirstRow(log, platform::format(L"SELECT uid, mid, eid FROM log_id WHERE lid=%d", log.lid()),
               [&](const sqliteplus::SqliteCursor& row) {
                 uid = row.getInt(0);
                 mid = row.getInt(1);
                 eid = row.getInt(2);
               });
  RoundTotals totals;
  const FirstRow row = readFirstRow(
      log,
      platform::format(L"SELECT coalesce(sum(nc1),0), coalesce(sum(ni1),0) FROM question_log WHERE uid=%d AND "
                       L"mid=%d AND qid in (SELECT qid FROM section WHERE sid=%d)",
                       uid, mid, eid),
      [&](const sqliteplus::SqliteCursor& sums) {
        totals.correct = sums.getInt(0);
        totals.incorrect = sums.getInt(1);
      });
  if (row != FirstRow::found) throw std::wstring(L"getSqlInt error");
  return totals;
}

ElementLogRecord::ElementLogRecord(const DbObject& accessor, int lid) : DbObject(accessor), lid_(lid) {}

ElementLogRecord getElementLog(const DbObject& accessor, int lid) { return ElementLogRecord(accessor, lid); }

bool ElementLogRecord::store(ElementLogIntField& field, int value) {
  field.set(value);
  return field.save(*this, lid_);
}

bool ElementLogRecord::loopedQuestionIds(std::deque<int>& out) const {
  return querySqlfIntList(*this, out, L"SELECT DISTINCT qid FROM looped_questions WHERE lid=%d", lid_);
}

FirstRow findLogId(const DbObject& accessor, int uid, int eid, int mid, int& lid) {
  return readFirstInt(accessor,
                      platform::format(L"SELECT lid FROM log_id WHERE uid=%d AND eid=%d AND mid=%d", uid, eid, mid), lid);
}


bool roundDailyLogIds(const ElementLogRecord& log, std::deque<int>& out) {
  return querySqlfIntList(log, out, L"SELECT did FROM daily_log WHERE lid=%d ORDER BY EndTime DESC", log.lid());
}

FirstRow lookUpElement(const DbObject& accessor, int eid) {
  int found = -1;
  return readFirstInt(accessor, platform::format(L"SELECT eid FROM element_info WHERE eid=%d", eid), found);
}

}  // namespace pdb3
