// The study window's view of the real program: the application object's settings, connection,
// sounds and voice, the window's own connection for reading questions, the search and question
// list of the shell, and the result dialog.
#pragma once

#include <memory>
#include <optional>

#include "database/records/db_object.h"
#include "study/sound/sound_queue.h"
#include "study/sound/speech_output.h"
#include "study/study_host.h"

class KlvApp;

class AppStudyHost : public study::StudyHost {
 public:
  // sounds: the queue of the window that starts the study (cleared here). commandLineStudy: the
  // study is the one the command line asks for, and its failures are the run's.
  AppStudyHost(KlvApp& app, SoundQueue& sounds, bool commandLineStudy = false);
  ~AppStudyHost() override;

  pdb3::StudyContext studyContext() override;
  bool canStudyInMode(int mode) override;
  bool openOwnConnection() override;
  bool openConnectionBeside(sqliteplus::SqliteConnection& connection) override;
  pdb3::DbObject historyAccessor() override;
  study::StudySettings settings() override;
  study::StudyQuestion question(int qid) override;
  std::vector<int> choiceCandidates(int qid) override;
  void playJudgementSound(bool correct) override;
  void speak(const std::wstring& voiceFile, const std::wstring& text) override;
  std::wstring silenceReason() override;
  std::vector<uint8_t> pronunciationCodes(const std::wstring& text) override;
  std::wstring answerRemark(const std::wstring& reply, const std::vector<int>& studyIds) override;
  void openSearch(QWidget& window, const std::wstring& word) override;
  void openQuestionList(QWidget& window, const std::vector<int>& ids, const std::wstring& title) override;
  void showHelp() override;
  void showAbout(QWidget& window) override;
  std::wstring saveQuestionToBinder(int qid) override;
  void prepareWindow(QWidget& window) override;
  void setSkinPath(const std::wstring& path) override;
  void storeWindowPosition(int x, int y) override;
  void showResult(QWidget& window, const study::StudyOutcome& outcome) override;
  bool saveHistory(pdb3::DailyLogRecord& record, int points) override;
  void noteDataUnusable() override;

 private:
  // Questions are read on the window's own connection once it is open.
  pdb3::DbObject questionAccessor();

  KlvApp& app_;
  SoundQueue& sounds_;
  const bool commandLineStudy_;
  WordSpeaker speaker_;
  sqliteplus::SqliteConnection ownDb_;
  std::optional<pdb3::DbObject> ownAccessor_;
};
