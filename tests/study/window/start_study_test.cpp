#include <gtest/gtest.h>

#include <QFile>

#include "database/engine/sql_helpers.h"
#include "services/named_mutex.h"
#include "study/window/start_study.h"
#include "study_app_fixture.h"

using studytest::StudyApp;

// A study refused while another runs: StartStudyRun in the scripted studies.
TEST(StartStudy, RefusesWhatCannotBeStudiedAndAlwaysLetsTheLockGo) {
  StudyApp s;
  EXPECT_FALSE(s.startStudy(L"t", {}));
  EXPECT_EQ(s.app.notice.text(), L"問題がありません");

  s.app.studyMode = 6;  // dictation without any voice
  EXPECT_FALSE(s.startStudy(L"t", {1}));
  EXPECT_NE(s.app.notice.text().find(L"ディクテーションモード"), std::wstring::npos);

  s.app.studyMode = 0;
  // The file moved away once the program had opened it: the study window's own connection finds nothing.
  const QString open = QString::fromStdWString(s.databasePath());
  ASSERT_TRUE(QFile::rename(open, open + ".moved"));
  s.notifier.boxes.clear();
  EXPECT_FALSE(s.startStudy(L"t", {1}, true));
  ASSERT_FALSE(s.notifier.boxes.empty());
  EXPECT_NE(s.notifier.boxes.front().find(L"データベースファイルを開けませんでした"), std::wstring::npos);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log"), 0);
  EXPECT_EQ(s.app.exitCode, ExitDataUnusable) << "a run made for the study tells it could not study";

  NamedMutex after;
  EXPECT_TRUE(after.Create(L"USE_KLV_DATABASE"));  // every path above released it
}

TEST(StartStudy, AllotsTheUsersLogOrTheNextOneAndTheNextDailyLog) {
  StudyApp s;
  study::StudyLogIds ids;
  ASSERT_TRUE(study::allotStudyLogIds(s.app.studyContext(), ids));
  EXPECT_EQ(ids.lid, 0);
  EXPECT_EQ(ids.did, 0);

  pdb3::execSqlf(s.accessor(), L"INSERT INTO log_id VALUES(4,%d,%d,%d)", s.app.currentUserId, s.app.currentSetId, 0);
  pdb3::execSqlf(s.accessor(), L"INSERT INTO log_id VALUES(7,%d,%d,%d)", s.app.currentUserId, s.app.currentSetId, 3);
  pdb3::execSql(s.accessor(), L"INSERT INTO daily_log VALUES(5,4,0,0,0,'','')");
  ASSERT_TRUE(study::allotStudyLogIds(s.app.studyContext(), ids));
  EXPECT_EQ(ids.lid, 4);  // the user's log of this set in this mode
  EXPECT_EQ(ids.did, 6);
  s.app.studyMode = 1;
  ASSERT_TRUE(study::allotStudyLogIds(s.app.studyContext(), ids));
  EXPECT_EQ(ids.lid, 8);
}
