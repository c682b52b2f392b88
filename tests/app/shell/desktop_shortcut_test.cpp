#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "app/shell/desktop_shortcut.h"
#include "app/shell/old_files.h"
#include "app/shell/shortcut_option_dialog.h"
#include "app_test_support.h"
#include "platform/files/folders.h"
#include "platform/text.h"
#include "scoped_env.h"
#include "services/command_line.h"
#include "services/notice_box.h"
#include "study_app_fixture.h"
#include "test_env.h"
#include "window_layout_check.h"
#include "patience.h"

using studytest::StudyApp;

namespace {

std::wstring programDir() { return QString::fromStdString(testenv::programDir()).toStdWString(); }

QString textOf(const QString& path) { return QString::fromUtf8(apptest::readText(path)); }

// Launches the desktop entry as the desktop does, with a program that writes each argument it
// receives to a file of its own; the arguments, program name first.
std::vector<std::wstring> launchedArguments(const QString& entry, const QString& folder) {
  const QString dump = folder + "/dump.sh";
  apptest::writeText(dump,
                     ("#!/bin/sh\ni=0\nfor a in \"$@\"; do i=$((i+1)); printf '%s' \"$a\" > '" + folder +
                      "/arg'$i; done\n: > '" + folder + "/done'\n").toUtf8(),
                     true);
  QString text = textOf(entry);
  const QString program = "Exec=\"" + QString::fromStdWString(platform::programPath()) + "\"";
  EXPECT_TRUE(text.contains(program)) << text.toStdString();
  apptest::writeText(folder + "/launch.desktop", text.replace(program, "Exec=\"" + dump + "\"").toUtf8());

  QProcess gio;
  gio.start("gio", {"launch", folder + "/launch.desktop"});
  EXPECT_TRUE(gio.waitForFinished(10000)) << "gio (Debian package libglib2.0-bin) is needed";
  EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(folder + "/done"); }, testwait::kPatienceMs));
  std::vector<std::wstring> arguments{L"kelvara"};
  for (int i = 1; QFile::exists(folder + QString("/arg%1").arg(i)); ++i)
    arguments.push_back(textOf(folder + QString("/arg%1").arg(i)).toStdWString());
  return arguments;
}

}  // namespace

TEST(DesktopShortcut, ALauncherGivesTheStudyBackAsTheCommandLineReadsIt) {
  StudyApp s;
  const platform::ProgramFolderOverride beside(programDir());
  const QString desktop = QDir::homePath() + "/Desktop";
  QDir(desktop).removeRecursively();
  // Nothing in a set's name may end the line, add a key or reach a shell.
  const std::wstring setPath = L"英単語/a \"b\" $HOME `id` 100% c:\\\" d\\\nExec=rm x\\";
  apptest::whenDialogShows([](QDialog& dialog) {
    EXPECT_EQ(dialog.findChild<QSlider*>("id1074")->maximum(), 100);
    dialog.findChild<QSlider*>("id1074")->setValue(7);
    dialog.findChild<QComboBox*>("id1196")->setCurrentIndex(2);
    dialog.findChild<QPushButton*>("id1")->click();
  });
  ASSERT_TRUE(MakeDesktopShortcut(nullptr, setPath, 250));

  const QString entry =
      desktop + QString::fromStdWString(L"/KLV (英単語／a \"b\" $HOME `id` 100% c:\\\" d\\\nExec=rm x\\ 【４択モードR】).desktop");
  ASSERT_TRUE(QFile::exists(entry));
  struct stat info;
  ASSERT_EQ(::stat(entry.toUtf8().constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0755u);
  QStringList keys;
  for (const QString& line : textOf(entry).split('\n', Qt::SkipEmptyParts)) keys << line.section('=', 0, 0);
  EXPECT_EQ(keys, (QStringList{"[Desktop Entry]", "Type", "Version", "Name", "Comment", "Exec", "Terminal", "Icon"}));
  // The program's own icon, from the program folder.
  const QImage icon(textOf(entry).section("\nIcon=", 1).section('\n', 0, 0));
  EXPECT_FALSE(icon.isNull());
  EXPECT_EQ(icon, QImage(QString::fromStdWString(programDir()) + "/../../icons/hicolor/256x256/apps/kelvara.png"));
  EXPECT_EQ(s.notifier.boxes.back(), L"Kelvara: " + setPath + L" へのショートカットをデスクトップに作成しました。\n\n(" +
                                         entry.toStdWString() + L")");

  QTemporaryDir launch;
  CommandLineOptions options;
  CNoticeBox notice;
  ASSERT_TRUE(acceptCommandLine(launchedArguments(entry, launch.path()), options, notice));
  EXPECT_TRUE(options.autorun);
  EXPECT_EQ(options.count, 7);
  EXPECT_EQ(options.mode, 1);
  EXPECT_EQ(options.path, setPath);
}

// A Desktop folder that cannot be made is said with its cause: a file standing in its place, or a
// home where the learner may not make a folder.
TEST(DesktopShortcut, ADesktopFolderThatCannotBeMadeIsSaidWithItsCause) {
  StudyApp s;
  const platform::ProgramFolderOverride beside(programDir());
  const QString home = QDir::homePath(), desktop = home + "/Desktop";
  QDir(desktop).removeRecursively();
  const auto makeShortcut = [] {
    apptest::whenDialogShows([](QDialog& dialog) { dialog.findChild<QPushButton*>("id1")->click(); });
    return MakeDesktopShortcut(nullptr, L"英単語/基本", 5);
  };
  const std::wstring notMade = L"Kelvara: デスクトップのフォルダを作成できませんでした。\n" + desktop.toStdWString();

  apptest::writeText(desktop, "a file");
  EXPECT_FALSE(makeShortcut());
  EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{notMade + L"\nフォルダと同じ名前のファイルがあります。"});
  QFile::remove(desktop);

  ASSERT_EQ(::chmod(home.toUtf8().constData(), 0555), 0);
  {
    const testenv::PermissionsApply asAnyUser;
    EXPECT_FALSE(makeShortcut());
  }
  ::chmod(home.toUtf8().constData(), 0700);
  EXPECT_EQ(s.notifier.boxes.back(),
            notMade + L"\nフォルダを作成する権限がありません。作成先への書き込みが許可されているか確認してください。");
  EXPECT_EQ(s.notifier.boxes.size(), 2u);
}

TEST(SiblingLibraries, AMissingLibraryOrFunctionIsToldAndTheBuiltOnesAnswer) {
  StudyApp s;
  const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "ok");
  QTemporaryDir empty, swapped;
  const QString built = QString::fromStdString(testenv::programDir());
  QFile::copy(built + "/libKlvLib.so", swapped.path() + "/libKlvLegacyLib.so");
  QFile::copy(built + "/libKlvLegacyLib.so", swapped.path() + "/libKlvLib.so");
  for (const QTemporaryDir* folder : {&empty, &swapped}) {
    const platform::ProgramFolderOverride beside(folder->path().toStdWString());
    EXPECT_FALSE(MakeDesktopShortcut(nullptr, L"英単語/基本", 5));
    EXPECT_FALSE(CallUpdateOldFiles());
  }
  EXPECT_EQ(s.notifier.boxes, (std::vector<std::wstring>{L"Kelvara: KlvLegacyLib.dll が見つかりません。",
                                                          L": KlvLib.dll が見つかりません",
                                                          L"Kelvara: HDll_CreateLinkFile 関数を取得できませんでした。",
                                                          L": UpdateOldLogfile 関数を取得できませんでした。"}));
  const platform::ProgramFolderOverride beside(programDir());
  EXPECT_TRUE(CallUpdateOldFiles());
}

TEST(ShortcutOptionDialog, OffersAtMostTheSetsQuestionsAndAtMostAHundred) {
  for (const auto& [questions, maximum, position] : {std::tuple{7, 7, 7}, std::tuple{250, 100, 20}}) {
    CShortcutOptionDlg dialog(L"英単語/基本", questions);
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.findChild<QLabel*>("id1080")->text(),
              QString::fromWCharArray(L"１回あたりの問題数 (1-%1)").arg(questions));
    EXPECT_EQ(dialog.findChild<QSlider*>("id1074")->maximum(), maximum);
    EXPECT_EQ(dialog.countText(), std::to_wstring(position));
  }
  CShortcutOptionDlg unknown(L"英単語/基本", -1);  // a count that could not be read
  unknown.OnInitDialog();
  EXPECT_EQ(unknown.findChild<QLabel*>("id1080")->text(), QString::fromWCharArray(L"１回あたりの問題数 (1--)"));
}

TEST(ShortcutOptionDialog, ALongSetPathIsShortenedInItsMiddleToItsLine) {
  const std::wstring path = L"中学生向け問題/中学校 学校・教室などの単語 2026-12-07(月) 03:22:15 の復習";
  CShortcutOptionDlg dialog(path, 23);
  dialog.OnInitDialog();
  EXPECT_EQ(apptest::windowLayoutProblems(&dialog).join('\n').toStdString(), "");
  const auto* name = dialog.findChildren<QLabel*>().first();
  EXPECT_TRUE(name->text().startsWith(QString::fromWCharArray(L"問題集： 中学生向け問題/")));
  EXPECT_TRUE(name->text().endsWith(QString::fromWCharArray(L"の復習")));
  EXPECT_EQ(name->toolTip().toStdWString(), L"問題集： " + path);
}
