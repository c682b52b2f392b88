#include <gtest/gtest.h>

#include "database/folders/section_questions.h"
#include "database_fixture.h"

using namespace pdb3;
using testdb::TempDatabase;
using testdb::thrownText;

namespace {

constexpr int kSampleSet = 2;

}  // namespace

TEST(SectionQuestions, NewQuestionIdsStartAtOneMillion) {
  TempDatabase db;
  const DbObject accessor = db.accessor();
  EXPECT_EQ(createEmptyQuestion(accessor), 1000000);  // empty table
  db.run(L"DELETE FROM question; INSERT INTO question (qid) VALUES (5)");
  EXPECT_EQ(createEmptyQuestion(accessor), 1000000);
  EXPECT_EQ(createEmptyQuestion(accessor), 1000001);
  EXPECT_EQ(db.value(L"SELECT mode || '/' || question || '/' || ctime FROM question WHERE qid=1000001"), L"65535//0");
  EXPECT_FALSE(insertEmptyQuestion(accessor, 5));  // taken
}

TEST(SectionQuestions, MembershipKeepsTheSetsOrderAndRefusesDuplicates) {
  TempDatabase db;
  const DbObject accessor = db.accessor();
  for (int qid : {30, 10, 20}) insertSectionRow(accessor, 7, qid);
  std::deque<int> ids{1};
  EXPECT_TRUE(sectionQuestionIds(accessor, 7, ids));
  EXPECT_EQ(ids, (std::deque<int>{1, 30, 10, 20}));

  EXPECT_EQ(thrownText([&] { addQuestionToSection(accessor, 7, 10); }), L"すでに問題が存在しています");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM section WHERE sid=7"), L"3");
  addQuestionToSection(accessor, 7, 40);
  db.run(L"DROP TABLE section");
  EXPECT_FALSE(sectionQuestionIds(accessor, 7, ids));
  EXPECT_EQ(thrownText([&] { addQuestionToSection(accessor, 7, 50); }), L"Exception caught");
}

TEST(SectionQuestions, QuestionsWithoutTextAreLeftOutAndNotCounted) {
  TempDatabase db(TempDatabase::Content::sampleData);
  const DbObject accessor = db.accessor();
  const int total = std::stoi(db.value(L"SELECT count(*) FROM section WHERE sid=2"));
  EXPECT_EQ(countUsableQuestions(accessor, kSampleSet), total);

  // Question 3 keeps only its sound; question 5 keeps a hint, so it is not empty but not usable.
  db.run(L"UPDATE question SET question='', answer='', wavfilename='desk.wav' WHERE qid=3;"
         L"UPDATE question SET question='', answer='', hint='h' WHERE qid=5");
  std::deque<int> ids;
  EXPECT_TRUE(nonEmptyQuestionIds(accessor, kSampleSet, ids));
  EXPECT_EQ(ids.size(), static_cast<size_t>(total - 1));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 3), 0);
  EXPECT_EQ(countUsableQuestions(accessor, kSampleSet), total - 2);
  EXPECT_EQ(countUsableQuestions(accessor, 999), 0);

  std::deque<int> list{5, 3, 99, 1};
  dropEmptyQuestions(accessor, list);
  EXPECT_EQ(list, (std::deque<int>{5, 1}));
}
