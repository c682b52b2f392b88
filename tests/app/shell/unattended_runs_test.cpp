#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/shell/about_dialog.h"
#include "app/shell/program_identity.h"
#include "scoped_env.h"
#include "study/study_modes.h"
#include "study_app_fixture.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/buttons/url_link_button.h"
#include "patience.h"

using studytest::StudyApp;

namespace {

size_t count(const std::string& text, const std::string& part) {
  size_t found = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++found;
  return found;
}

}  // namespace

// Nobody at the screen: each question of every kind of study is answered right through the
// window's own controls, the result box answers itself, and the study is recorded as all right.
TEST(UnattendedStudy, AnswersEveryModeRightThroughItsControls) {
  testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "ok");
  for (int mode : {study::ModeCard, study::ModeJe4, study::ModeEj4, study::ModeJe, study::ModeEj, study::ModeSpeedReply}) {
    StudyApp s(mode);
    s.resultCloser.stop();
    testing::internal::CaptureStderr();
    const bool finished = s.startStudy(L"unattended", {1, 2, 3});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(finished) << mode;
    EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log WHERE nc1=1 AND ni1=0"), 3) << mode << said;
    EXPECT_GE(count(said, "dialog: unattended"), 3u) << mode;
    EXPECT_EQ(count(said, "dialog: 学習結果: ok"), 1u) << said;
  }
}

TEST(UnattendedStudy, ACancellingAnswerCancelsTheWindow) {
  testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");
  StudyApp s(study::ModeCard);
  s.resultCloser.stop();
  testing::internal::CaptureStderr();
  s.startStudy(L"unattended", {1, 2, 3});
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(count(said, "dialog: unattended - Kelvara: cancel"), 1u) << said;
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log WHERE nc1=1"), 0);
}

TEST(AboutBox, ShowsTheVersionAndOffersTheMakersSiteOnlyWhenTheBuildNamesOne) {
  const UxLibrary library;
  testenv::BoxRecorder boxes;
  CAboutDlg about;
  about.OnInitDialog();
  EXPECT_EQ(about.findChild<QLabel*>("id1027")->text().toStdWString(), L"Kelvara  Version 7.1.5");
  EXPECT_EQ(about.link().isVisibleTo(&about), !makerAddress().empty());
  if (!makerAddress().empty()) {
    EXPECT_EQ(about.link().m_strURL, makerAddress() + L"7.1.5");
  }
  about.findChild<QPushButton*>("id1272")->click();
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find(L"K"), std::wstring::npos);

  // Enter as the box opens presses OK, not the icon's button.
  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about, testwait::kPatienceMs));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_EQ(boxes.texts.size(), 1u);
}
