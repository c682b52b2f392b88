// A main dialog as the pages see it: figures a test sets, and a record of what the pages ask of it.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main/main_dialog_host.h"
#include "fake_audio_player.h"
#include "study/sound/sound_queue.h"

class PageHost : public MainDialogHost {
 public:
  int questionCount() const override { return questions; }
  int translatedCount() const override { return translated; }
  int remainCount() const override { return remain; }
  bool folderSelected() const override { return folder; }
  int totalCorrects() const override { return corrects; }
  int totalIncorrects() const override { return incorrects; }
  int currentPage() const override { return page; }
  std::wstring setPath() const override { return path; }
  // A study "runs" whenever it has questions.
  bool StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) override {
    studies.emplace_back(title, ids);
    return !ids.empty();
  }
  // Pages hand their own question choice in here (the dialog asks the page shown).
  bool SelectStudyQuestions(std::vector<int>& ids) override { return select && select(ids); }
  void RefreshPages() override {
    ++refreshes;
    if (onRefresh) onRefresh();
  }
  void UpdateTitle(const std::wstring& text) override { titles.push_back(text); }
  QWidget* dialogWindow() override { return &window; }
  SoundQueue& soundQueue() override { return sounds; }
  void UpdateRankingPage() override { ++rankingUpdates; }

  int questions = 23, translated = 0, remain = 23, page = 1, corrects = 0, incorrects = 0;
  bool folder = false;
  std::wstring path = L"中学生向け問題/中学校 学校・教室などの単語";
  std::function<bool(std::vector<int>&)> select;
  std::function<void()> onRefresh;
  std::vector<std::pair<std::wstring, std::vector<int>>> studies;
  std::vector<std::wstring> titles;
  int refreshes = 0, rankingUpdates = 0;
  QWidget window;
  FakeAudioPlayer player;  // what the pages play is noted, not heard
  SoundQueue sounds{player};
};
