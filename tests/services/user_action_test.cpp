// One user action under a file another program holds: its statements share one wait, and of its
// failures the learner is told the first read and every change not made, each text once, though each
// box runs an event loop of its own.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <sqlite3.h>

#include "busy_waits_counted.h"
#include "database/engine/busy_wait.h"
#include "database/engine/sql_helpers.h"
#include "database/logs/study_context.h"
#include "database_fixture.h"
#include "recording_notifier.h"
#include "services/database_failure.h"
#include "services/user_action.h"
#include "patience.h"

namespace {

constexpr std::chrono::milliseconds kLimit{400};
const std::wstring kBusyCause = L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。";

class HeldFileActions : public ::testing::Test {
 protected:
  HeldFileActions() {
    holder.open(db.path().c_str());
    holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
    sqliteplus::setBusyWaitLimit(kLimit);
    waitForBusyDatabaseOncePerAction();
  }
  ~HeldFileActions() override {
    sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
    sqliteplus::endBusyWaitAction();
  }
  // Milliseconds a read of the held file took to fail.
  qint64 failedRead() {
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(pdb3::querySqlfIntOrMinus1(db.accessor(), L"SELECT count(*) FROM section"), -1);
    return timer.elapsed();
  }
  // Whether a read of the held file waited for it before it failed, rather than give up at once.
  bool failedReadWaited() {
    const unsigned long long before = sqliteplus::busyWaitsBegun();
    failedRead();
    return sqliteplus::busyWaitsBegun() != before;
  }
  // Runs `action` as the event loop runs an input: after the loop has waited for it.
  static void runAsAction(const std::function<void()>& action) {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
      action();
      loop.quit();
    });
    loop.exec();
  }

  testdb::TempDatabase db;
  sqliteplus::SqliteConnection holder;
  RecordingNotifier notifier;
  platform::NotifierOverride useNotifier{notifier};
};

TEST_F(HeldFileActions, AnActionWaitsOnceAndSaysOnceThoughItsBoxRunsTheEventLoopAndTheNextSpeaksAgain) {
  std::vector<std::wstring> notices;
  const pdb3::StudyContext study{db.connection(), 1, 1, 1, [&](const std::wstring& text) { notices.push_back(text); }};
  qint64 first = 0;
  bool afterBoxWaited = false;
  runAsAction([&] {
    first = failedRead();
    reportFailedRead(nullptr, L"一覧を読み込めませんでした。");
    afterBoxWaited = failedReadWaited();
    reportFailedRead(nullptr, L"件数を読み込めませんでした。");
    notifyFailedRead(study, L"学習履歴を保存できませんでした");
  });
  EXPECT_GE(first, kLimit.count() - 50);
  EXPECT_FALSE(afterBoxWaited) << "the box's own event loop began a new wait";
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"Kelvara: 一覧を読み込めませんでした。\n" + kBusyCause});
  EXPECT_TRUE(notices.empty());

  // The next input is a new action: it waits and speaks again, here through the study's notice.
  runAsAction([&] {
    first = failedRead();
    notifyFailedRead(study, L"学習履歴を保存できませんでした");
    reportFailedRead(nullptr, L"一覧を読み込めませんでした。");
  });
  EXPECT_GE(first, kLimit.count() - 50);
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\n" + kBusyCause});
  EXPECT_EQ(notifier.boxes.size(), 1u);
}

// What failed decides what is said. A change the learner asked for that was not made is said though
// the action has said another failure, each text once however many were said between it and its
// repeat (two writes that fail in the same words say them once); a failed read is said only as the
// action's first failure.
TEST_F(HeldFileActions, AChangeNotMadeIsSaidOnceForEachTextAndAFailedReadOnlyAsTheFirstFailure) {
  std::vector<std::wstring> notices;
  const pdb3::StudyContext study{db.connection(), 1, 1, 1, [&](const std::wstring& text) { notices.push_back(text); }};
  runAsAction([&] {
    failedRead();
    reportUnmadeChange(nullptr, L"削除に失敗しました");
    reportUnmadeChange(nullptr, L"問題の追加に失敗しました");
    reportUnmadeChange(nullptr, L"削除に失敗しました");
    reportFailedRead(nullptr, L"一覧を読み込めませんでした。");
    notifyFailedRead(study, L"履歴IDが取得できませんでした");
  });
  EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{L"Kelvara: 削除に失敗しました\n" + kBusyCause,
                                                       L"Kelvara: 問題の追加に失敗しました\n" + kBusyCause}));
  EXPECT_TRUE(notices.empty());

  notifier.boxes.clear();
  runAsAction([&] {
    failedRead();
    reportFailedRead(nullptr, L"一覧を読み込めませんでした。");
    notifyUnmadeChange(study, L"学習履歴を保存できませんでした");
  });
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"Kelvara: 一覧を読み込めませんでした。\n" + kBusyCause});
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\n" + kBusyCause});
}

// What the event loop delivers while an action's question is open (a worker's result, a timer) is
// an action of its own: it says its failure, lends its cause to nothing, and silences nothing after.
TEST_F(HeldFileActions, WorkDeliveredWhileAnActionAsksIsAnActionOfItsOwn) {
  holder.createQuery()->execute(L"ROLLBACK");  // the worker met the held file; the action meets another fault
  runAsAction([&] {
    QTimer::singleShot(0, [] {
      sqliteplus::noteEngineFailure(SQLITE_BUSY);  // the worker's cause, noted as the level page does
      reportFailedRead(nullptr, L"記憶レベルの推移を計算できませんでした。");
    });
    platform::messageBox(nullptr, L"削除しますか？", L"削除の確認", platform::MbYesNo);
    EXPECT_FALSE(pdb3::execSql(db.accessor(), L"DELETE FROM no_such_table"));
    reportFailedRead(nullptr, L"問題を削除できませんでした。");
  });
  EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{L"削除の確認: 削除しますか？",
                                                       L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" + kBusyCause,
                                                       L"Kelvara: 問題を削除できませんでした。\nデータベースファイルの読み書きに失敗しました。"}));
}

// A button held keeps its press's action going across the event loop's waits, while the toolkit's
// own record of the buttons agrees: a release the window system gave to no window of the program
// (the pointer was over another program's window, which had taken it) ends the action at the next
// wait, and the next move into the window clears what the press left.
TEST(PressHeld, AReleaseAnotherWindowTookEndsThePressesAction) {
  waitForBusyDatabaseOncePerAction();
  QWindow window;
  window.setGeometry(100, 100, 200, 150);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kPatienceMs));
  const QPoint inside(50, 50);
  const QPointF elsewhere = window.mapToGlobal(QPointF(500, 400));
  ulong stamp = 9'000'000;
  const auto deliver = [&](QWindow* to, QPointF at, Qt::MouseButtons held, Qt::MouseButton button, QEvent::Type type) {
    qt_handleMouseEvent(to, to ? at : QPointF(), to ? to->mapToGlobal(at) : at, held, button, type, {},
                        static_cast<int>(stamp += 120));
  };
  deliver(&window, inside, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
  const unsigned long long pressed = sqliteplus::busyWaitAction();
  endActionUnlessHeld();
  EXPECT_EQ(sqliteplus::busyWaitAction(), pressed) << "the press's action ended with its button held";

  deliver(nullptr, elsewhere, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
  ASSERT_EQ(QGuiApplication::mouseButtons(), Qt::NoButton);
  endActionUnlessHeld();
  EXPECT_NE(sqliteplus::busyWaitAction(), pressed) << "a release taken elsewhere left the action going";
  deliver(&window, inside, Qt::NoButton, Qt::NoButton, QEvent::MouseMove);
}

}  // namespace
