// A study ended from the main window while another program takes the database (the problem-set
// editor saving): the save and the main window's reads after it are one action of the learner's,
// with boxes that run their own event loops as shown ones do.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <set>

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
  {
    LockingCardDriver driver(holder, 2);
    testing::internal::CaptureStderr();
    s.dialog.StartStudyAndRefresh(L"Alpha/deep/Apple", {1, 2});
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(driver.sinceLock.isValid() && driver.sinceResult.isValid());
    fromLock = driver.sinceLock.elapsed();
    fromResult = driver.sinceResult.elapsed();
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
  EXPECT_LT(fromResult, 2 * kLimitMs) << "the window waited more than once after the result window";
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log"), studiesBefore) << "nothing of the study is written";
}
