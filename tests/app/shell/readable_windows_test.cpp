// The windows a learner opens besides the main window and the study, as they look on a dark
// desktop (its palette given before the program starts, as a desktop's theme gives it): every text
// each of them draws stands out from what lies under it, so a text given a fixed colour on the
// desktop's face shows up here.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <optional>

#include "app/export/question_export_dialog.h"
#include "app/export/question_preview_dialog.h"
#include "app/export/search_dialog.h"
#include "app/main/select_section_dialog.h"
#include "app/options/option_dialog.h"
#include "app/printing/card_tool_dialog.h"
#include "app/printing/print_option_dialog.h"
#include "app/printing/print_preview_dialog.h"
#include "app/printing/print_prompts.h"
#include "app/printing/card_template.h"
#include "app/shell/about_dialog.h"
#include "app/shell/app_look.h"
#include "app/shell/defrag_dialog.h"
#include "app/shell/rename_dialog.h"
#include "app/shell/shortcut_option_dialog.h"
#include "app/shell/splash_dialog.h"
#include "app/shell/user_dialogs.h"
#include "app/shell/user_manage_dialog.h"
#include "app_test_support.h"
#include "database/records/question.h"
#include "fake_audio_player.h"
#include "platform/files/folders.h"
#include "platform/windows/notifier.h"
#include "printing/print_fixture.h"
#include "study/sound/sound_queue.h"
#include "study/window/trans_edit_dialog.h"
#include "study/window/trans_mode_dialog.h"
#include "study_app_fixture.h"
#include "test_env.h"
#include "text_contrast.h"
#include "uictl/bars/library_globals.h"

namespace {

// The dark desktop's palette as the program takes it at its start.
class DarkDesktop {
 public:
  DarkDesktop() { setUpApplicationLook(); }

 private:
  apptest::ApplicationPaletteScope palette_{apptest::darkDesktopPalette()};
  UxLibrary library_;
};

// The texts of the window, shown as a learner sees it, that fade into what lies under it; a window
// that draws no text at all is named too (it was not looked at).
QStringList fadedTexts(QWidget& window) {
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  QStringList faded = apptest::textsStandingOutLessThan(&window);
  if (apptest::textsDrawn(&window).empty()) faded << window.objectName() + " draws no text";
  return faded;
}

// Measures the texts of the next dialog that opens modally, then closes it.
std::function<void(QDialog&)> measureAndClose(QStringList& faded, int& measured) {
  return [&faded, &measured](QDialog& dialog) {
    faded << fadedTexts(dialog);
    ++measured;
    dialog.reject();
  };
}

}  // namespace

TEST(ReadableWindows, EveryOptionsPageOnADarkDesktop) {
  const DarkDesktop dark;
  studytest::StudyApp s;
  FakeAudioPlayer player;
  SoundQueue sounds{player};
  COptionDlg options(s.app, sounds);
  options.ExchangeSettings(false);
  QStringList faded;
  for (int page : {COptionDlg::kGeneralPage, COptionDlg::kReplyPage, COptionDlg::kSkinPage, COptionDlg::kVoicePage,
                   COptionDlg::kReplyInputPage, COptionDlg::kReplySelectPage, COptionDlg::kReplyCardPage,
                   COptionDlg::kFilePage, COptionDlg::kWebdicPage}) {
    ASSERT_TRUE(options.ShowPage(page));
    for (const QString& text : fadedTexts(options)) faded << QString("page %1: %2").arg(page).arg(text);
  }
  EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString();
}

TEST(ReadableWindows, TheChooserSearchExportAndQuestionListOnADarkDesktop) {
  const DarkDesktop dark;
  studytest::StudyApp s;
  QStringList faded;
  CSelectSectionDlg chooser(s.accessor(), s.app);
  chooser.OnInitDialog();
  faded << fadedTexts(chooser);
  CSearchDlg search(s.app, L"a");
  faded << fadedTexts(search);
  CQuestionExportDlg exporter(s.app, L"英単語/基本", [](std::deque<int>& ids) {
    ids = {1};
    return true;
  });
  faded << fadedTexts(exporter);
  QuestionPreviewDlg list(s.app, {1, 2, 3}, L"Eng/Words");
  faded << fadedTexts(list);
  pdb3::Question question = pdb3::getQuestion(s.accessor(), 1);
  study::CTransEditDlg edit(question);
  faded << fadedTexts(edit);
  study::CTransModeDlg modes;
  faded << fadedTexts(modes);
  EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString();
}

// The desktop switches its scheme with the windows open, to light and back to dark: the greyed
// button and the selected row of the set chooser, and the selected name of the learners' list,
// stand out on each scheme, as they do on the one the program started on.
TEST(ReadableWindows, TheChooserAndTheLearnersListAfterTheDesktopSwitchesItsScheme) {
  const DarkDesktop dark;
  studytest::StudyApp s;
  CSelectSectionDlg chooser(s.accessor(), s.app);
  chooser.OnInitDialog();  // the root folder chosen: no set to choose yet
  CUserManageDlg learners(s.app);
  learners.OnInitDialog();  // the learner's own name chosen
  const auto faded = [&](const char* scheme) {
    QStringList found;
    for (QWidget* window : std::initializer_list<QWidget*>{&chooser, &learners})
      for (const QString& text : fadedTexts(*window)) found << QString("%1: %2").arg(scheme, text);
    return found;
  };
  ASSERT_FALSE(chooser.findChild<QPushButton*>("id1")->isEnabled());
  ASSERT_EQ(learners.findChild<QListWidget*>("id1138")->selectedItems().size(), 1);
  QStringList found = faded("dark");
  apptest::forEachSchemeInTurn(
      {{"light", apptest::lightDesktopPalette()}, {"dark again", apptest::darkDesktopPalette()}},
      [&](const char* scheme, const QPalette&) { found << faded(scheme); });
  EXPECT_TRUE(found.isEmpty()) << found.join(QChar(10)).toStdString();
}

TEST(ReadableWindows, ThePrintWindowItsTemplateEditorTheCardToolAndThePrintPromptsOnADarkDesktop) {
  const DarkDesktop dark;
  QStringList faded;
  {
    printtest::PrintApp p;
    CPrintPreviewDlg window(p.app, nullptr, L"set", p.sampleIds());
    faded << fadedTexts(window);
    CPrintoptionDlg editor(window);
    faded << fadedTexts(editor);
    CPrintToolDlg tool(p.app, nullptr, {1});
    faded << fadedTexts(tool);
  }
  // The page set-up, the template's font and its name, as the program asks for them.
  int prompts = 0;
  PageSetup setup;
  apptest::whenDialogShows(measureAndClose(faded, prompts));
  runPageSetup(nullptr, setup, PrinterGeometry{});
  TemplateFont font;
  font.faceName = L"IPAGothic";
  font.size = 100;
  apptest::whenDialogShows(measureAndClose(faded, prompts));
  chooseTemplateFont(nullptr, font, CardTemplate::heightOfSize);
  apptest::whenDialogShows(measureAndClose(faded, prompts));
  askTemplateName(nullptr, L"テンプレート");
  EXPECT_EQ(prompts, 3);
  EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString();
}

TEST(ReadableWindows, TheUserDialogsAboutBoxMaintenanceShortcutSplashAndMessageBoxesOnADarkDesktop) {
  const DarkDesktop dark;
  QStringList faded;
  {
    studytest::StudyApp s;
    CUserSettingDlg first({L"太郎", L"花子"});
    faded << fadedTexts(first);
    CAddUserDlg add;
    faded << fadedTexts(add);
    CInputNewSectionNameDlg name;
    faded << fadedTexts(name);
    CUserManageDlg manage(s.app);
    faded << fadedTexts(manage);
    CAboutDlg about;
    about.OnInitDialog();
    faded << fadedTexts(about);
    CDefragDlg defrag(s.app);
    faded << fadedTexts(defrag);
    RenameDlg rename;
    faded << fadedTexts(rename);
    CShortcutOptionDlg shortcut(L"英単語/基本", 23);
    faded << fadedTexts(shortcut);
  }
  // The progress on the picture the build puts in the program folder.
  {
    const platform::ProgramFolderOverride folder(QString::fromStdString(testenv::programDir()).toStdWString());
    CSplashDlg splash;
    splash.OnInitDialog();
    splash.setProgressText(L"データベースを開いています");
    faded << fadedTexts(splash);
  }
  // The boxes as the program shows them, each kind of icon.
  int boxes = 0;
  for (unsigned icon : {platform::MbIconInformation, platform::MbIconQuestion, platform::MbIconWarning, platform::MbIconError}) {
    apptest::whenDialogShows(measureAndClose(faded, boxes));
    platform::messageBox(nullptr, L"データベースの書き込みに失敗しました。", L"Kelvara", platform::MbYesNo | icon);
  }
  EXPECT_EQ(boxes, 4);
  EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString();
}
