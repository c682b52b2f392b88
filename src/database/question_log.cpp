#include "database/question_log.h"

#include "database/record_rows.h"
#include "database/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

QuestionLog::QuestionLog(const DbObject& accessor, int qid, int uid, int mid)
    : DbObject(accessor.handle()), qid(qid), uid(uid), mid(mid) {}

QuestionLog getQuestionLog(const DbObject& accessor, int qid, int uid, int mid) {
  return QuestionLog(accessor, qid, uid, mid);
}

bool QuestionLog::load() {
  QuestionLog read = *this;
  int* const counters[] = {&read.nc1, &read.ni1, &read.nc2, &read.ni2, &read.nc1pm, &read.ni1pm,
                           &read.nc2pm, &read.ni2pm, &read.LastStudyTime, &read.LastMistakeTimeOnFirstReply};
  const bool found = readRecordRow(*this, "SELECT * from question_log WHERE qid=? AND uid=? AND mid=?", {qid, uid, mid},
                                   [&](const sqliteplus::SqliteCursor& row) {
                                     for (int i = 0; i < 10; ++i) *counters[i] = intOrZero(row, 3 + i);
                                     read.ReplySec = doubleOrZero(row, 13);
                                   });
  if (found) *this = read;
  return found;
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
