// What the main dialog's pages need around them in tests: the tree application over a copy of
// the default database, a dialog host that records the studies it is asked for, and helpers that
// put questions, memory rates and answer logs into the file.
#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "app/main_dialog_host.h"
#include "element_tree_fixture.h"
#include "study/sound_queue.h"

namespace apptest {

class TestDialogHost : public MainDialogHost {
 public:
  int questionCount() const override { return 0; }
  int translatedCount() const override { return 0; }
  int remainCount() const override { return 0; }
  bool folderSelected() const override { return false; }
  int currentPage() const override { return page; }
  std::wstring setPath() const override { return path; }
  bool StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) override;
  bool SelectStudyQuestions(std::vector<int>& ids) override;
  void RefreshPages() override {}
  void UpdateTitle(const std::wstring& text) override { titles.push_back(text); }
  QWidget* dialogWindow() override { return &window; }
  SoundQueue& soundQueue() override { return sounds; }

  QWidget window;
  SoundQueue sounds;
  int page = 4;
  std::wstring path;
  // Pages hand their own question choice in here (the dialog asks the page shown).
  std::function<bool(std::vector<int>&)> selection;
  std::vector<std::pair<std::wstring, std::vector<int>>> studies;
  std::vector<std::wstring> titles;
};

class PageApp : public TreeApp {
 public:
  // Question qid with the answer (empty texts everywhere when `answer` is null).
  void addQuestion(int qid, const wchar_t* answer, int sid);
  // A memory_rate row and, when lastStudy > 0, a question_log row of the current user.
  void learn(int qid, int rate, int level, int lastStudy, std::array<int, 10> levelTimes = {});
  void logAnswers(int qid, int mid, std::array<int, 8> counts, int lastStudy);

  TestDialogHost host;
};

}  // namespace apptest
