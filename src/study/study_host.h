// What the study window needs from the rest of the program, behind one interface so the window's
// course can run on the real database, sounds and speech or on test doubles.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "study/answer_judging.h"

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
};

// The texts of one question as the window shows them.
struct StudyQuestion {
  std::vector<std::wstring> questions;        // part-of-speech codes expanded
  std::vector<std::wstring> questionsPlain;   // part-of-speech codes removed (judged in ej)
  std::vector<std::wstring> answers;
  std::vector<std::wstring> hints;
};

// One question's results in this study.
struct QuestionTally {
  int nc1 = 0, ni1 = 0, nc2 = 0, ni2 = 0;
  double replySec = 0.0;
  int lastStudyTime = 0;
  int lastMistakeTimeOnFirstReply = 0;
};

struct StudyRecord {
  int did = -1;
  int lid = -1;
  int startTime = 0;
  int endTime = 0;
  int strokes = 0;
  std::map<int, QuestionTally> results;
};

// The figures the result dialog is given when a study ends.
struct StudyOutcome {
  const StudyRecord& record;
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
  virtual StudySettings settings() = 0;
  virtual StudyQuestion question(int qid) = 0;
  // Other questions with an answer that share a problem set with qid.
  virtual std::vector<int> choiceCandidates(int qid) = 0;
  virtual void playJudgementSound(bool correct) = 0;
  // Speaks when a voice is on.
  virtual void speak(const std::wstring& text) = 0;
  virtual void showResult(const StudyOutcome& outcome) = 0;
  // Writes the history in one transaction; false when nothing could be written.
  virtual bool saveHistory(StudyRecord& record, int points) = 0;
};

}  // namespace study
