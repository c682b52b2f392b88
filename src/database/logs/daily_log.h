// One study (one run of the study window): its daily_log row and each question's result in it.
// The study window fills the record while the study runs; the history writer saves it.
#pragma once

#include <map>
#include <vector>

#include "database/records/db_object.h"

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
  // Adds the row without looking for one: for a run that has no question rows yet.
  bool insert(const DbObject& accessor, int did, int qid) const;
};

class DailyLogRecord : public DbObject {
 public:
  explicit DailyLogRecord(const DbObject& accessor) : DbObject(accessor.handle()) {}
  DailyLogRecord(const DbObject& accessor, int did, int lid) : DbObject(accessor.handle()), did(did), lid(lid) {}

  // Both throw std::wstring "not specified the did or lid..." while either id is unset.
  bool save() const;
  // Reads the run's times and its per-question results. False when the run has no row or a read
  // fails (traced; the results read so far stay).
  bool Load();

  // The questions of the run in ascending qid (MistakeQuestionIds: those answered wrongly at
  // first), appended to out; whether out holds any.
  bool AllQuestionIds(std::vector<int>& out) const;
  bool MistakeQuestionIds(std::vector<int>& out) const;

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
