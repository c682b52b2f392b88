// What the main dialog's pages need around them in tests: the tree application over a copy of
// the default database, a dialog host that records the studies it is asked for, and helpers that
// put questions, memory rates and answer logs into the file.
#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "element_tree_fixture.h"
#include "page_host.h"

namespace apptest {

class PageApp : public TreeApp {
 public:
  PageApp() {
    // The smart-learning page is the one these tests show; the figures are the dialog's business.
    host.page = 4;
    host.questions = host.remain = 0;
    host.path.clear();
  }

  // Question qid with the answer (empty texts everywhere when `answer` is null).
  void addQuestion(int qid, const wchar_t* answer, int sid);
  // A memory_rate row and, when lastStudy > 0, a question_log row of the current user.
  void learn(int qid, int rate, int level, int lastStudy, std::array<int, 10> levelTimes = {});
  void logAnswers(int qid, int mid, std::array<int, 8> counts, int lastStudy);

  PageHost host;
};

}  // namespace apptest
