#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "study/app_study_host.h"
#include "study/study_modes.h"
#include "study/trans_dialog.h"
#include "study_app_fixture.h"
#include "test_env.h"

using namespace study;
using studytest::StudyApp;

namespace {

StudySetup setupFor(int mode, std::vector<int> ids) {
  StudySetup setup;
  setup.mode = mode;
  setup.title = L"スキン";
  setup.questionIds = std::move(ids);
  setup.randomMistakeReply = false;
  setup.did = 0;
  setup.lid = 0;
  return setup;
}

std::wstring skinFixture(const char* name) {
  return QString::fromStdString(testenv::sourceDir() + "/tests/study/skins/" + name).toStdWString();
}

QColor rgb(uint32_t rrggbb) { return QColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

void typeReply(CTransDlg& dlg, const QString& text) {
  auto* edit = dlg.findChild<QLineEdit*>("id1026");
  edit->clear();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

TEST(DefaultSkin, DrawsTheFrameAndPlacesTheControlsOfTheMode) {
  StudyApp s(ModeJe);
  SoundQueue sounds;
  AppStudyHost host(s.app, sounds);
  CTransDlg dlg(setupFor(ModeJe, {1, 2}), host);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().tstate == TurnReply; }, 3000));
  EXPECT_EQ(dlg.size(), QSize(640, 480));
  EXPECT_EQ(dlg.windowTitle(), QString::fromStdWString(L"スキン - Kelvara"));
  EXPECT_EQ(dlg.findChild<QWidget*>("id1208")->geometry(), QRect(30, 78, 580, 84));
  EXPECT_EQ(dlg.findChild<QWidget*>("id1026")->geometry(), QRect(30, 270, 460, 30));
  EXPECT_FALSE(dlg.findChild<QWidget*>("id1012")->isVisible());

  const QImage shot = dlg.grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), rgb(0x2F5D9E));      // the title band
  EXPECT_EQ(shot.pixelColor(5, 200), rgb(0xF4F8FC));    // the skin's background
  EXPECT_EQ(shot.pixelColor(20, 120), rgb(0x2F5D9E));   // the question frame
  EXPECT_EQ(shot.pixelColor(25, 75), rgb(0xFFFFFF));    // inside it
  EXPECT_TRUE(s.notifier.boxes.empty()) << (s.notifier.boxes.empty() ? "" : QString::fromStdWString(s.notifier.boxes.front()).toStdString());
}
