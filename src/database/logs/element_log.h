// Study logs: one per user, problem set and study mode (a log_id row), with its totals in
// element_log and the questions of its current pass in looped_questions.
#pragma once

#include <deque>

#include "database/records/column_field.h"
#include "database/engine/sql_helpers.h"
#include "database/logs/study_context.h"

namespace pdb3 {

class ElementLogRecord : public DbObject {
 public:
  ElementLogRecord(const DbObject& accessor, int lid);

  int lid() const { return lid_; }
  // Read on first use; 0 when the row or the value is missing.
  int FirstReplyDate() const { return firstReplyDate_.value(*this, lid_); }
  int nRun() const { return nRun_.value(*this, lid_); }
  int TotalReplySec() const { return totalReplySec_.value(*this, lid_); }
  int TotalStrokes() const { return totalStrokes_.value(*this, lid_); }
  int nAccomplish() const { return nAccomplish_.value(*this, lid_); }

  // Each setter writes its column at once.
  bool setFirstReplyDate(int value) { return store(firstReplyDate_, value); }
  bool setNRun(int value) { return store(nRun_, value); }
  bool setTotalReplySec(int value) { return store(totalReplySec_, value); }
  bool setTotalStrokes(int value) { return store(totalStrokes_, value); }
  bool setNAccomplish(int value) { return store(nAccomplish_, value); }

  // The questions asked so far in the current pass, each once.
  bool loopedQuestionIds(std::deque<int>& out) const;

 private:
  bool store(ElementLogIntField& field, int value);

  int lid_;
  ElementLogIntField firstReplyDate_{L"FirstReplyDate"};
  ElementLogIntField nRun_{L"nRun"};
  ElementLogIntField totalReplySec_{L"TotalReplySec"};
  ElementLogIntField totalStrokes_{L"TotalStrokes"};
  ElementLogIntField nAccomplish_{L"nAccomplish"};
};

ElementLogRecord getElementLog(const DbObject& accessor, int lid);

// The user's study log for the set in the mode, telling a log that is not there from one that
// could not be read.
FirstRow findLogId(const DbObject& accessor, int uid, int eid, int mid, int& lid);

// First-pass answers over the questions of the log's set, for the log's user and mode. Throws
// std::wstring when they cannot be read.
struct RoundTotals {
  int correct = 0;
  int incorrect = 0;
};
RoundTotals roundTotals(const ElementLogRecord& log);
// The log's studies, newest (latest end) first.
bool roundDailyLogIds(const ElementLogRecord& log, std::deque<int>& out);

// Whether the set or folder is there; failed when that could not be read.
FirstRow lookUpElement(const DbObject& accessor, int eid);

}  // namespace pdb3
