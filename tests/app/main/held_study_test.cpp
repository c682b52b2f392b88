// A study ended from the main window while another program takes the database (the problem-set
// editor saving): the save and the main window's reads after it are one action of the learner's,
// with boxes that run their own event loops as shown ones do.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <set>

#include "card_study_driver.h"
#include "busy_waits_counted.h"
#include "database/engine/busy_wait.h"
#include "held_database.h"
#include "main_dialog_fixture.h"
#include "services/user_action.h"
#include "study/study_flow.h"
#include "study/window/trans_dialog.h"

using namespace apptest;

namespace {

constexpr int kLimitMs = 1000;

// Answers every question of a card-mode study as known, the file taken before the last answer, and
// closes the result window with OK.
class LockingCardDriver {
 public:
  LockingCardDriver(sqliteplus::SqliteConnection& holder, size_t questions) {
    QObject::connect(&timer_, &QTimer::timeout, [this, &holder, questions] {
      auto* window = qobject_cast<study::CTransDlg*>(QApplication::activeModalWidget());
      if (!window) {
        auto* result = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!result || result->objectName() != "id135" || sinceResult.isValid()) return;
        sinceResult.start();
        waitsBeforeResult = sqliteplus::busyWaitsBegun();
        result->accept();
        return;
      }
      const study::StudyFlow& flow = window->flow();
      const auto button = [window](int id) { return window->findChild<QWidget*>(QString("id%1").arg(id)); };
      if (flow.tstate == study::TurnWaitNextTrigger) QTest::keyClick(button(1026), Qt::Key_Return);
      if (flow.tstate != study::TurnReply || !answered_.insert(flow.currentId).second) return;
      if (answered_.size() == questions && !holder.inTransaction()) {
        holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
        sinceLock.start();
      }
      QTest::mouseClick(button(button(1230)->isVisible() ? 1230 : 1229), Qt::LeftButton);
      QTest::mouseClick(button(1231), Qt::LeftButton);
    });
    timer_.start(5);
  }
  QElapsedTimer sinceLock, sinceResult;
  unsigned long long waitsBeforeResult = 0;  // on the window's thread, when the result window is answered

 private:
  std::set<int> answered_;
  QTimer timer_;
};

}  // namespace

TEST(HeldStudy, AStudyEndedUnderAnotherProgramsLockSaysWhyOnceAndFreesTheWindowAfterOneWait) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);
  s.settings.addToSmartlearninglistAfterLearning.value = true;  // as a learner finds it
  waitForBusyDatabaseOncePerAction();
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(kLimitMs));
  sqliteplus::SqliteConnection holder;
  holder.open(s.databasePath().c_str());
  s.resultCloser.stop();  // the driver's OK is the one timed
  s.notifier.boxes.clear();
  const int studiesBefore = s.intValue(L"SELECT count(*) FROM daily_log");
  qint64 fromLock = 0, fromResult = 0;
  unsigned long long waitsAfterResult = 0;
  {
    LockingCardDriver driver(holder, 2);
    testing::internal::CaptureStderr();
    s.dialog.StartStudyAndRefresh(L"Alpha/deep/Apple", {1, 2});
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(driver.sinceLock.isValid() && driver.sinceResult.isValid());
    fromLock = driver.sinceLock.elapsed();
    fromResult = driver.sinceResult.elapsed();
    waitsAfterResult = sqliteplus::busyWaitsBegun() - driver.waitsBeforeResult;
  }
  ASSERT_TRUE(holder.inTransaction());
  holder.createQuery()->execute(L"ROLLBACK");
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);

  std::printf("under the lock: %zu box(es); %lld ms from the last answer and %lld ms from the result window "
              "until the main window answers (limit %d ms per wait)\n",
              s.notifier.boxes.size(), static_cast<long long>(fromLock), static_cast<long long>(fromResult),
              kLimitMs);
  // The result window's own reads are the action before: taken under the lock, they say so once too.
  // Its OK asks for two writes, the list's add and the study's save: neither message tells the other.
  EXPECT_EQ(s.notifier.boxes, (std::vector<std::wstring>{L"Kelvara: 学習した問題を読み込めませんでした。\n" + kBusyCause,
                                                          L"Kelvara: スマート学習リストへの追加に失敗しました\n" + kBusyCause,
                                                          L"Error!: 学習履歴を保存できませんでした\n" + kBusyCause}));
  EXPECT_LE(waitsAfterResult, 1u) << "the window waited more than once after the result window";
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log"), studiesBefore) << "nothing of the study is written";
}

// The smart-learning list could not be made at the study's end while another program wrote to the
// file: the result window offers the add as the learner left it, and its OK asks the file again.
// Still held, the OK says why with the cause, and the save says its own; once the file is free, the
// OK makes the list and adds the study to it.
TEST(HeldStudy, TheResultWindowAsksAgainForAListALockKeptFromBeingMade) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);
  s.settings.addToSmartlearninglistAfterLearning.value = true;
  const int sid = s.app.smartLearningSetId;
  const std::wstring list = std::to_wstring(sid) + L"," +
                            std::to_wstring(s.intValue(L"SELECT fid FROM folder WHERE eid=" + std::to_wstring(sid)));
  s.run(L"DELETE FROM folder WHERE eid IN (" + list + L"); DELETE FROM element_info WHERE eid IN (" + list + L")");
  s.app.smartLearningSetId = -1;  // as an open under the other program's lock left it
  waitForBusyDatabaseOncePerAction();
  s.resultCloser.stop();
  s.notifier.boxes.clear();
  const std::wstring notMade = L"Kelvara: スマート学習リスト（SmartLearning/1）をデータベースに作成できませんでした。\n";
  for (const bool freedBeforeOk : {false, true}) {
    HeldDatabase writer(s.databasePath(), L"BEGIN IMMEDIATE");
    std::optional<std::pair<bool, bool>> addBox;  // ticked, enabled
    CardStudyDriver cards;
    QTimer result;
    QObject::connect(&result, &QTimer::timeout, [&] {
      auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!window || window->objectName() != "id135" || addBox) return;
      const auto* add = window->findChild<QCheckBox*>("id1327");
      addBox = {add->isChecked(), add->isEnabled()};
      if (freedBeforeOk) writer.release();
      QTest::mouseClick(window->findChild<QPushButton*>("id1"), Qt::LeftButton);
    });
    result.start(5);
    testing::internal::CaptureStderr();
    s.dialog.StartStudyAndRefresh(L"Alpha/deep/Apple", {1, 2});
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(addBox, std::pair(true, true)) << freedBeforeOk;
    const std::vector<std::wstring> said = std::exchange(s.notifier.boxes, {});
    if (!freedBeforeOk) {
      EXPECT_EQ(said, (std::vector<std::wstring>{notMade + kBusyCause, L"Error!: 学習履歴を保存できませんでした\n" + kBusyCause}));
      EXPECT_EQ(s.app.smartLearningSetId, -1);
      continue;
    }
    EXPECT_EQ(said, std::vector<std::wstring>{L"Kelvara: 2 個の問題をスマート学習リストに追加しました"});
    ASSERT_GE(s.app.smartLearningSetId, 0);
    EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid=" + std::to_wstring(s.app.smartLearningSetId)), 2);
  }
}
