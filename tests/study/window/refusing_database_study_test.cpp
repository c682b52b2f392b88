// Whole studies through StartStudy while the database refuses: another program holds it (as the
// problem-set editor does while it saves), the file cannot be written, or the disk is full.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <map>
#include <optional>

#include "database/busy_wait.h"
#include "database/sql_helpers.h"
#include "faulty_vfs.h"
#include "platform/text.h"
#include "services/database_failure.h"
#include "services/named_mutex.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"
#include "study_app_fixture.h"
#include "study_window_support.h"

using namespace study;
using studytest::StudyApp;

namespace {

constexpr std::chrono::milliseconds kWait{1000};
const std::wstring kBusy = L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。";

class RefusingDatabase : public ::testing::Test {
 protected:
  StudyApp s{ModeJe};
  sqliteplus::SqliteConnection holder;
  std::map<int, QString> answers;

  void SetUp() override {
    waitForBusyDatabaseOncePerAction();
    sqliteplus::setBusyWaitLimit(kWait);
    for (int qid = 1; qid <= 13; ++qid) {
      std::wstring answer;
      pdb3::querySqlfString(s.accessor(), answer, L"SELECT answer FROM question WHERE qid=%d", qid);
      answers[qid] = QString::fromStdWString(answer);
    }
    holder.open(s.databasePath().c_str());
  }
  void TearDown() override {
    if (holder.inTransaction()) holder.createQuery()->execute(L"COMMIT");
    sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  }

  // Answers each of the questions right; before the answer numbered `lockAt` (from 0) another
  // program takes the file. The time from that answer until the study has ended.
  std::chrono::milliseconds study(int count, std::optional<int> lockAt) {
    std::vector<int> ids;
    for (int qid = 1; qid <= count; ++qid) ids.push_back(qid);
    int answered = 0, lastId = -1;
    QElapsedTimer sinceLock, sinceStart;
    sinceStart.start();
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
      auto* dlg = qobject_cast<CTransDlg*>(QApplication::activeModalWidget());
      if (dlg && sinceStart.hasExpired(20000)) {
        ADD_FAILURE() << "the study did not end";
        dlg->done(0);
        return;
      }
      if (!dlg || dlg->flow().tstate != TurnReply || dlg->flow().currentId == lastId) return;
      lastId = dlg->flow().currentId;
      if (lockAt && answered == *lockAt) {
        holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
        sinceLock.start();
      }
      ++answered;
      studytest::typeReply(*dlg, answers[lastId]);
    });
    driver.start(15);
    testing::internal::CaptureStderr();
    s.startStudy(L"busy", ids);  // the window ends with OK: the save's failure is the run's exit status
    testing::internal::GetCapturedStderr();
    return std::chrono::milliseconds(sinceLock.isValid() ? sinceLock.elapsed() : 0);
  }

  // Nothing of any study in the tables a study writes.
  void expectNothingWritten() {
    if (holder.inTransaction()) holder.createQuery()->execute(L"COMMIT");
    for (const wchar_t* table : {L"log_id", L"element_log", L"daily_log", L"daily_question_log", L"question_log",
                                 L"memory_rate", L"looped_questions"})
      EXPECT_EQ(s.intValue(std::wstring(L"SELECT count(*) FROM ") + table), 0) << platform::toUtf8(table);
  }
};

}  // namespace

TEST_F(RefusingDatabase, AStudyStartedWhileTheFileIsHeldIsRefusedWithTheCause) {
  holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  QElapsedTimer took;
  took.start();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(s.startStudy(L"busy", {1, 2}));
  testing::internal::GetCapturedStderr();
  EXPECT_LT(took.elapsed(), 2 * kWait.count());
  EXPECT_EQ(s.app.notice.text(), L"履歴IDが取得できませんでした\n" + kBusy);
  EXPECT_EQ(s.app.exitCode, ExitNormal);
  NamedMutex after;
  EXPECT_TRUE(after.Create(L"USE_KLV_DATABASE"));
}

// The end of a study: its result window reads the study's questions, its save writes them; each
// of the two actions waits once, and the save fails whole.
TEST_F(RefusingDatabase, TheEndOfAStudyUnderALockTakesTheBoundedWaitsAndSavesNothing) {
  const auto took = study(13, 12);
  std::printf("from the last answer to the failed save: %lld ms (wait limit %lld ms)\n",
              static_cast<long long>(took.count()), static_cast<long long>(kWait.count()));
  EXPECT_LT(took, 3 * kWait);
  EXPECT_EQ(s.app.notice.text(), L"学習履歴を保存できませんでした\n" + kBusy);
  EXPECT_EQ(s.app.exitCode, ExitStudyNotSaved);
  expectNothingWritten();
}

// A question that cannot be read is not shown empty and answered unseen: the study ends there.
TEST_F(RefusingDatabase, AQuestionThatCannotBeReadEndsTheStudyWithTheCause) {
  study(5, 2);
  ASSERT_FALSE(s.notifier.boxes.empty());
  EXPECT_EQ(s.notifier.boxes.front(), L"Kelvara: 問題を読み込めませんでした。学習を終了します。\n" + kBusy);
  EXPECT_EQ(s.app.notice.text(), L"学習履歴を保存できませんでした\n" + kBusy);
  EXPECT_EQ(s.app.exitCode, ExitStudyNotSaved);
  expectNothingWritten();
}

TEST_F(RefusingDatabase, OnAReadOnlyFileOrAFullDiskTheSaveSaysWhyAndWritesNothing) {
  testdb::FaultyVfs vfs;
  vfs.openReadOnly(true);
  s.app.db.close();
  s.app.db.open(s.databasePath().c_str());
  study(2, std::nullopt);
  EXPECT_EQ(s.app.notice.text(), L"学習履歴を保存できませんでした\nデータベースファイルに書き込めません。"
                                 L"ファイルが読み取り専用になっていないか確認してください。");
  EXPECT_EQ(s.app.exitCode, ExitStudyNotSaved);
  vfs.openReadOnly(false);
  s.app.db.close();
  s.app.db.open(s.databasePath().c_str());
  expectNothingWritten();

  vfs.limitGrowth(0);
  study(2, std::nullopt);
  vfs.limitGrowth(std::nullopt);
  EXPECT_EQ(s.app.notice.text(), L"学習履歴を保存できませんでした\nディスクの空き容量が足りません。");
  expectNothingWritten();
}
