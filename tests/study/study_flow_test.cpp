#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "platform/random.h"
#include "study/study_flow.h"
#include "study/study_modes.h"

using namespace study;

namespace {

std::vector<int> ids(int from, int to) {
  std::vector<int> v(to - from + 1);
  std::iota(v.begin(), v.end(), from);
  return v;
}

// Answers the current question as the window would after its final verdict.
void answer(StudyFlow& flow, bool correct) {
  flow.countAnswer(correct);
  flow.addPoints(correct);
  flow.stepProgress(correct);
  if (!correct) flow.queueMistake();
}

int ask(StudyFlow& flow, int limit = 5) {
  StudyFlow::Step step = flow.advance(limit);
  return step == StudyFlow::Step::Question ? flow.currentId : -1;
}

}  // namespace

TEST(StudyFlow, MistakeLimitInterruptsTheFirstPassThenResumesItAndReplaysAllMistakes) {
  StudyFlow flow(ids(1, 10), ModeJe, false);
  for (int q = 1; q <= 5; ++q) {
    ASSERT_EQ(ask(flow), q);
    answer(flow, false);
  }
  // The fifth mistake: the mistakes come first, the other five wait.
  ASSERT_EQ(ask(flow), 1);
  EXPECT_EQ(flow.astate, PassReReply);
  EXPECT_EQ(flow.restQueue, IdDeque({6, 7, 8, 9, 10}));
  EXPECT_EQ(flow.banner, L"間違えた問題をもう１度訳そう！！");
  EXPECT_EQ(flow.progressRange, 5);
  answer(flow, true);
  for (int q = 2; q <= 5; ++q) {
    ASSERT_EQ(ask(flow), q);
    answer(flow, true);
  }
  ASSERT_EQ(ask(flow), 6);
  EXPECT_EQ(flow.astate, PassFirst);
  EXPECT_EQ(flow.progressRange, 10);
  EXPECT_EQ(flow.progressPos, 5);
  EXPECT_EQ(flow.banner, L"日本語を英語に訳そう！");
  answer(flow, true);
  for (int q = 7; q <= 10; ++q) {
    ASSERT_EQ(ask(flow), q);
    answer(flow, true);
  }
  for (int q = 1; q <= 5; ++q) {
    ASSERT_EQ(ask(flow), q);
    EXPECT_EQ(flow.astate, PassReReply2);
    answer(flow, true);
  }
  EXPECT_EQ(flow.advance(5), StudyFlow::Step::End);
  EXPECT_EQ(flow.tstate, TurnEnd);
  EXPECT_EQ(flow.banner, L"お疲れさまでした！");
  EXPECT_EQ(flow.first.mistakes, 5);
  EXPECT_EQ(flow.first.corrects, 5);
  EXPECT_EQ(flow.re.corrects, 5);
  EXPECT_EQ(flow.re2.corrects, 5);
  EXPECT_EQ(flow.all.corrects, 15);
  // 5 x 10 + 5 x 100 in the first pass, 10 x 33 afterwards; no bonus after re-replies.
  EXPECT_EQ(flow.points, 50 + 500 + 330);
}

TEST(StudyFlow, WithoutLimitTheFirstPassEndsBeforeAnyReReplyAndMissedAgainRepeatsThePass) {
  StudyFlow flow(ids(1, 4), ModeEj, false);
  for (int q = 1; q <= 4; ++q) {
    ASSERT_EQ(ask(flow, 0), q);
    answer(flow, q % 2 == 0);
  }
  ASSERT_EQ(ask(flow, 0), 1);
  EXPECT_EQ(flow.astate, PassReReply);
  answer(flow, false);  // missed again
  ASSERT_EQ(ask(flow, 0), 3);
  answer(flow, true);
  ASSERT_EQ(ask(flow, 0), 1);
  EXPECT_EQ(flow.astate, PassReReply);
  EXPECT_EQ(flow.reReplyPasses, 2);
  EXPECT_EQ(flow.shownInPass, 0);
  answer(flow, true);
  ASSERT_EQ(ask(flow, 0), 1);
  EXPECT_EQ(flow.astate, PassReReply2);
  ASSERT_EQ(ask(flow, 0), 3);
  EXPECT_EQ(flow.advance(0), StudyFlow::Step::End);
  EXPECT_EQ(flow.re.mistakes, 1);
  EXPECT_EQ(flow.re.corrects, 2);
}

// The questions of the pass just begun, in the order they come.
std::vector<int> passOrder(const StudyFlow& flow) {
  std::vector<int> pass{flow.currentId};
  pass.insert(pass.end(), flow.currentQueue.begin(), flow.currentQueue.end());
  return pass;
}

TEST(StudyFlow, ShuffledReReplyKeepsTheSameQuestions) {
  for (const bool shuffled : {true, false}) {
    SCOPED_TRACE(shuffled ? "shuffled" : "in order");
    platform::seedRandom(7);
    StudyFlow flow(ids(1, 30), ModeJe, shuffled);
    for (int q = 1; q <= 30; ++q) {
      ASSERT_EQ(ask(flow, 0), q);
      answer(flow, false);
    }
    ASSERT_NE(ask(flow, 0), -1);
    ASSERT_EQ(flow.astate, PassReReply);
    std::vector<int> pass = passOrder(flow);
    EXPECT_EQ(pass == ids(1, 30), !shuffled) << "the mistakes come in the order they were made only unshuffled";
    std::sort(pass.begin(), pass.end());
    EXPECT_EQ(pass, ids(1, 30));

    // All right at last: the second re-reply replays the first pass's mistakes, shuffled afresh.
    answer(flow, true);
    for (int q = 2; q <= 30; ++q) {
      ASSERT_NE(ask(flow, 0), -1);
      answer(flow, true);
    }
    ASSERT_NE(ask(flow, 0), -1);
    ASSERT_EQ(flow.astate, PassReReply2);
    pass = passOrder(flow);
    EXPECT_EQ(pass == ids(1, 30), !shuffled);
    std::sort(pass.begin(), pass.end());
    EXPECT_EQ(pass, ids(1, 30));
  }
}

TEST(StudyFlow, PointsByModeAndPassAndTheBonusOfAFaultlessStudy) {
  struct Case { int mode; bool correct; bool reReply; int points; };
  const Case cases[] = {{ModeJe, true, false, 100}, {ModeEj4, true, false, 50}, {ModeCard, true, false, 10},
                        {ModeCard, false, false, 1}, {ModeJe, true, true, 33}, {ModeDictation, false, true, 1},
                        {ModeSpeedReply, false, false, 5}};
  for (const Case& c : cases) {
    StudyFlow flow({1}, c.mode, false);
    if (c.reReply) flow.astate = PassReReply;
    flow.addPoints(c.correct);
    EXPECT_EQ(flow.points, c.points) << "mode " << c.mode;
  }
  StudyFlow faultless(ids(1, 3), ModeJe4, false);
  for (int q = 1; q <= 3; ++q) {
    ask(faultless);
    answer(faultless, true);
  }
  EXPECT_EQ(faultless.advance(5), StudyFlow::Step::End);
  EXPECT_EQ(faultless.points, 180);  // trunc(150 x 1.2)
  EXPECT_EQ(faultless.cutCount, 3);
}

TEST(StudyFlow, CancelPlans) {
  StudyFlow flow(ids(1, 5), ModeJe, false);
  EXPECT_EQ(flow.cancelPlan(), StudyFlow::CancelPlan::EndNow);
  ask(flow);
  EXPECT_EQ(flow.cancelPlan(), StudyFlow::CancelPlan::EndNow);  // nothing answered yet
  answer(flow, true);
  ask(flow);
  EXPECT_EQ(flow.cancelPlan(), StudyFlow::CancelPlan::CutFirstPass);
  flow.cutFirstPass();
  EXPECT_EQ(flow.advance(5), StudyFlow::Step::End);  // nothing pending: the study ends

  StudyFlow missed(ids(1, 5), ModeJe, false);
  ask(missed);
  answer(missed, false);
  ask(missed);
  EXPECT_EQ(missed.cancelPlan(), StudyFlow::CancelPlan::AskThenCut);
  missed.cutFirstPass();
  ASSERT_EQ(ask(missed), 1);  // the re-reply follows, the rest of the first pass is dropped
  EXPECT_EQ(missed.astate, PassReReply);
  EXPECT_TRUE(missed.restQueue.empty());
  EXPECT_EQ(missed.cancelPlan(), StudyFlow::CancelPlan::EndNow);
}
