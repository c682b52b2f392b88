#include "database/program_tables.h"

namespace pdb3 {

const std::vector<sqliteplus::RequiredTable>& programTables() {
  // The trailing text columns are written as '' and never read: another tool may name them as it likes.
  static const std::vector<sqliteplus::RequiredTable> tables{
      {"version", {"version", "subversion"}},
      {"question",
       {"qid", "question", "answer", "hint", "description", "wavfilename", "pronounce", "mode", "ctime", "utime"}},
      {"section", {"sid", "qid"}},
      {"element_info", {"eid", "type", "name", "author", "writer", "description", "ctime", "utime"}},
      {"folder", {"eid", "fid"}},
      {"user_info", {"uid", "name"}},
      {"log_id", {"lid", "uid", "eid", "mid"}},
      {"element_log", {"lid", "FirstReplyDate", "nRun", "TotalReplySec", "TotalStrokes", "nAccomplish"}},
      {"looped_questions", {"lid", "qid"}},
      {"question_log",
       {"qid", "uid", "mid", "nc1", "ni1", "nc2", "ni2", "nc1pm", "ni1pm", "nc2pm", "ni2pm", "LastStudyTime",
        "LastMistakeTimeOnFirstReply", "ReplySec"}},
      {"daily_log", {"did", "lid", "StartTime", "EndTime", "Strokes"}},
      {"daily_question_log", {"did", "qid", "nc1", "ni1", "nc2", "ni2", "ReplySec", "ext1", "ext2"}},
      {"memory_rate",
       {"qid", "uid", "rate", "level", "l1_time", "l2_time", "l3_time", "l4_time", "l5_time", "l6_time", "l7_time",
        "l8_time", "l9_time", "l10_time"},
       true},
  };
  return tables;
}

}  // namespace pdb3
