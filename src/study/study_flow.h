// One study's course: the turn state and answer pass the skin sees, the four question queues,
// the decisions between passes, the answer counters and the points. The window shows what this
// decides; nothing here touches a control.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace study {

enum TurnState {
  TurnInit = 0,
  TurnReply = 1,
  TurnWaitDisplayAnswer = 2,
  TurnWaitFlash = 3,
  TurnReinput = 4,
  TurnWaitNextTrigger = 5,
  TurnEnd = 6,
};

enum AnswerPass {
  PassFirst = 0,     // the set-up questions
  PassReReply = 1,   // the mistakes, again until none is missed
  PassReReply2 = 2,  // every mistake of the first pass once more
};

// The skin's words; null for a value outside the table.
const char* turnStateName(int tstate);
const char* answerPassName(int astate);

using IdDeque = std::deque<int>;

struct AnswerCounts {
  int mistakes = 0;
  int corrects = 0;
};

// Draws from the program's C-library generator, so a seeded study repeats its order.
void shuffleIds(IdDeque& ids);

class StudyFlow {
 public:
  StudyFlow(const std::vector<int>& questionIds, int mode, bool randomMistakeReply);

  enum class Step { Question, End, NoQuestion };
  // Decides the pass and takes the next question into currentId. End: nothing is left and the
  // study is finished (points and cut count settled). NoQuestion: a pass began with an empty queue.
  Step advance(int mistakeReplyLimit);

  // A final verdict on the current question (the answer counters).
  void countAnswer(bool correct);
  // The current question joins the mistakes to be asked again.
  void queueMistake() { mistakeQueue.push_back(currentId); }
  void addPoints(bool correct);
  // The questions-done bar moves for every first-pass verdict and every right one.
  void stepProgress(bool correct);
  // The study ends here, whatever way it took.
  void end();

  // What cancel does now.
  enum class CancelPlan { EndNow, CutFirstPass, AskThenCut };
  CancelPlan cancelPlan() const;
  // Drops the rest of the first pass: the next step goes to the re-reply passes or ends.
  void cutFirstPass();

  bool isFirstQuestionOfStudy() const;
  int setupCount() const { return static_cast<int>(questionIds_.size()); }
  int mode() const { return mode_; }

  int tstate = TurnInit;
  int astate = PassFirst;
  IdDeque currentQueue, mistakeQueue, restQueue, firstMistakes;
  int cutCount = 0;
  int shownInPass = -1;
  int reReplyPasses = 0;
  int reReply2Passes = 0;
  int currentId = -1;
  int previousId = -1;
  AnswerCounts now, first, re, re2, all;
  int points = 0;
  std::wstring banner;  // the pass's task line
  int progressRange = 0;
  int progressPos = 0;

 private:
  void resumeFirstPass();
  void startReReply();
  void startReReply2();
  void beginPass();
  void setPassBanner();
  void finish();

  std::vector<int> questionIds_;
  int mode_;
  bool randomMistakeReply_;
};

}  // namespace study
