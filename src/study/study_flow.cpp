#include "study/study_flow.h"

#include <utility>

#include "platform/random.h"
#include "study/study_modes.h"

namespace study {

const char* turnStateName(int tstate) {
  static const char* const names[] = {"init", "reply", "wait_displayanswer", "wait_flash",
                                      "reinput", "wait_nexttrigger", "end"};
  return tstate >= TurnInit && tstate <= TurnEnd ? names[tstate] : nullptr;
}

const char* answerPassName(int astate) {
  static const char* const names[] = {"firstreply", "rereply", "rereply2"};
  return astate >= PassFirst && astate <= PassReReply2 ? names[astate] : nullptr;
}

void shuffleIds(IdDeque& ids) {
  for (size_t i = ids.size(); i > 1; --i) {
    const size_t j = static_cast<size_t>(platform::randomValue()) % i;
    std::swap(ids[i - 1], ids[j]);
  }
}

StudyFlow::StudyFlow(const std::vector<int>& questionIds, int mode, bool randomMistakeReply)
    : questionIds_(questionIds), mode_(mode), randomMistakeReply_(randomMistakeReply) {
  currentQueue.assign(questionIds.begin(), questionIds.end());
  resumeFirstPass();
}

StudyFlow::Step StudyFlow::advance(int mistakeReplyLimit) {
  ++shownInPass;
  const bool leaveFirstPass =
      astate == PassFirst &&
      ((mistakeReplyLimit > 0 && static_cast<int>(mistakeQueue.size()) >= mistakeReplyLimit) || cutCount > 0);
  if (currentQueue.empty() || leaveFirstPass) {
    if (astate == PassFirst && cutCount == 0) {
      restQueue = std::move(currentQueue);
      currentQueue.clear();
    }
    const bool pending = astate == PassFirst ? firstMistakes.size() + mistakeQueue.size() > 0
                                             : !mistakeQueue.empty();
    if (pending) {
      if (astate == PassFirst) {
        if (mistakeQueue.empty()) {
          startReReply2();
        } else {
          startReReply();
        }
      } else {
        currentQueue = mistakeQueue;
        ++(astate == PassReReply ? reReplyPasses : reReply2Passes);
        beginPass();
      }
      if (randomMistakeReply_) shuffleIds(currentQueue);
      mistakeQueue.clear();
    } else if (astate == PassReReply && !restQueue.empty()) {
      resumeFirstPass();
    } else if (astate == PassReReply) {
      startReReply2();
      if (randomMistakeReply_) shuffleIds(currentQueue);
    } else {
      finish();
      return Step::End;
    }
  }
  previousId = currentId;
  if (currentQueue.empty()) return Step::NoQuestion;
  currentId = currentQueue.front();
  currentQueue.pop_front();
  return Step::Question;
}

void StudyFlow::beginPass() {
  // Every change of pass starts its own count of questions shown and answers given.
  shownInPass = 0;
  now = AnswerCounts{};
}

void StudyFlow::resumeFirstPass() {
  astate = PassFirst;
  progressRange = setupCount();
  if (!restQueue.empty()) {
    currentQueue = std::move(restQueue);
    restQueue.clear();
    progressPos = first.corrects + first.mistakes;
    beginPass();
  } else {
    progressPos = 0;
  }
  setPassBanner();
}

void StudyFlow::startReReply() {
  astate = PassReReply;
  currentQueue = mistakeQueue;
  firstMistakes.insert(firstMistakes.end(), mistakeQueue.begin(), mistakeQueue.end());
  reReplyPasses = 1;
  progressRange = static_cast<int>(currentQueue.size());
  progressPos = 0;
  beginPass();
  setPassBanner();
}

void StudyFlow::startReReply2() {
  astate = PassReReply2;
  currentQueue = firstMistakes;
  reReply2Passes = 1;
  progressRange = static_cast<int>(currentQueue.size());
  progressPos = 0;
  beginPass();
  setPassBanner();
}

void StudyFlow::setPassBanner() {
  if (tstate == TurnEnd) {
    banner = L"お疲れさまでした！";
  } else if (astate == PassFirst) {
    banner = modeBanner(mode_);
  } else if (astate == PassReReply) {
    banner = L"間違えた問題をもう１度訳そう！！";
  } else {
    banner = L"間違えた問題を さらに もう一度訳そう！！";
  }
}

void StudyFlow::countAnswer(bool correct) {
  auto bump = [correct](AnswerCounts& counts) { ++(correct ? counts.corrects : counts.mistakes); };
  bump(now);
  bump(all);
  if (astate == PassFirst) bump(first);
  if (astate == PassReReply) bump(re);
  if (astate == PassReReply2) bump(re2);
}

void StudyFlow::addPoints(bool correct) {
  int gained = correct ? 100 : 10;
  if (astate != PassFirst) gained = static_cast<int>(gained * (1.0 / 3.0));
  if (mode_ == ModeEj4 || mode_ == ModeJe4 || mode_ == ModeSpeedReply || mode_ == ModeDictation) {
    gained = static_cast<int>(gained * 0.5);
  } else if (mode_ == ModeCard) {
    gained = static_cast<int>(gained * 0.1);
  }
  points += gained == 0 ? 1 : gained;
}

void StudyFlow::stepProgress(bool correct) {
  if (astate == PassFirst || correct) ++progressPos;
}

void StudyFlow::finish() {
  if (cutCount == 0) cutCount = setupCount();
  // A study that never needed a re-reply earns a fifth more.
  if (astate == PassFirst) points = static_cast<int>(points * 1.2);
  end();
}

void StudyFlow::end() {
  tstate = TurnEnd;
  setPassBanner();
}

StudyFlow::CancelPlan StudyFlow::cancelPlan() const {
  if (astate != PassFirst || first.corrects + first.mistakes + shownInPass <= 0) return CancelPlan::EndNow;
  return firstMistakes.size() + mistakeQueue.size() > 0 ? CancelPlan::AskThenCut : CancelPlan::CutFirstPass;
}

void StudyFlow::cutFirstPass() { cutCount = first.corrects + first.mistakes + shownInPass; }

bool StudyFlow::isFirstQuestionOfStudy() const {
  return astate == PassFirst && shownInPass == 0 && first.corrects + first.mistakes == 0;
}

}  // namespace study
