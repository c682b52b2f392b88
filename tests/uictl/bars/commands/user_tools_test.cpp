// User tools: a program found on the search path runs with its arguments in its folder, other
// files open with the desktop's handler, icons fall back to the default one, the icon reaches
// the clipboard, and a toolbar runs a tool's command through the manager.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/commands/user_tools.h"

#include "../../platform/scoped_env.h"
#include "patience.h"
#include "toolbar_test_support.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr const char* kProbe = "kelvara-tool-probe";

// Waits for the probe's report: its working folder, then one argument a line.
QStringList waitForReport(const QString& path) {
  if (!QTest::qWaitFor([&] { return QFile::exists(path); }, testwait::kPatienceMs)) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

class UserToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString script = bin.filePath(QString::fromLatin1(kProbe));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nout=\"$KELVARA_PROBE_OUT\"\npwd > \"$out.part\"\n"
               "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$out.part\"; done\nmv \"$out.part\" \"$out\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  QString report() const { return work.filePath(QStringLiteral("report.txt")); }
  std::unique_ptr<CUxUserTool> probeTool(unsigned command) {
    auto tool = std::make_unique<CUxUserTool>();
    tool->m_uiCmdId = command;
    tool->m_strArguments = L"\"a b\" c";
    tool->m_strInitialDirectory = work.path().toStdWString();
    tool->SetCommand(L"kelvara-tool-probe");
    return tool;
  }

  UxLibrary library;
  QTemporaryDir bin, work;
  const std::string path = bin.path().toStdString() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
  testenv::ScopedEnv searchPath{"PATH", path.c_str()};
  testenv::ScopedEnv probeOut{"KELVARA_PROBE_OUT", report().toUtf8().constData()};
};

TEST_F(UserToolsTest, ProgramsOnTheSearchPathRunQuotedInTheirFolderAndOtherFilesOpen) {
  std::unique_ptr<CUxUserTool> tool = probeTool(910);
  EXPECT_FALSE(tool->HasDefaultIcon());
  EXPECT_FALSE(tool->GetIcon().isNull());
  ASSERT_TRUE(tool->Invoke());
  EXPECT_EQ(waitForReport(report()), (QStringList{QDir(work.path()).canonicalPath(), QStringLiteral("a b"), QStringLiteral("c")}));

  // The same command, in any letter case, changes nothing: the tool keeps its program and icon.
  const qint64 icon = tool->GetIcon().cacheKey();
  for (const wchar_t* same : {L"kelvara-tool-probe", L"Kelvara-Tool-Probe"}) {
    tool->SetCommand(same);
    EXPECT_EQ(tool->GetCommand(), L"kelvara-tool-probe");
    EXPECT_EQ(tool->GetIcon().cacheKey(), icon);
  }
  tool->SetCommand(L"kelvara-no-such-tool");
  EXPECT_TRUE(tool->HasDefaultIcon());
  EXPECT_EQ(tool->GetIcon().cacheKey(), globalData().ToolIcon().cacheKey());
  EXPECT_FALSE(tool->Invoke());

  tool->SetCommand(L"");
  EXPECT_TRUE(tool->HasDefaultIcon());
  EXPECT_FALSE(tool->Invoke());

  // A document is handed to the desktop, never run.
  const QString document = work.filePath(QStringLiteral("メモ.txt"));
  QFile(document).open(QIODevice::WriteOnly);
  const QString log = work.filePath(QStringLiteral("shell.log"));
  testenv::ScopedEnv logging("KELVARA_SHELL_LOG", log.toUtf8().constData());
  tool->SetCommand(document.toStdWString());
  ASSERT_TRUE(tool->Invoke());
  QFile opened(log);
  ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(opened.readAll()).trimmed(), document);
}

TEST_F(UserToolsTest, ToolbarRunsToolCommandsAndCopiesTheirIcon) {
  CUxUserToolsManager manager(900, 910, 919);
  EXPECT_EQ(userToolsLookup(), &manager);
  manager.GetUserTools().push_back(probeTool(912));
  EXPECT_TRUE(manager.IsUserToolCmd(919));
  EXPECT_FALSE(manager.IsUserToolCmd(920));
  EXPECT_EQ(manager.FindTool(912), manager.GetUserTools()[0].get());
  EXPECT_FALSE(manager.InvokeTool(913));
  // A tool whose command lies outside the range kept for tools is none of them.
  manager.GetUserTools().push_back(probeTool(920));
  EXPECT_EQ(manager.FindTool(920), nullptr);
  EXPECT_FALSE(manager.HasTool(920));
  EXPECT_FALSE(manager.InvokeTool(920));

  TestFrame frame;
  frame.resize(300, 60);
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, 0x50000000u | CbrsAlignTop, 1);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(912, 0, L"探査"));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  frame.show();
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  EXPECT_EQ(waitForReport(report()).size(), 3);
  EXPECT_TRUE(frame.commands.empty());

  // The icon on the face colour, as the copy-image command of the customise menu leaves it.
  QGuiApplication::clipboard()->clear();
  bar->m_iSelected = 0;
  bar->OnCustomizeCommand(kCmdCopyImage);
  const QImage copied = QGuiApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(16, 16));
  QImage expected(16, 16, QImage::Format_RGB32);
  expected.fill(toPixel(globalData().clrBtnFace));
  {
    Dc dc(expected);
    manager.FindTool(912)->DrawToolIcon(&dc, dc.bounds());
  }
  EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), expected);
  delete bar;
}
