#include <gtest/gtest.h>

#include "study/window/result_figures.h"
#include "study/study_modes.h"
#include "study/skin/text_macros.h"

using namespace study;

TEST(ResultFigures, GradeThresholdsAreStrict) {
  EXPECT_EQ(gradeForRate(100 * AnswerTally{0, 0}.correctRatio()).pictureIndex, 4);
  EXPECT_EQ(gradeForRate(100).pictureIndex, 0);
  EXPECT_STREQ(gradeForRate(100 * AnswerTally{1, 9}.correctRatio()).message, L"よくできましたっ！");
  EXPECT_EQ(gradeForRate(90.01).pictureIndex, 1);
  EXPECT_EQ(gradeForRate(70).pictureIndex, 3);
  EXPECT_EQ(gradeForRate(50).pictureIndex, 4);
  EXPECT_DOUBLE_EQ((AnswerTally{1, 3}.correctRatio()), 0.75);
}

TEST(ResultFigures, StudyTimeAndTypingSpeed) {
  EXPECT_EQ(studyTimeText(59999), L"60.0 秒");
  EXPECT_EQ(studyTimeText(60000), L"1 分 0 秒");
  EXPECT_EQ(studyTimeText(125900), L"2 分 5 秒");
  EXPECT_EQ(typingSpeedText(30, 10500), L"180.00 [Keys/分]  (3.00 [Keys/秒])");
  EXPECT_EQ(typingSpeedText(12, 999), L"0.00 [Keys/分]  (0.00 [Keys/秒])");
  EXPECT_EQ(repeatedMark(L"○", 2) + repeatedMark(L"×", 0), L"○○");
  EXPECT_EQ(levelChangeText(L"C", L"B"), L"C → B");
  EXPECT_EQ(levelChangeText(L"C", L"C"), L"C");
}

TEST(TextMacros, ExpandsEveryMacroFromTheStudy) {
  StudyFlow flow({1, 2, 3}, ModeJe, false);
  flow.advance(5);
  flow.points = 7;
  flow.all = {2, 5};
  CorrectAnswerList answers;
  answers.assign({L"a big  dog", L"\tcat\t"});
  MacroSources sources{flow, answers, 30, 10500, L"timed", L"shown", L"remark"};
  EXPECT_EQ(ExpandTextMacros(L"[%nPoint%]", sources), L"[   7]");
  EXPECT_EQ(ExpandTextMacros(L"%nCorrectsAll%/%nMistakesAll% %nQuestions% %nRemindQuestions%", sources),
            L"5/2 3 2");
  EXPECT_EQ(ExpandTextMacros(L"%nAnswerWord1%,%nAnswerWord2%,%nAnswerWord3%", sources), L"3,1,0");
  EXPECT_EQ(ExpandTextMacros(L"%nInputSpeed% %strTitle%", sources), L"180.00 日本語を英語に訳そう！");
  EXPECT_EQ(ExpandTextMacros(L"%strBanner%%strAnswer%%strResultComment%%strBanner%", sources),
            L"timedshownremarktimed");
  sources.replyMilliseconds = 999;
  EXPECT_EQ(ExpandTextMacros(L"%nInputSpeed%", sources), L"%nInputSpeed%");
  sources.replyMilliseconds = 2000;
  sources.typedCharacters = 0;
  EXPECT_EQ(ExpandTextMacros(L"%nInputSpeed%", sources), L"0.00");
  // A value that itself looks like a macro is not expanded again.
  sources.resultComment = L"%nPoint%";
  EXPECT_EQ(ExpandTextMacros(L"%strResultComment%", sources), L"%nPoint%");
  flow.astate = PassReReply;
  flow.shownInPass = 1;
  EXPECT_EQ(ExpandTextMacros(L"%nQuestions%", sources), L"4");
  flow.tstate = TurnEnd;
  EXPECT_EQ(ExpandTextMacros(L"%nQuestions%", sources), L"0");
}
