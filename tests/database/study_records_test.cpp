#include <gtest/gtest.h>

#include "database/logs/daily_log.h"
#include "database/logs/question_log.h"
#include "database/logs/users.h"
#include "database_fixture.h"

using namespace pdb3;
using testdb::TempDatabase;

namespace {

class StudyRecords : public ::testing::Test {
 protected:
  TempDatabase db;
  DbObject accessor = db.accessor();
};

}  // namespace

TEST_F(StudyRecords, UsersWithQuotesAreAddedAndFound) {
  const int uid = insertUser(accessor, L"O'Neil 太郎");
  ASSERT_GT(uid, 0);
  EXPECT_EQ(userIdByName(accessor, L"O'Neil 太郎"), uid);
  EXPECT_EQ(userNameById(accessor, uid), L"O'Neil 太郎");
  EXPECT_EQ(userIdByName(accessor, L"nobody"), -1);
  EXPECT_EQ(userNameById(accessor, uid + 1), L"");
  EXPECT_EQ(insertUser(accessor, L"花子"), uid + 1);
}

TEST_F(StudyRecords, QuestionLogInsertsOnceThenUpdatesEveryRowOfItsKey) {
  QuestionLog log = getQuestionLog(accessor, 5, 1, 2);
  EXPECT_FALSE(log.load());
  log.nc1 = 3;
  log.ni2pm = 9;
  log.LastMistakeTimeOnFirstReply = 1234;
  log.ReplySec = 2.5;
  ASSERT_TRUE(log.save());
  log.nc1 = 4;
  ASSERT_TRUE(log.save());
  EXPECT_EQ(db.value(L"SELECT count(*) FROM question_log"), L"1");

  QuestionLog read = getQuestionLog(accessor, 5, 1, 2);
  ASSERT_TRUE(read.load());
  EXPECT_EQ(read.nc1, 4);
  EXPECT_EQ(read.ni2pm, 9);
  EXPECT_EQ(read.LastMistakeTimeOnFirstReply, 1234);
  EXPECT_DOUBLE_EQ(read.ReplySec, 2.5);
  EXPECT_FALSE(getQuestionLog(accessor, 5, 1, 3).load()) << "another mode is another log";

  // A file with a duplicated row: the save updates, it does not add a third.
  db.run(L"INSERT INTO question_log SELECT * FROM question_log");
  read.nc1 = 7;
  ASSERT_TRUE(read.save());
  EXPECT_EQ(db.value(L"SELECT count(*) FROM question_log"), L"2");
  EXPECT_EQ(db.value(L"SELECT min(nc1) FROM question_log"), L"7");
}

// A study's save adds to each question log in one statement, and writes a run's question rows
// without looking them up while it has none.
TEST_F(StudyRecords, StudiesAddToTheQuestionLogAndARunSavedAgainKeepsOneRowPerQuestion) {
  QuestionLog study = getQuestionLog(accessor, 5, 1, 2);
  study.nc1 = 1;
  study.ni2 = 2;
  study.LastStudyTime = 100;
  study.ReplySec = 1.5;
  ASSERT_TRUE(study.addToStoredRow());
  db.run(L"UPDATE question_log SET ni1=NULL, ni2pm=9");
  study.LastStudyTime = 200;
  ASSERT_TRUE(study.addToStoredRow());
  EXPECT_EQ(db.value(L"SELECT nc1 || ' ' || ifnull(ni1, 'null') || ' ' || ni2 || ' ' || ni2pm || ' ' || "
                     L"LastStudyTime || ' ' || ReplySec FROM question_log"),
            L"2 0 4 9 200 3.0");

  DailyLogRecord run(accessor, 1, 1);
  run.results[5] = {1, 0, 0, 0, 2.0};
  run.results[6] = {0, 1, 0, 0, 3.0};
  ASSERT_TRUE(run.save());
  run.results[5].nc1 = 4;
  run.results[7] = {1, 1, 0, 0, 1.0};
  ASSERT_TRUE(run.save());
  EXPECT_EQ(db.value(L"SELECT group_concat(qid || ':' || nc1, ' ') FROM (SELECT * FROM daily_question_log "
                     L"WHERE did=1 ORDER BY qid)"),
            L"5:4 6:0 7:1");
}

TEST_F(StudyRecords, SavesWriteNothingWhenTheirRowsCannotBeCounted) {
  db.run(L"DROP TABLE question_log");
  db.run(L"CREATE TABLE question_log (qid, uid, mid_renamed, nc1, ni1, nc2, ni2, nc1pm, ni1pm, nc2pm, ni2pm, "
         L"LastStudyTime, LastMistakeTimeOnFirstReply, ReplySec, extra1, extra2)");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(getQuestionLog(accessor, 1, 1, 0).save());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(db.value(L"SELECT count(*) FROM question_log"), L"0");
}

TEST_F(StudyRecords, DailyLogRefusesUnsetIdsAndWritesNothing) {
  DailyLogRecord record(accessor);
  record.results[30].nc1 = 1;
  EXPECT_THROW(record.save(), std::wstring);
  record.did = 4;
  EXPECT_THROW(record.save(), std::wstring) << "lid is still unset";
  EXPECT_EQ(db.value(L"SELECT count(*) FROM daily_log"), L"0");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM daily_question_log"), L"0");
}
