#include <gtest/gtest.h>

#include <stdexcept>

#include "study/judging/answer_judging.h"
#include "study/study_modes.h"

using namespace study;

namespace {

CorrectAnswerList answers(std::initializer_list<const wchar_t*> texts) {
  CorrectAnswerList list;
  std::vector<std::wstring> all;
  for (auto t : texts) all.emplace_back(t);
  list.assign(all);
  return list;
}

JudgeSettings caseSensitive() {
  JudgeSettings s;
  s.ignoreCase = false;
  return s;
}

struct Row {
  std::vector<const wchar_t*> accepted;
  const wchar_t* reply;
  bool ignoreCase;
  int result;
  const wchar_t* message;  // null: one of the praises
};

}  // namespace

TEST(CorrectAnswerList, AssignTrimsStopsAtFirstEmptyAndDropsDuplicates) {
  CorrectAnswerList list = answers({L" apple\t", L"apple", L"pear", L"  ", L"plum"});
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list.text(0), L"apple");
  EXPECT_EQ(list.text(1), L"pear");
  EXPECT_EQ(list.text(5), L"");
  EXPECT_FALSE(list.markAnswered(-1));
  EXPECT_TRUE(list.markAnswered(1));
  EXPECT_TRUE(list.markAnswered(1));
  EXPECT_EQ(list.answeredCount(), 1);
  EXPECT_EQ(list.firstUnanswered(), 0);
  EXPECT_EQ(list.find(L"pear", true), -1);
  EXPECT_EQ(list.findNoCase(L"APPLE", true), 0);
  EXPECT_THROW(list.at(2), std::out_of_range);
  EXPECT_EQ(CorrectAnswerList().firstUnanswered(), -1);
}

// The ladder of the final judgement in typed modes other than ej.
TEST(AnswerJudging, LadderTable) {
  const std::vector<Row> rows = {
      {{L"I am."}, L"I am.", false, TypedCorrect, nullptr},
      {{L"I am."}, L"i am.", false, TypedCorrect, L"おしいっ！ ホントは１文字目が大文字だっ！！"},
      {{L"I am."}, L"I am", false, TypedCorrect, L"おしいっ！ ピリオドを忘れてるぞっ！！"},
      {{L"I am."}, L"i am", true, TypedWrong, L"ざぁ～んねん、不正解！"},
      {{L"Who?"}, L"Who", false, TypedCorrect, L"おしいっ！ クエスチョンマークを忘れてるぞっ！！"},
      {{L"Hello"}, L"hello", true, TypedCorrect, nullptr},
      {{L"Hello"}, L"hello", false, TypedCorrect, L"おしいっ！ ホントは１文字目が大文字だっ！！"},
      {{L"Hello."}, L"hello", true, TypedWrong, L"ざぁ～んねん、不正解！"},
      {{L"Hello"}, L" \t hello \t", true, TypedCorrect, nullptr},
      {{L"a  b"}, L"a b", true, TypedWrong, L"ざぁ～んねん、不正解！"},
      {{L"Hello"}, L" \t ", true, TypedWrong, L"おいおい！ あきらめたのかっ？"},
      {{L"Hello"}, L"!EXIT", true, TypedExitCommand, L""},
      {{L"Hello"}, L"!end", false, TypedEndCommand, L""},
      {{L"!exit"}, L"!Exit", false, TypedWrong, L"ざぁ～んねん、不正解！"},
      {{L"!EXIT"}, L"!exit", true, TypedCorrect, nullptr},
  };
  for (const auto& row : rows) {
    CorrectAnswerList list;
    std::vector<std::wstring> texts(row.accepted.begin(), row.accepted.end());
    list.assign(texts);
    JudgeSettings settings;
    settings.ignoreCase = row.ignoreCase;
    const TypedJudgement j = CheckTypedAnswer(row.reply, list, ModeJe, settings, true);
    SCOPED_TRACE(testing::Message() << "reply #" << (&row - rows.data()));
    EXPECT_EQ(j.result, row.result);
    if (row.message == nullptr) {
      ASSERT_TRUE(j.message.has_value());
      EXPECT_TRUE(*j.message == L"よっし、正解！" || *j.message == L"それ、正解だよ。" ||
                  *j.message == L"正解だよ。調子いいんでない？");
    } else if (*row.message == 0) {
      EXPECT_FALSE(j.message.has_value());
    } else {
      EXPECT_EQ(j.message.value_or(L"<none>"), row.message);
    }
    ASSERT_TRUE(j.lastReplyCorrect.has_value());
    EXPECT_EQ(*j.lastReplyCorrect, row.result != TypedWrong);
    EXPECT_EQ(list.answeredCount(), isCorrectResult(row.result) ? 1 : 0);
  }
}

TEST(AnswerJudging, JudgingWhileTypingChangesNoFieldAndSkipsGivenAnswers) {
  CorrectAnswerList list = answers({L"one", L"two", L"three"});
  TypedJudgement typing = CheckTypedAnswer(L"i am", list, ModeJe, JudgeSettings{}, false);
  EXPECT_EQ(typing.result, TypedWrong);
  EXPECT_FALSE(typing.message || typing.lastReplyCorrect);

  TypedJudgement first = CheckTypedAnswer(L"two", list, ModeJe, JudgeSettings{}, true);
  EXPECT_EQ(first.result, TypedCorrect);
  EXPECT_TRUE(AwaitsFurtherAnswers(list, JudgeSettings{}));
  // The final judgement takes a given answer again; typing does not.
  EXPECT_EQ(CheckTypedAnswer(L"two", list, ModeJe, JudgeSettings{}, true).result, TypedCorrect);
  EXPECT_EQ(CheckTypedAnswer(L"two", list, ModeJe, JudgeSettings{}, false).result, TypedWrong);
  EXPECT_EQ(list.answeredCount(), 1);
  EXPECT_EQ(CheckTypedAnswer(L"one", list, ModeJe, JudgeSettings{}, false).result, TypedCorrect);
  EXPECT_EQ(list.answeredCount(), 2);
  EXPECT_EQ(CheckTypedAnswer(L"!exit", list, ModeJe, JudgeSettings{}, false).result, TypedExitCommand);
}

TEST(AnswerJudging, MultipleAnswersAcceptedAtOnceOnlyByTheCountSetting) {
  CorrectAnswerList list = answers({L"one", L"two", L"three"});
  list.markAnswered(0);
  JudgeSettings s;
  s.multiJudgeCount = 1;
  s.multiJudgeOkOnOverCount = 3;
  EXPECT_FALSE(AwaitsFurtherAnswers(list, s));  // the list's size counts, not the answers given
  s.multiJudgeOkOnOverCount = 4;
  EXPECT_TRUE(AwaitsFurtherAnswers(list, s));
  s.multiJudgeCount = 0;
  s.multiJudgeOkOnOverCount = 1;
  EXPECT_TRUE(AwaitsFurtherAnswers(list, s));
  list.markAnswered(1);
  list.markAnswered(2);
  EXPECT_FALSE(AwaitsFurtherAnswers(list, s));
}

TEST(AnswerJudging, HeadAndPartRulesOfEnglishToJapanese) {
  JudgeSettings head;
  head.judgeByHeadReply = true;
  EXPECT_TRUE(JudgeByHead(L"apple", L"ap", head));
  EXPECT_FALSE(JudgeByHead(L"apple", L"a", head));
  EXPECT_FALSE(JudgeByHead(L"apple", L"apples", head));
  EXPECT_TRUE(JudgeByHead(L"a", L"a", head));
  EXPECT_FALSE(JudgeByHead(L"a", L"ab", head));
  EXPECT_TRUE(JudgeByHead(L"Apple", L"aPP", head));
  EXPECT_FALSE(JudgeByHead(L"Apple", L"aPP", [] { JudgeSettings s; s.ignoreCase = false; return s; }()));
  EXPECT_TRUE(JudgeBySub(L"りんごの木", L"ごの", head));
  EXPECT_FALSE(JudgeBySub(L"りんごの木", L"の", head));

  CorrectAnswerList list = answers({L"りんご", L"apple"});
  TypedJudgement j = CheckTypedAnswer(L"ap", list, ModeEj, head, true);
  EXPECT_EQ(j.result, TypedCorrectByHead);
  EXPECT_EQ(*j.message, L"先頭が合っていました！");
  EXPECT_TRUE(list.isAnswered(1));
  // The same reply is an ordinary mistake outside ej.
  EXPECT_EQ(CheckTypedAnswer(L"ap", list, ModeJe, head, true).result, TypedWrong);

  JudgeSettings both = head;
  both.judgeBySubReply = true;  // with the head rule on, the part rule is never tried
  CorrectAnswerList fruit = answers({L"apple"});
  EXPECT_EQ(CheckTypedAnswer(L"pl", fruit, ModeEj, both, true).result, TypedWrong);
  JudgeSettings part;
  part.judgeBySubReply = true;
  TypedJudgement p = CheckTypedAnswer(L"pl", fruit, ModeEj, part, true);
  EXPECT_EQ(p.result, TypedCorrectByPart);
  EXPECT_EQ(*p.message, L"一部が合っていました！");
}

TEST(AnswerJudging, ReinputComparesWithTheFirstAnswerNotGiven) {
  CorrectAnswerList list = answers({L"Cat", L"kitten"});
  EXPECT_TRUE(MatchesCurrentAnswer(list, L"cat", ModeJe, JudgeSettings{}));
  EXPECT_FALSE(MatchesCurrentAnswer(list, L"cat", ModeJe, caseSensitive()));
  EXPECT_FALSE(MatchesCurrentAnswer(list, L"kitten", ModeJe, JudgeSettings{}));
  list.markAnswered(0);
  EXPECT_TRUE(MatchesCurrentAnswer(list, L"kitten", ModeJe, JudgeSettings{}));
  JudgeSettings head;
  head.judgeByHeadReply = true;
  EXPECT_TRUE(MatchesCurrentAnswer(list, L"kit", ModeEj, head));
  EXPECT_FALSE(MatchesCurrentAnswer(list, L"kit", ModeJe, head));
}
