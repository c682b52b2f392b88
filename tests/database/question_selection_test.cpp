#include <gtest/gtest.h>

#include <algorithm>

#include "database/logs/element_log.h"
#include "database/logs/question_selection.h"
#include "database_fixture.h"
#include "platform/random.h"

using namespace pdb3;
using testdb::TempDatabase;

namespace {

constexpr int kSet = 10;
constexpr int kLid = 7;

// A set of questions 1..6 in the order 3,1,2,4,5,6 where 4 has no text at all, and 99 no row.
class Selection : public ::testing::Test {
 protected:
  TempDatabase db;
  DbObject accessor = db.accessor();
  std::vector<std::wstring> notices;
  bool noticedInTransaction = false;  // a notice's box waited with the file locked
  StudyContext study{db.connection(), 1, kSet, 0, [this](const std::wstring& text) {
                       notices.push_back(text);
                       noticedInTransaction = noticedInTransaction || db.connection().inTransaction();
                     }};

  void SetUp() override {
    db.run(L"INSERT INTO element_info VALUES (10, 2, 'set', '', '', '', 0, 0, '', '')");
    db.run(L"INSERT INTO folder VALUES (10, 0)");
    for (int qid : {3, 1, 2, 4, 5, 6}) {
      const std::wstring text = qid == 4 ? L"''" : L"'q" + std::to_wstring(qid) + L"'";
      db.run(L"INSERT INTO question (qid, question, answer, hint, description, pronounce) VALUES (" +
             std::to_wstring(qid) + L", " + text + L", " + text + L", '', '', '')");
      db.run(L"INSERT INTO section VALUES (10, " + std::to_wstring(qid) + L")");
    }
    db.run(L"INSERT INTO section VALUES (10, 99)");  // a membership whose question is gone
  }
  void startLog(int firstReplyDate, int accomplished) {
    db.run(L"INSERT INTO log_id VALUES (7, 1, 10, 0)");
    db.run(L"INSERT INTO element_log VALUES (7, " + std::to_wstring(firstReplyDate) + L", 1, 0, 0, " +
           std::to_wstring(accomplished) + L", '', '')");
  }
  void asked(std::initializer_list<int> qids) {
    for (int qid : qids) db.run(L"INSERT INTO looped_questions VALUES (7, " + std::to_wstring(qid) + L")");
  }
  std::deque<int> select(bool random, int count) {
    std::deque<int> out;
    EXPECT_TRUE(SelectNextQuestions(study, out, random, count));
    return out;
  }
  int accomplished() { return getElementLog(accessor, kLid).nAccomplish(); }
};

// The order the random source seeded with `seed` draws the questions in.
std::deque<int> drawnWithSeed(unsigned seed, std::deque<int> questions) {
  platform::seedRandom(seed);
  std::deque<int> drawn;
  while (!questions.empty()) drawn.push_back(PickRandomQuestion(questions));
  return drawn;
}

}  // namespace

TEST_F(Selection, FirstStudyTakesTheSetInItsOrderOrAtRandomSeededWithZero) {
  EXPECT_EQ(select(false, 3), (std::deque<int>{3, 1, 2}));
  EXPECT_EQ(select(false, 10), (std::deque<int>{3, 1, 2, 5, 6})) << "the empty question is never chosen";

  const std::deque<int> random = select(true, 10);
  EXPECT_EQ(select(true, 10), random) << "the same seed gives the same order";
  EXPECT_EQ(random, drawnWithSeed(0, {3, 1, 2, 5, 6}));
  std::deque<int> sorted = random;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::deque<int>{1, 2, 3, 5, 6}));
  EXPECT_EQ(select(true, 2).size(), 2u);
  EXPECT_TRUE(notices.empty());
}

TEST_F(Selection, APassRunsOutAndRestartsWithTheWholeSet) {
  startLog(1700000000, 0);
  asked({3, 1});
  EXPECT_EQ(select(false, 2), (std::deque<int>{2, 5}));
  EXPECT_EQ(select(false, 10), (std::deque<int>{2, 5, 6})) << "only what the pass has left";
  EXPECT_EQ(accomplished(), 0);

  asked({2, 5, 6});
  EXPECT_EQ(select(false, 2), (std::deque<int>{3, 1}));
  EXPECT_EQ(accomplished(), 1);
  EXPECT_EQ(db.value(L"SELECT count(*) FROM looped_questions"), L"0");

  // Random order within a pass is seeded by the number of passes: reproducible while it lasts.
  asked({3});
  const std::deque<int> first = select(true, 10);
  EXPECT_EQ(first.size(), 4u);
  EXPECT_EQ(select(true, 10), first);
  EXPECT_EQ(std::count(first.begin(), first.end(), 3), 0);

  // A new pass at random is seeded by the date of the study log's first study, and the studies after
  // the first of the pass by the number of passes. (The C library takes seed 0 for seed 1.)
  asked({1, 2, 5, 6});
  ASSERT_NE(drawnWithSeed(1700000000, {3, 1, 2, 5, 6}), drawnWithSeed(0, {3, 1, 2, 5, 6}));
  EXPECT_EQ(select(true, 10), drawnWithSeed(1700000000, {3, 1, 2, 5, 6}));
  ASSERT_EQ(accomplished(), 2);
  asked({3});
  ASSERT_NE(drawnWithSeed(2, {1, 2, 5, 6}), drawnWithSeed(0, {1, 2, 5, 6}));
  EXPECT_EQ(select(true, 10), drawnWithSeed(2, {1, 2, 5, 6}));
}

TEST_F(Selection, ASetThatShrankBelowThePassRestartsIt) {
  startLog(0, 4);
  asked({3, 1, 2, 2});
  db.run(L"DELETE FROM section WHERE qid IN (3, 1)");
  // The pass has asked 3 questions and 3 usable ones remain in the set: it goes on.
  EXPECT_EQ(select(false, 1), (std::deque<int>{5}));
  db.run(L"DELETE FROM section WHERE qid = 6");
  // The pass has asked 3 questions of a set that has only 2 usable ones left.
  EXPECT_EQ(select(false, 5), (std::deque<int>{2, 5}));
  EXPECT_EQ(accomplished(), 5);
}

TEST_F(Selection, FailuresAreShownAndAnEmptyPassIsNotCounted) {
  startLog(0, 2);
  EXPECT_TRUE(ResetRound(db.connection(), kLid));
  EXPECT_EQ(accomplished(), 2) << "a pass that asked nothing is not a pass";

  db.run(L"DROP TABLE looped_questions");
  testing::internal::CaptureStderr();
  std::deque<int> out;
  EXPECT_FALSE(SelectNextQuestions(study, out, false, 3));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(notices, std::vector<std::wstring>{L"次に学習すべき問題を取得できませんでした"});

  // The log itself cannot be looked up. Either way the box comes once the read lock is let go.
  db.run(L"DROP TABLE log_id");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SelectNextQuestions(study, out, false, 3));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices.size(), 2u);
  EXPECT_FALSE(noticedInTransaction);
}

TEST_F(Selection, APassIsClosedWholeOrNotAtAll) {
  startLog(0, 2);
  asked({3, 1, 2, 5, 6});
  // The second step of the closing fails: the counter must not count a pass that goes on.
  db.run(L"CREATE TRIGGER keep BEFORE DELETE ON looped_questions BEGIN SELECT RAISE(ABORT, 'kept'); END");
  testing::internal::CaptureStderr();
  std::deque<int> out;
  EXPECT_FALSE(SelectNextQuestions(study, out, false, 3));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習済み問題を削除できませんでした"});
  EXPECT_EQ(accomplished(), 2);
  EXPECT_EQ(db.value(L"SELECT count(*) FROM looped_questions"), L"5");
  EXPECT_FALSE(db.connection().inTransaction());

  db.run(L"DROP TRIGGER keep");
  EXPECT_EQ(select(false, 3), (std::deque<int>{3, 1, 2}));
  EXPECT_EQ(accomplished(), 3);
  EXPECT_EQ(db.value(L"SELECT count(*) FROM looped_questions"), L"0");
}

TEST_F(Selection, SectionIsChosenByItsPath) {
  db.run(L"INSERT INTO element_info VALUES (11, 0, 'folder', '', '', '', 0, 0, '', '')");
  db.run(L"INSERT INTO folder VALUES (11, 0)");
  EXPECT_FALSE(SelectSectionByPath(study, L"folder"));
  db.run(L"UPDATE folder SET fid=11 WHERE eid=10");
  EXPECT_TRUE(SelectSectionByPath(study, L"folder/set"));
  EXPECT_EQ(study.setId, kSet);
}

TEST_F(Selection, StudyLogTotalsCountTheSetsQuestionsAndListStudiesNewestFirst) {
  startLog(123, 0);
  ElementLogRecord log = getElementLog(accessor, kLid);
  EXPECT_EQ(roundTotals(log).correct, 0) << "no answers yet";
  db.run(L"INSERT INTO question_log (qid, uid, mid, nc1, ni1) VALUES (1, 1, 0, 3, 1), (2, 1, 0, 2, 2), "
         L"(2, 1, 1, 9, 9), (98, 1, 0, 9, 9)");
  EXPECT_EQ(roundTotals(log).correct, 5);
  EXPECT_EQ(roundTotals(log).incorrect, 3);

  db.run(L"INSERT INTO daily_log VALUES (1, 7, 0, 300, 0, '', ''), (2, 7, 0, 900, 0, '', ''), "
         L"(3, 7, 0, 600, 0, '', ''), (4, 8, 0, 999, 0, '', '')");
  std::deque<int> studies;
  ASSERT_TRUE(roundDailyLogIds(log, studies));
  EXPECT_EQ(studies, (std::deque<int>{2, 3, 1}));
}
