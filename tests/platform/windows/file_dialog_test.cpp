#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/windows/file_dialog.h"
#include "platform/windows/focus_return.h"
#include "platform/windows/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "platform/files/file_system.h"
#include "scoped_env.h"
#include "patience.h"

using namespace platform;

TEST(FileDialog, AutomaticAnswersAcceptOnlyWhatTheDialogWould) {
  QTemporaryDir dir;
  const std::wstring existing = dir.filePath("default.lua").toStdWString();
  ASSERT_TRUE(writeFileAtomically(existing, "-- skin"));
  const std::wstring missing = dir.filePath("missing.lua").toStdWString();
  {
    testenv::ScopedEnv answer("KELVARA_AUTOANSWER", "ok");
    testing::internal::CaptureStderr();
    EXPECT_EQ(chooseFile(nullptr, {true, L"スキン", existing, L"*.lua", {}}), existing);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "filedlg: スキン: " + dir.filePath("default.lua").toStdString() + "\n");
    EXPECT_FALSE(chooseFile(nullptr, {true, L"スキン", missing, L"*.lua", {}}));
    EXPECT_EQ(chooseFile(nullptr, {false, L"出力", missing, L"txt", {}}), missing);
    EXPECT_EQ(chooseFolder(nullptr, L"フォルダ", dir.path().toStdWString()), dir.path().toStdWString());
    EXPECT_FALSE(chooseFolder(nullptr, L"フォルダ", existing));
  }
  testenv::ScopedEnv answer("KELVARA_AUTOANSWER", "cancel");
  EXPECT_FALSE(chooseFile(nullptr, {true, L"スキン", existing, L"*.lua", {}}));
}

TEST(FileDialog, TheQtDialogOffersTheFiltersAndAddsTheDefaultExtension) {
  testenv::ScopedEnv interactive("KELVARA_AUTOANSWER", nullptr);
  QTemporaryDir dir;
  QStringList offered;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    offered = dialog->nameFilters();
    dialog->selectFile(dir.filePath("sheet"));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  testing::internal::CaptureStderr();
  const auto chosen = chooseFile(nullptr, {false, L"ファイル出力", dir.filePath("x.txt").toStdWString(), L"*.txt",
                                           {{L"Text Files(*.txt)", L"*.txt"}, {L"CSV", L"*.csv"}, {L"すべて(*.*)", L"*.*"}}});
  // A user's dialog is no failure to report.
  EXPECT_EQ(testing::internal::GetCapturedStderr().find("filedlg:"), std::string::npos);
  // Each shows its patterns once, "*.*" as every file.
  EXPECT_EQ(offered, QStringList({"Text Files (*.txt)", "CSV (*.csv)", "すべて (*)"}));
  EXPECT_EQ(chosen, dir.filePath("sheet.txt").toStdWString());
}

// The offscreen platform has no window manager: only the program itself gives a window the focus
// back, so this holds that it asks for it. The race that lost it to a real window manager's own
// fallback shows only on an X server.
TEST(FileDialog, TheWindowThatOpenedADialogHasTheFocusAgainAfterItsFileDialogAndABoxThatEndsIt) {
  testenv::ScopedEnv interactive("KELVARA_AUTOANSWER", nullptr);
  returnFocusToOpeners();
  QWidget main;
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main, testwait::kPatienceMs));
  const auto endNextModal = [](const char* how) {
    QTimer::singleShot(0, [how] { QMetaObject::invokeMethod(QApplication::activeModalWidget(), how); });
  };
  QDialog dialog(&main);
  QTimer::singleShot(0, &dialog, [&] {
    endNextModal("reject");
    chooseFile(&dialog, {false, L"ファイル出力", L"", L"txt", {}});
    endNextModal("accept");
    messageBox(&dialog, L"出力しました", L"KLV");
    dialog.accept();
  });
  execDialog(dialog);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }, testwait::kPatienceMs));
}
