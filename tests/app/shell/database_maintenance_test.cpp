#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <deque>

#include "app/shell/database_chooser.h"
#include "app/shell/defrag_dialog.h"
#include "app_test_support.h"
#include "busy_waits_counted.h"
#include "database/engine/busy_wait.h"
#include "database_fixture.h"
#include "platform/windows/file_dialog.h"
#include "platform/trace.h"
#include "services/user_action.h"
#include "study_app_fixture.h"
#include "test_env.h"
#include "patience.h"

using studytest::StudyApp;

namespace {

// Answers open dialogs with the files queued, then cancels; remembers where each one started.
struct QueuedFileDialogs : platform::FileDialogs {
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest& request) override {
    started.push_back(request.initialPath);
    if (answers.empty()) return std::nullopt;
    const std::wstring answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override {
    return std::nullopt;
  }
  std::deque<std::wstring> answers;
  std::vector<std::wstring> started;
};

QString runDefrag(StudyApp& s) {
  CDefragDlg dialog(s.app);
  dialog.OnInitDialog();
  dialog.accept();
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.finished(); }, testwait::kPatienceMs));
  EXPECT_EQ(dialog.findChild<QPushButton*>("id2")->text(), QString::fromWCharArray(L"完了"));
  return dialog.logText();
}

void addOrphans(StudyApp& s, int qid) {
  const std::wstring q = std::to_wstring(qid);
  for (const std::wstring& sql :
       {L"INSERT INTO question VALUES(" + q + L",'q','a','','','','',0,0,0,'','','','','')",
        L"INSERT INTO daily_question_log VALUES(1," + q + L",1,0,0,0,1.0,0,0)",
        L"INSERT INTO looped_questions VALUES(1," + q + L")",
        L"INSERT INTO question_log VALUES(" + q + L",1,0,1,0,0,0,0,0,0,0,0,0,1.0,'','')",
        L"INSERT INTO question_log VALUES(" + q + L",1,1,1,0,0,0,0,0,0,0,0,0,1.0,'','')"})
    s.app.db.createQuery()->execute(sql.c_str());
}

int orphans(StudyApp& s, const std::wstring& table) {
  return s.intValue(L"SELECT count(*) FROM " + table + L" WHERE qid NOT IN (SELECT qid FROM section)");
}

}  // namespace

TEST(DatabaseChooser, AsksUntilAFileOpensAndKeepsIt) {
  StudyApp s;
  const std::wstring good = s.databasePath();
  const std::wstring missing = QDir::tempPath().toStdWString() + L"/no-such-folder/database.klvdb7";
  s.settings.databasePath.value = missing;
  QueuedFileDialogs dialogs;
  const QString notes = QString::fromStdString(testenv::processDir()) + "/notes.klvdb7";
  apptest::writeText(notes, "just some notes\n");
  dialogs.answers = {notes.toStdWString(), good};
  platform::FileDialogOverride use(dialogs);

  EXPECT_TRUE(ChooseDatabaseUntilOpen(s.app));
  EXPECT_EQ(dialogs.started.front(), missing);
  EXPECT_EQ(dialogs.started.size(), 2u);
  EXPECT_EQ(s.settings.databasePath.value, good);
  AppSettings reread(L"KLV7");
  reread.loadOrSaveAll(false);
  EXPECT_EQ(reread.databasePath.value, good);
  EXPECT_EQ(s.notifier.boxes.front(),
            L"Error!: データベースファイルが読み込めませんでした。\n次のダイアログでデータベースファイルを指定してください。");
  EXPECT_EQ(s.notifier.boxes[1], L"Error!: データベースファイルが読み込めませんでした。\n"
                                 L"ファイルがデータベースの形式ではありません。Kelvara のデータベースファイルか確認してください。\n"
                                 L"次のダイアログでデータベースファイルを指定してください。");
  EXPECT_EQ(s.intValue(L"SELECT version FROM version"), 7);

  // Cancel gives up, the setting naming the file that is open, whatever was tried before.
  dialogs.answers = {notes.toStdWString()};
  EXPECT_FALSE(ChooseDatabaseUntilOpen(s.app));
  EXPECT_EQ(s.settings.databasePath.value, good);
  EXPECT_EQ(s.intValue(L"SELECT version FROM version"), 7);

  // A file another program holds is no foreign file: the box says who has it.
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(100));
  {
    testdb::BriefLock lock(good, std::chrono::milliseconds(500));
    EXPECT_FALSE(s.app.OpenDatabase() || ChooseDatabaseUntilOpen(s.app));
  }
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  EXPECT_EQ(s.notifier.boxes.back(),
            L"Error!: データベースファイルが読み込めませんでした。\n"
            L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。\n"
            L"次のダイアログでデータベースファイルを指定してください。");
}

// A file its permissions keep from being read, or one in a folder that may not be searched, says
// so, as one another program holds does: the learner can mend the permissions or choose another.
TEST(DatabaseChooser, AFileThatMayNotBeReadNamesItsPermissions) {
  StudyApp s;
  const std::wstring good = s.databasePath();
  const QString dir = QString::fromStdString(testenv::processDir());
  const QString closed = dir + QString::fromStdWString(L"/閉じたフォルダ");
  ASSERT_TRUE(QDir().mkpath(closed));
  const QString unreadable = dir + QString::fromStdWString(L"/読めない.klvdb7"), hidden = closed + "/db.klvdb7";
  for (const QString& copy : {unreadable, hidden})
    ASSERT_TRUE(QFile::copy(QString::fromStdWString(good), copy));
  ASSERT_EQ(::chmod(unreadable.toUtf8().constData(), 0), 0);
  ASSERT_EQ(::chmod(closed.toUtf8().constData(), 0), 0);
  const std::wstring what = L"データベースファイルが読み込めませんでした。\n"
                           L"データベースファイルを読み込む権限がありません。ファイルとそのフォルダのアクセス許可を確認してください。";
  s.settings.databasePath.value = unreadable.toStdWString();
  QueuedFileDialogs dialogs;
  dialogs.answers = {good};
  platform::FileDialogOverride use(dialogs);
  {
    const testenv::PermissionsApply asAnyUser;
    EXPECT_FALSE(s.app.OpenDatabase());
    EXPECT_TRUE(ChooseDatabaseUntilOpen(s.app));
    EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{L"Error!: " + what + L"\n次のダイアログでデータベースファイルを指定してください。"});

    sqliteplus::endBusyWaitAction();  // the next action: nothing noted yet
    s.settings.databasePath.value = hidden.toStdWString();
    EXPECT_FALSE(s.app.OpenDatabase());
    EXPECT_EQ(databaseOpenFailureText(), what);
  }
  ::chmod(closed.toUtf8().constData(), 0700);  // for the test's folder to go
}

// The summary is laid out in columns with tabs: its field stops every 32 dialog units of its own
// font (a quarter of the average character width each), not at the toolkit's default distance.
TEST(Defragmentation, SummaryTabStopsFollowTheFieldsFont) {
  StudyApp s;
  CDefragDlg dialog(s.app);
  auto* summary = dialog.findChild<QPlainTextEdit*>("id1289");
  ASSERT_NE(summary, nullptr);
  const QFontMetrics metrics(summary->font());
  const double averageWidth = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
  EXPECT_NEAR(summary->tabStopDistance(), 8 * averageWidth, 4.5);
}

// Figures and arrows between Japanese words come out of the same face as the words.
TEST(Defragmentation, TheLogIsShownInOneFaceThatHasEveryCharacterOfIt) {
  StudyApp s;
  const QString log = runDefrag(s);
  CDefragDlg dialog(s.app);
  const QRawFont face = QRawFont::fromFont(dialog.findChild<QPlainTextEdit*>("id1289")->font());
  ASSERT_TRUE(face.isValid());
  for (const QChar c : log) {
    if (c.isSpace()) continue;
    EXPECT_TRUE(face.supportsCharacter(c))
        << face.familyName().toStdString() << " lacks U+" << std::hex << static_cast<int>(c.unicode());
  }
}

TEST(Defragmentation, DeletesRowsOfNoProblemSetAndCompactsEachRunAfresh) {
  StudyApp s;
  addOrphans(s, 9000001);
  const int questions = orphans(s, L"question"), logs = orphans(s, L"question_log");
  ASSERT_GE(questions, 1);
  ASSERT_GE(logs, 2);

  // The sizes are the open file's, whatever the settings name.
  const qint64 sizeBefore = QFileInfo(QString::fromStdWString(s.databasePath())).size();
  s.settings.databasePath.value = s.databasePath() + L".elsewhere";
  const QString first = runDefrag(s);
  EXPECT_TRUE(first.contains(QString::fromStdWString(platform::format(L"\t%lld KB → ", sizeBefore / 1000))))
      << first.toStdString();
  EXPECT_FALSE(first.contains(QString::fromWCharArray(L" → 0 KB"))) << first.toStdString();
  EXPECT_TRUE(first.startsWith(QString::fromWCharArray(L"準備完了\n問題の整理中です...\n各回の学習履歴の整理中です...\n"
                                                       L"学習済み問題の整理中です...\n各問題の履歴の整理中です...\n"
                                                       L"データベースファイルの整理中です...\n--- 完了 ---\n\n"))) << first.toStdString();
  EXPECT_TRUE(first.contains(QString::fromStdWString(
      platform::format(L"・削除した問題数：    \t%d\n・削除した問題履歴数：\t%d\n", questions, logs))));
  EXPECT_TRUE(first.contains(QString::fromWCharArray(L" KB → "))) << first.toStdString();
  for (const wchar_t* table : {L"question", L"daily_question_log", L"looped_questions", L"question_log"})
    EXPECT_EQ(orphans(s, table), 0) << table;

  // A second run starts counting from nothing; a delete that fails is told and keeps its rows.
  addOrphans(s, 9000002);
  s.app.db.createQuery()->execute(
      L"CREATE TRIGGER keep BEFORE DELETE ON question_log BEGIN SELECT RAISE(ABORT, 'kept'); END");
  const QString second = runDefrag(s);
  EXPECT_TRUE(second.contains(QString::fromWCharArray(L"各問題の履歴の削除に失敗しました\n"))) << second.toStdString();
  EXPECT_FALSE(second.contains(QString::fromWCharArray(L"--- 完了 ---")));
  EXPECT_TRUE(second.contains(QString::fromWCharArray(L"・削除した問題数：    \t1\n・削除した問題履歴数：\t0\n")))
      << second.toStdString();
  EXPECT_EQ(orphans(s, L"question_log"), 2);
  EXPECT_EQ(orphans(s, L"question"), 0);
}

// One click under another program's lock is one action, though its steps run on a timer: the
// first step waits, the others give up at once, and one box says why the tidying fell short.
TEST(Defragmentation, UnderALockOneClickWaitsOnceAndSaysWhyOnce) {
  StudyApp s;
  waitForBusyDatabaseOncePerAction();
  constexpr int kLimitMs = 800;
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(kLimitMs));
  sqliteplus::SqliteConnection holder;
  holder.open(s.databasePath().c_str());
  holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  CDefragDlg dialog(s.app);
  dialog.OnInitDialog();
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (dialog.finished()) loop.quit();
  });
  poll.start(5);
  QElapsedTimer took;
  const unsigned long long waitsBefore = sqliteplus::busyWaitsBegun();
  QTimer::singleShot(0, &dialog, [&] {
    took.start();
    dialog.accept();  // the Start button
  });
  testing::internal::CaptureStderr();
  loop.exec();
  testing::internal::GetCapturedStderr();
  const qint64 elapsed = took.elapsed();
  const unsigned long long waits = sqliteplus::busyWaitsBegun() - waitsBefore;
  holder.createQuery()->execute(L"ROLLBACK");
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);

  EXPECT_GE(elapsed, kLimitMs - 50);
  EXPECT_EQ(waits, 1u) << "a step waited again";
  EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{L"Kelvara: データベースの整理の一部に失敗しました。\n"
                                                        L"データベースは他のプログラムが使用中です。しばらくしてから、"
                                                        L"もう一度実行してください。"});
  const QString log = dialog.logText();
  for (const wchar_t* failed : {L"問題の削除に失敗しました", L"各問題の履歴の削除に失敗しました",
                                L"データベースファイルの圧縮に失敗しました"})
    EXPECT_TRUE(log.contains(QString::fromWCharArray(failed))) << log.toStdString();
}
