// What the study window needs from the rest of the program, behind one interface so the window's
// course can run on the real database, sounds and speech or on test doubles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/logs/daily_log.h"
#include "database/logs/study_context.h"
#include "study/judging/answer_judging.h"

class QWidget;

namespace study {

// The set-up record of one study.
struct StudySetup {
  bool randomMistakeReply = true;
  std::wstring title;
  int mode = 3;
  std::vector<int> questionIds;
  int did = -1;
  int lid = -1;
};

// The settings the window reads, taken afresh at each use.
struct StudySettings {
  bool randomMistakeReply = true;
  JudgeSettings judge;
  int correctWaitMsec = 200;
  int incorrectWaitMsec = 200;
  int enterMistakeReplyLimit = 5;
  bool stopAfterAnswer = true;
  bool decideWithoutReturn = false;
  bool alwaysShowHint = false;
  bool showAnswerOnMakeExamCard = true;
  bool useSelectionStrReturn = true;
  bool useReplyStartLimitJe = true;
  int replyStartLimitCountJe = 5000;
  bool useReplyLimitEj = true;
  int replyLimitEj = 15000;
  bool useReplyLimitEj4 = true;
  int replyLimitEj4 = 15000;
  bool useReplyLimitJe4 = true;
  int replyLimitJe4 = 15000;
  bool useShowLimitEj4 = true;
  int showLimitEj4 = 1000;
  bool useShowLimitJe4 = true;
  int showLimitJe4 = 1000;
  // The window stays above other windows for the whole study (always-on-top).
  bool alwaysOnTop = false;
  bool keepLastReplyWindowPos = false;
  int replyWindowX = -1;
  int replyWindowY = -1;
  std::wstring skinPath;          // skin7-path
  std::wstring skinUserFilePath;  // skin-userfile-path
  std::wstring userName;
  uint32_t backgroundColor = 0xFFF1E2;  // COLORREF
  bool useOsDefaultBackgroundColor = false;
  bool showPronounce = true;
  bool showPronounceByImage = false;
  bool useClipboardCopyOnPronounce = false;
  // use-voice, use-agent-voice or use-wav-voice.
  bool voiceOn = false;
  std::wstring pronunciationImagePath;  // kpd-imagefile-path
  std::wstring ipaMapPath;              // cmu2ipa-file-path
};

// The texts of one question as the window shows them.
struct StudyQuestion {
  std::vector<std::wstring> questions;        // part-of-speech codes expanded
  std::vector<std::wstring> questionsPlain;   // part-of-speech codes removed (judged in ej)
  std::vector<std::wstring> answers;
  std::vector<std::wstring> hints;
  std::vector<std::wstring> pronunciations;  // beside the answer of the same index
  std::wstring voiceFile;  // a recorded voice of the answer, relative to the voice folder
  // The database could not give the texts (the fields above are then empty, not the question's).
  bool unreadable = false;

  friend bool operator==(const StudyQuestion&, const StudyQuestion&) = default;
};

// The figures the result dialog is given when a study ends.
struct StudyOutcome {
  const pdb3::DailyLogRecord& record;
  int mode;
  int allMistakes, allCorrects;
  int nowMistakes, nowCorrects;
  int firstMistakes, firstCorrects;
  unsigned replyMilliseconds;
  unsigned typedCharacters;
};

class StudyHost {
 public:
  virtual ~StudyHost() = default;
  // Who studies what on the application's connection, with the application's notice box: the
  // study start allots its log ids there and reports why a study cannot start.
  virtual pdb3::StudyContext studyContext() = 0;
  // Whether the program can study in the mode now (dictation needs a voice); says why not.
  virtual bool canStudyInMode(int mode) = 0;
  // The window's own connection, opened when the window opens; false when the file cannot be
  // opened (the window then ends before it is shown).
  virtual bool openOwnConnection() = 0;
  // Opens the file the program has open on the caller's connection (the window's edit writes
  // through one); false, with the cause noted, when it cannot or is no longer at its path.
  virtual bool openConnectionBeside(sqliteplus::SqliteConnection& connection) = 0;
  // The accessor the study record is made on: the connection the history is written through.
  virtual pdb3::DbObject historyAccessor() = 0;
  virtual StudySettings settings() = 0;
  virtual StudyQuestion question(int qid) = 0;
  // Other questions with an answer that share a problem set with qid.
  virtual std::vector<int> choiceCandidates(int qid) = 0;
  virtual void playJudgementSound(bool correct) = 0;
  // Speaks a word of the question (its recorded voice when it has one) when a voice is on.
  virtual void speak(const std::wstring& voiceFile, const std::wstring& text) = 0;
  // Why spoken words would not be heard now; empty when they would.
  virtual std::wstring silenceReason() = 0;
  // The phoneme codes of a text from the pronouncing dictionary; empty when no word is found.
  virtual std::vector<uint8_t> pronunciationCodes(const std::wstring& text) = 0;
  // What 1102 says about a reply that is the answer of another question (the study's own first,
  // then any of the database); empty when none is.
  virtual std::wstring answerRemark(const std::wstring& reply, const std::vector<int>& studyIds) = 0;
  // The search of the whole database by answer, over the window; a non-empty word is searched
  // for at once. Its hits can be edited.
  virtual void openSearch(QWidget& window, const std::wstring& word) = 0;
  // The study's questions as a list to read over (and edit), under the study's title.
  virtual void openQuestionList(QWidget& window, const std::vector<int>& ids, const std::wstring& title) = 0;
  // The program's help, beside the window.
  virtual void showHelp() = 0;
  // The program's version box over the window, modally.
  virtual void showAbout(QWidget& window) = 0;
  // Keeps the question in the binder of questions saved while studying; the message to show.
  virtual std::wstring saveQuestionToBinder(int qid) = 0;
  // As the window opens: its opacity, and the speech agent when agent speech is on.
  virtual void prepareWindow(QWidget& window) = 0;
  // The skin the user chose; kept with the settings at once.
  virtual void setSkinPath(const std::wstring& path) = 0;
  // Where the window was when it closed, for the next study.
  virtual void storeWindowPosition(int x, int y) = 0;
  // The result dialog, over the window.
  virtual void showResult(QWidget& window, const StudyOutcome& outcome) = 0;
  // Writes the history in one transaction; false when nothing could be written.
  virtual bool saveHistory(pdb3::DailyLogRecord& record, int points) = 0;
  // The study cannot begin or go on for data it needs that could not be read: its log ids, the
  // window's own connection, a question (the start or the window has said why). A run made for
  // this study ends with that failure's status.
  virtual void noteDataUnusable() = 0;
};

}  // namespace study
