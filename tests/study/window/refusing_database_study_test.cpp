// Studies through StartStudy while another program holds the database, as the problem-set editor
// does while it saves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "database/engine/busy_wait.h"
#include "database/engine/sql_helpers.h"
#include "services/user_action.h"
#include "study_app_fixture.h"
#include "study_window_support.h"

using namespace study;

// Answers questions 1..count right; the file is taken before answer number `lockAt` (-1: never).
// The milliseconds from that answer until the study has ended.
static qint64 runStudy(studytest::StudyApp& s, sqliteplus::SqliteConnection& holder, int count, int lockAt) {
  std::vector<int> ids;
  for (int qid = 1; qid <= count; ++qid) ids.push_back(qid);
  int answered = 0, lastId = -1;
  QElapsedTimer sinceLock, sinceStart;
  sinceStart.start();
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    auto* dlg = qobject_cast<CTransDlg*>(QApplication::activeModalWidget());
    if (dlg && sinceStart.hasExpired(20000)) dlg->done(0);  // fails below: the save was never tried
    if (!dlg || dlg->flow().tstate != TurnReply || dlg->flow().currentId == lastId) return;
    std::wstring answer;
    pdb3::querySqlfString(s.accessor(), answer, L"SELECT answer FROM question WHERE qid=%d", lastId = dlg->flow().currentId);
    if (answered++ == lockAt) holder.createQuery()->execute(L"BEGIN EXCLUSIVE"), sinceLock.start();
    studytest::typeReply(*dlg, QString::fromStdWString(answer));
  });
  driver.start(15);
  testing::internal::CaptureStderr();
  s.startStudy(L"busy", ids);
  testing::internal::GetCapturedStderr();
  if (holder.inTransaction()) holder.createQuery()->execute(L"COMMIT");
  for (const wchar_t* table : {L"log_id", L"element_log", L"daily_log", L"question_log", L"memory_rate"})
    EXPECT_EQ(s.intValue(std::wstring(L"SELECT count(*) FROM ") + table), 0) << "nothing of the study is written";
  return sinceLock.isValid() ? sinceLock.elapsed() : 0;
}

TEST(RefusingDatabase, AStudyThatCannotStartShowAQuestionOrBeSavedSaysWhyWithinTheWaitAndWritesNothing) {
  const std::wstring busy = L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。";
  studytest::StudyApp s;
  waitForBusyDatabaseOncePerAction();
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(1000));
  sqliteplus::SqliteConnection holder;
  holder.open(s.databasePath().c_str());
  holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(s.startStudy(L"busy", {1, 2}));
  testing::internal::GetCapturedStderr();
  holder.createQuery()->execute(L"COMMIT");
  EXPECT_EQ(s.app.notice.text(), L"履歴IDが取得できませんでした\n" + busy);
  EXPECT_EQ(s.app.exitCode, ExitNormal);
  // A run made for the study ends with the status of data it could not read.
  holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(s.startStudy(L"busy", {1, 2}, true));
  testing::internal::GetCapturedStderr();
  holder.createQuery()->execute(L"COMMIT");
  EXPECT_EQ(s.app.exitCode, ExitDataUnusable);
  s.app.exitCode = ExitNormal;  // the runs below are others

  // The end of a study: the result window reads, the save writes; each action waits once.
  const qint64 took = runStudy(s, holder, 13, 12);
  std::printf("from the last answer to the failed save: %lld ms (wait 1000 ms per action)\n", took);
  EXPECT_LT(took, 3000);
  EXPECT_EQ(s.app.notice.text(), L"学習履歴を保存できませんでした\n" + busy);
  EXPECT_EQ(s.app.exitCode, ExitStudyNotSaved);

  // A question that cannot be read is not shown empty and answered unseen: the study ends there.
  s.notifier.boxes.clear();
  runStudy(s, holder, 5, 2);
  ASSERT_FALSE(s.notifier.boxes.empty());
  EXPECT_EQ(s.notifier.boxes.front(), L"Kelvara: 問題を読み込めませんでした。学習を終了します。\n" + busy);

  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
}
