#include "database/element_log.h"

#include "database/sql_helpers.h"

namespace pdb3 {
namespace {

int roundTotal(const ElementLogRecord& log, const wchar_t* column) {
  // The log's user, mode and set come from its log_id row within the same statement. Each is a
  // subquery of its own, read once: a set list that depended on a joined row would be read again
  // for every row of question_log.
  return querySqlfInt(log,
                      L"SELECT coalesce(sum(q.%ls),0) FROM question_log q "
                      L"WHERE q.uid=(SELECT uid FROM log_id WHERE lid=%d) AND q.mid=(SELECT mid FROM log_id WHERE lid=%d) "
                      L"AND q.qid IN (SELECT qid FROM section WHERE sid=(SELECT eid FROM log_id WHERE lid=%d))",
                      column, log.lid(), log.lid(), log.lid());
}

}  // namespace

ElementLogRecord::ElementLogRecord(const DbObject& accessor, int lid) : DbObject(accessor), lid_(lid) {}

ElementLogRecord getElementLog(const DbObject& accessor, int lid) { return ElementLogRecord(accessor, lid); }

bool ElementLogRecord::store(ElementLogIntField& field, int value) {
  field.set(value);
  return field.save(*this, lid_);
}

bool ElementLogRecord::loopedQuestionIds(std::deque<int>& out) const {
  return querySqlfIntList(*this, out, L"SELECT DISTINCT qid FROM looped_questions WHERE lid=%d", lid_);
}

int ElementLogRecord::loopedQuestionCount() const {
  std::deque<int> ids;
  return loopedQuestionIds(ids) ? static_cast<int>(ids.size()) : 0;
}

int logIdFor(const DbObject& accessor, int uid, int eid, int mid) {
  return querySqlfIntOrMinus1(accessor, L"SELECT lid FROM log_id WHERE uid=%d AND eid=%d AND mid=%d", uid, eid, mid);
}

int currentLogId(const StudyContext& study) {
  return logIdFor(openQuery(study.connection), study.userId, study.setId, study.mode);
}

int roundTotalCorrect(const ElementLogRecord& log) { return roundTotal(log, L"nc1"); }

int roundTotalIncorrect(const ElementLogRecord& log) { return roundTotal(log, L"ni1"); }

bool roundDailyLogIds(const ElementLogRecord& log, std::deque<int>& out) {
  return querySqlfIntList(log, out, L"SELECT did FROM daily_log WHERE lid=%d ORDER BY EndTime DESC", log.lid());
}

bool elementExists(const DbObject& accessor, int eid) {
  return querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM element_info WHERE eid=%d", eid) == 1;
}

}  // namespace pdb3
