// A main dialog as the pages see it: figures a test sets, and a record of what the pages ask of it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/main_dialog_host.h"

class PageHost : public MainDialogHost {
 public:
  int questionCount() const override { return questions; }
  int translatedCount() const override { return translated; }
  int remainCount() const override { return remain; }
  bool folderSelected() const override { return folder; }
  int currentPage() const override { return page; }
  std::wstring setPath() const override { return path; }
  bool StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) override {
    studies.push_back(title);
    studiedIds = ids;
    return true;
  }
  bool SelectStudyQuestions(std::vector<int>& ids) override { return select && select(ids); }
  void RefreshPages() override {
    ++refreshes;
    if (onRefresh) onRefresh();
  }
  void UpdateTitle(const std::wstring& text) override { titles.push_back(text); }
  QWidget* dialogWindow() override { return nullptr; }
  void UpdateRankingPage() override { ++rankingUpdates; }

  int questions = 23, translated = 0, remain = 23, page = 1;
  bool folder = false;
  std::wstring path = L"中学生向け問題/中学校 学校・教室などの単語";
  std::function<bool(std::vector<int>&)> select;
  std::function<void()> onRefresh;
  std::vector<std::wstring> studies, titles;
  std::vector<int> studiedIds;
  int refreshes = 0, rankingUpdates = 0;
};
