#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWidget>

#include "app/shell/editor_handover.h"
#include "app/shell/exit_codes.h"
#include "app/shell/help_viewer.h"
#include "app_test_support.h"
#include "held_database.h"
#include "database/engine/sql_helpers.h"
#include "database/logs/users.h"
#include "platform/files/folders.h"
#include "platform/text.h"
#include "scoped_env.h"
#include "services/database_failure.h"
#include "study_app_fixture.h"

using apptest::readText;
using apptest::writeText;
using studytest::StudyApp;

namespace {

QString q(const std::wstring& text) { return QString::fromStdWString(text); }

}  // namespace

TEST(RunEditor, WaitsForTheEditorThenReadsItsSettingsAndDatabaseAfresh) {
  StudyApp s;
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  // The settings pass asks for files this folder lacks: those dialogs cancel.
  const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");
  QWidget window;
  window.setWindowTitle("Kelvara");

  // No editor program: a box says where it belongs, and nothing else happens.
  EXPECT_EQ(RunEditor(s.app, &window), Reopened::keptOpenFile);
  EXPECT_EQ(window.windowTitle(), "Kelvara");
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: 問題集の編集プログラムが見つかりません。\nプログラムのフォルダに置いてください。\n" +
                                         folder.path().toStdWString() + L"/KlvEditor7");

  // The editor's database: the program's own with one user more, chosen in the settings.
  const QString edited = folder.path() + "/edited.klvdb7";
  QFile::copy(q(s.databasePath()), edited);
  {
    sqliteplus::SqliteConnection connection;
    connection.open(edited.toStdWString().c_str());
    pdb3::insertUser(pdb3::openQuery(connection), L"from-editor");
    // The settings' user has another uid there; its old one is someone else's.
    pdb3::execSqlf(pdb3::openQuery(connection), L"UPDATE user_info SET uid=51 WHERE uid=%d;"
                   L"INSERT INTO user_info VALUES (%d, 'someone')", s.app.currentUserId, s.app.currentUserId);
    // Saved by an editor that used the name the upgrade needs: opened without smart learning.
    pdb3::execSql(pdb3::openQuery(connection), L"DROP TABLE memory_rate; UPDATE version SET subversion=1;"
                                               L"CREATE INDEX memory_rate ON question (qid)");
  }
  const QString registry = QString(qgetenv("XDG_CONFIG_HOME")) + "/kelvara/registry-current-user.json";
  writeText(folder.path() + "/KlvEditor7",
            ("#!/bin/sh\necho \"$@\" > args; pwd > folder\nsleep 0.3\n"
             "sed -i 's|" + q(s.databasePath()) + "|" + edited + "|' '" + registry + "'\n").toUtf8(),
            true);
  EXPECT_EQ(RunEditor(s.app, &window), Reopened::takenUp);
  EXPECT_EQ(readText(folder.path() + "/args"), "/RUN_BY_KLV\n");
  EXPECT_EQ(readText(folder.path() + "/folder"), folder.path().toUtf8() + "\n");
  EXPECT_EQ(q(s.settings.databasePath.value), edited);
  EXPECT_GT(pdb3::userIdByName(s.accessor(), L"from-editor"), 0);
  EXPECT_EQ(s.app.currentUserId, 51);
  EXPECT_EQ(s.app.smartLearningSetId, -1);
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: " + missingMemoryRatesText(pdb3::MemoryRateTable::nameTaken));
  EXPECT_EQ(window.windowTitle(), "Kelvara");
  EXPECT_FALSE(window.isMinimized());

  // An editor that leaves another program's file, held by it, in place of the database: the file
  // open before is gone, so there is none to go on with. The learner who will not wait for the
  // one held ends the run as without a database.
  const QString replacing = folder.path() + "/replacing.klvdb7";
  QFile::copy(edited, replacing);
  const apptest::HeldDatabase holder(replacing.toStdWString());
  writeText(folder.path() + "/KlvEditor7", ("#!/bin/sh\nmv '" + replacing + "' '" + edited + "'\n").toUtf8(), true);
  EXPECT_EQ(RunEditor(s.app, &window), Reopened::closing);
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: データベースを開き直せませんでした。"
                                     L"これまでのデータベースは移動、削除または置き換えられたため、使えません。\n" +
                                         apptest::kBusyCause);
  EXPECT_EQ(s.app.exitCode, ExitDatabaseNotOpened);
}

TEST(RunEditor, ADatabaseThatNoLongerOpensAsksForAnotherAndCancelEnds) {
  StudyApp s;
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");
  writeText(folder.path() + "/KlvEditor7", ("#!/bin/sh\nrm '" + q(s.databasePath()) + "'\n").toUtf8(), true);
  EXPECT_EQ(RunEditor(s.app, nullptr), Reopened::closing);
  // The editor deleted it: the box says the file is gone, and where it was.
  EXPECT_EQ(s.notifier.boxes.back(), L"Error!: データベースファイルが読み込めませんでした。\n" +
                                         missingDatabaseText(s.databasePath()) +
                                         L"\n次のダイアログでデータベースファイルを指定してください。");
}

TEST(HelpAndReadme, OneHelpWindowShowsEachPageAndTheReadme) {
  StudyApp s;
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  writeText(folder.path() + "/help/top.html", "<html><body><a href=\"option.html\">options</a></body></html>");
  writeText(folder.path() + "/help/option.html", "<html><body>options page</body></html>");
  QTextBrowser* help = ShowHelp();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->source().toLocalFile(), folder.path() + "/help/top.html");
  EXPECT_EQ(ShowHelpTopic(L"Klv.chm::/option.html"), help);
  EXPECT_EQ(help->toPlainText(), "options page");
  int helpWindows = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) helpWindows += widget->objectName() == "helpWindow";
  EXPECT_EQ(helpWindows, 1);
  EXPECT_EQ(ShowHelpTopic(L"Klv.chm::/missing.html"), nullptr);
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: ヘルプファイルが見つかりません。\n" +
                                         folder.path().toStdWString() + L"/help/missing.html");

  // The readme in the same window, whether it was saved as UTF-8 or in code page 932.
  EXPECT_EQ(ShowReadme(), nullptr);
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: ファイルが見つかりません。\n" + folder.path().toStdWString() + L"/Readme.txt");
  writeText(folder.path() + "/Readme.txt", "\xEF\xBB\xBF" + QString::fromStdWString(L"■ はじめに <b>").toUtf8());
  EXPECT_EQ(ShowReadme(), help);
  EXPECT_EQ(help->toPlainText().toStdWString(), L"■ はじめに <b>");
  writeText(folder.path() + "/Readme.txt", QByteArray::fromStdString(platform::toCp932(L"■ はじめに")));
  EXPECT_EQ(ShowReadme()->toPlainText().toStdWString(), L"■ はじめに");
  help->close();
}
