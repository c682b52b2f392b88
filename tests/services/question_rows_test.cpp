#include <gtest/gtest.h>

#include "database/engine/sql_helpers.h"
#include "services/question_rows.h"
#include "database_fixture.h"

using testdb::TempDatabase;

namespace {

TEST(DisplayWidth, CountsTwoColumnsForDoubleByteCharactersOnly) {
  EXPECT_EQ(DisplayWidth(L"apple"), 5);
  EXPECT_EQ(DisplayWidth(L"りんご"), 6);
  EXPECT_EQ(DisplayWidth(L"ｱｲ"), 2);              // half-width katakana: one byte each
  EXPECT_EQ(DisplayWidth(L"a【名詞】"), 9);
  EXPECT_EQ(DisplayWidth(L"\U0001F600x"), 2);      // missing from the code page: one column
  EXPECT_EQ(DisplayWidth(L""), 0);
}

class QuestionRows : public ::testing::Test {
 protected:
  TempDatabase db;
  pdb3::DbObject accessor = db.accessor();

  void SetUp() override {
    db.run(L"INSERT INTO question (qid, question, answer) VALUES "
           L"(1, 'りんご' || char(13, 10) || '%no林檎', 'apple' || char(13, 10) || '' || char(13, 10) || 'ringo'"
           L" || char(13, 10) || 'pomme'), (2, '', ''), (3, 'only a question', ''), (4, 'ab', 'x')");
  }
  TextExportBuffer rows(int qid, int width) {
    TextExportBuffer buffer;
    FormatQuestionRows(buffer, pdb3::getQuestion(accessor, qid), width);
    return buffer;
  }
};

TEST_F(QuestionRows, AlignAnswersByDisplayWidthAndIndentExtraAnswers) {
  const TextExportBuffer buffer = rows(1, 12);
  ASSERT_EQ(buffer.lines.size(), 3u);  // the empty answer is left out
  EXPECT_EQ(buffer.lines[0], L"りんご      apple");
  EXPECT_EQ(buffer.lines[1], L"【名詞】林檎ringo");  // 12 columns wide already: no padding
  EXPECT_EQ(buffer.lines[2], std::wstring(12, L' ') + L"pomme");
  EXPECT_EQ(buffer.questionIds, (std::vector<int>{1, 1, 1}));

  EXPECT_TRUE(rows(2, 12).lines.empty());
  EXPECT_EQ(rows(3, 20).lines, std::vector<std::wstring>{L"only a question"});  // no answer: no padding
  EXPECT_EQ(rows(4, 0).lines, std::vector<std::wstring>{L"abx"});
}

TEST_F(QuestionRows, MaxQuestionWidthIsTheWidestExpandedQuestionPlusFive) {
  EXPECT_EQ(MaxQuestionWidth({}, accessor), 5);
  EXPECT_EQ(MaxQuestionWidth({1, 2, 4}, accessor), 12 + 5);  // 【名詞】林檎
}

TEST(FileNames, OnlyTheLastComponentIsCleanedAndGetsTheExtension) {
  EXPECT_EQ(ReplaceFileNameChars(L"英単語/基本<1>,a?.txt"), L"英単語／基本＜1＞，a.txt");
  EXPECT_EQ(ReplaceFileNameCharsInLastComponent(L"/home/u/a,b/<list>?"), L"/home/u/a,b/＜list＞");
  EXPECT_EQ(ReplaceExtension(L"list.data.txt", L"csv"), L"list.data.csv");
  EXPECT_EQ(ReplaceExtension(L"list", L"csv"), L"list.csv");
  EXPECT_EQ(ReplaceExtension(L"/x/a.b/list", L"xls"), L"/x/a.b/list.xls");
}

}  // namespace
