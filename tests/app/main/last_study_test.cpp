#include <gtest/gtest.h>

#include "app/main/last_study.h"
#include "database/logs/daily_log.h"
#include "element_tree_fixture.h"
#include "held_database.h"

using namespace apptest;

TEST(LastStudy, TakesTheNewestRunInAscendingOrderOrItsFirstAnswerMistakes) {
  TreeApp s;
  s.app.currentSetId = kApple;
  std::vector<int> ids;
  EXPECT_FALSE(LastStudyQuestionIds(s.app, false, ids, nullptr));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: まだ学習していません。\n");

  s.run(L"INSERT INTO log_id VALUES(3," + std::to_wstring(s.app.currentUserId) + L",14,0)");
  s.run(L"INSERT INTO daily_log VALUES(7,3,100,300,0,'',''), (8,3,150,200,0,'','')");
  EXPECT_FALSE(LastStudyQuestionIds(s.app, false, ids, nullptr));  // the newest run lists no question
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: まだ学習していません。\n");

  // Asked in a shuffled order; question 2 was missed at first, question 31 only when asked again.
  s.run(L"INSERT INTO daily_question_log VALUES(7,31,0,0,1,1,2.5,1,40), (7,1,1,0,0,0,1.0,2,80), (7,2,0,1,1,0,3.0,1,30)");
  s.run(L"INSERT INTO daily_question_log VALUES(8,30,0,1,0,0,1.0,1,30)");
  EXPECT_TRUE(LastStudyQuestionIds(s.app, false, ids, nullptr));
  EXPECT_EQ(ids, std::vector<int>({1, 2, 31}));
  ids.clear();
  EXPECT_TRUE(LastStudyQuestionIds(s.app, true, ids, nullptr));
  EXPECT_EQ(ids, std::vector<int>({2}));

  s.run(L"UPDATE daily_question_log SET ni1=0 WHERE did=7");
  ids.clear();
  EXPECT_FALSE(LastStudyQuestionIds(s.app, true, ids, nullptr));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 前回は全問正解です！\n");
  EXPECT_FALSE(pdb3::DailyLogRecord(s.accessor(), 9, 3).Load());
}

TEST(LastStudy, AFileHeldByAnotherProgramIsNotTakenForNoStudy) {
  TreeApp s;
  s.app.currentSetId = kApple;
  s.run(L"INSERT INTO log_id VALUES(3," + std::to_wstring(s.app.currentUserId) + L",14,0)");
  s.run(L"INSERT INTO daily_log VALUES(7,3,100,300,0,'','')");
  s.run(L"INSERT INTO daily_question_log VALUES(7,1,1,0,0,0,1.0,2,80)");
  std::vector<int> ids;
  HeldDatabase held(s.databasePath());
  EXPECT_FALSE(LastStudyQuestionIds(s.app, false, ids, nullptr));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 前回の学習履歴を読み込めませんでした。\n" + kBusyCause + L"\n");
}
