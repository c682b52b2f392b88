// One study (one run of the study window): its daily_log row and each question's result in it.
// The study window fills the record while the study runs; the history writer saves it.
#pragma once

#include <map>

#include "database/db_object.h"

namespace pdb3 {

struct DailyQuestionResult {
  int nc1 = 0;
  int ni1 = 0;
  int nc2 = 0;
  int ni2 = 0;
  double ReplySec = 0.0;
  int LastStudyTime = 0;                // what the question log takes after the study
  int LastMistakeTimeOnFirstReply = 0;
  int ext1 = 0;                         // memory level after the study
  int ext2 = 0;                         // memory rate after the study

  bool save(const DbObject& accessor, int did, int qid) const;
};

class DailyLogRecord : public DbObject {
 public:
  explicit DailyLogRecord(const DbObject& accessor) : DbObject(accessor.handle()) {}

  // Throws std::wstring "not specified the did or lid..." while either id is unset.
  bool save() const;

  int totalNc1() const;
  int totalNi1() const;
  double totalReplySec() const;

  int did = -1;
  int lid = -1;
  int StartTime = 0;
  int EndTime = 0;
  int Strokes = 0;
  std::map<int, DailyQuestionResult> results;  // by qid
};

}  // namespace pdb3
