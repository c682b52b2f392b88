#include "database/logs/question_log.h"

#include <string>

#include "database/records/record_rows.h"
#include "database/engine/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

QuestionLog::QuestionLog(const DbObject& accessor, int qid, int uid, int mid)
    : DbObject(accessor.handle()), qid(qid), uid(uid), mid(mid) {}

QuestionLog getQuestionLog(const DbObject& accessor, int qid, int uid, int mid) {
  return QuestionLog(accessor, qid, uid, mid);
}

bool QuestionLog::load() {
  QuestionLog read = *this;
  const bool found = readRecordRow(*this, "SELECT * from question_log WHERE qid=? AND uid=? AND mid=?", {qid, uid, mid},
                                   [&](const sqliteplus::SqliteCursor& row) { takeQuestionLogCounts(row, 3, read); });
  if (found) *this = read;
  return found;
}

void takeQuestionLogCounts(const sqliteplus::SqliteCursor& row, int first, QuestionLog& log) {
  int* const counters[] = {&log.nc1,   &log.ni1,   &log.nc2,           &log.ni2,
                           &log.nc1pm, &log.ni1pm, &log.nc2pm,         &log.ni2pm,
                           &log.LastStudyTime,     &log.LastMistakeTimeOnFirstReply};
  for (int i = 0; i < 10; ++i) *counters[i] = intOrZero(row, first + i);
  log.ReplySec = doubleOrZero(row, first + 10);
}

FirstRow readQuestionLog(QuestionLog& log) {
  static const std::string sql =
      std::string("SELECT ") + kQuestionLogCountColumns + " FROM question_log WHERE qid=? AND uid=? AND mid=?";
  QuestionLog read = log;
  const FirstRow row = readKeptRow(log, sql.c_str(), {log.qid, log.uid, log.mid},
                                   [&](const sqliteplus::SqliteCursor& cursor) { takeQuestionLogCounts(cursor, 0, read); });
  if (row == FirstRow::found) log = read;
  return row;
}

namespace {

const char kInsertQuestionLog[] = "INSERT INTO question_log VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', '')";

}  // namespace

bool QuestionLog::addToStoredRow() const {
  return saveRow(*this,
                 "UPDATE question_log SET nc1=coalesce(nc1,0)+?, ni1=coalesce(ni1,0)+?, nc2=coalesce(nc2,0)+?, "
                 "ni2=coalesce(ni2,0)+?, LastStudyTime=?, LastMistakeTimeOnFirstReply=?, "
                 "ReplySec=coalesce(ReplySec,0)+? WHERE qid=? AND uid=? AND mid=?",
                 {nc1, ni1, nc2, ni2, LastStudyTime, LastMistakeTimeOnFirstReply, ReplySec, qid, uid, mid},
                 kInsertQuestionLog,
                 {qid, uid, mid, nc1, ni1, nc2, ni2, nc1pm, ni1pm, nc2pm, ni2pm, LastStudyTime,
                  LastMistakeTimeOnFirstReply, ReplySec});
}

bool QuestionLog::save() const {
  return saveRow(*this,
                 "UPDATE question_log SET nc1=?, ni1=?, nc2=?, ni2=?, nc1pm=?, ni1pm=?, nc2pm=?, ni2pm=?, "
                 "LastStudyTime=?, LastMistakeTimeOnFirstReply=?, ReplySec=? WHERE qid=? AND uid=? AND mid=?",
                 {nc1, ni1, nc2, ni2, nc1pm, ni1pm, nc2pm, ni2pm, LastStudyTime, LastMistakeTimeOnFirstReply, ReplySec,
                  qid, uid, mid},
                 kInsertQuestionLog,
                 {qid, uid, mid, nc1, ni1, nc2, ni2, nc1pm, ni1pm, nc2pm, ni2pm, LastStudyTime,
                  LastMistakeTimeOnFirstReply, ReplySec});
}

}  // namespace pdb3
