// The running answer counts of one question for one user in one study mode (a question_log row).
#pragma once

#include "database/records/db_object.h"
#include "database/engine/sql_helpers.h"

namespace pdb3 {

class QuestionLog : public DbObject {
 public:
  QuestionLog(const DbObject& accessor, int qid, int uid, int mid);

  // False when there is no row (the fields then stay as they were).
  bool load();
  bool save() const;
  // Adds this record's answer counts and reply time to the stored row (an empty column counts
  // as 0) and stores its two times, or adds the row as this record when there is none: a study's
  // save without reading each row first.
  bool addToStoredRow() const;

  int qid;
  int uid;
  int mid;
  int nc1 = 0;  // first pass of a study: correct, incorrect
  int ni1 = 0;
  int nc2 = 0;  // asked again in the same study
  int ni2 = 0;
  int nc1pm = 0;  // carried through unchanged
  int ni1pm = 0;
  int nc2pm = 0;
  int ni2pm = 0;
  int LastStudyTime = 0;
  int LastMistakeTimeOnFirstReply = 0;
  double ReplySec = 0.0;
};

// The count and time columns of a log, in one SELECT for many rows; in the order of the table's
// columns after the key, as load reads them from "SELECT *".
inline constexpr char kQuestionLogCountColumns[] =
    "nc1, ni1, nc2, ni2, nc1pm, ni1pm, nc2pm, ni2pm, LastStudyTime, LastMistakeTimeOnFirstReply, ReplySec";
inline constexpr int kQuestionLogCountColumnCount = columnCount(kQuestionLogCountColumns);
// Takes those columns, from column `first` of the row on, into the record (a NULL counts as 0).
void takeQuestionLogCounts(const sqliteplus::SqliteCursor& row, int first, QuestionLog& log);
// The record's stored row read whole: found, missing (no row; the record unchanged) or failed.
FirstRow readQuestionLog(QuestionLog& log);

// Not loaded yet.
QuestionLog getQuestionLog(const DbObject& accessor, int qid, int uid, int mid);

}  // namespace pdb3
