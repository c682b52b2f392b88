// The main window on a copy of the default database with the nested tree of the fixture, driven
// as a user drives it: keys, menu commands and the choosers by their object names.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <sqlite3.h>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <thread>

#include "app/main/folder_tree.h"
#include "app/shell/app_resources.h"
#include "platform/drawing/readable_colour.h"
#include "platform/drawing/system_metrics.h"
#include "platform/settings/registry_store.h"
#include "text_contrast.h"
#include "app/main/main_dialog.h"
#include "app/main/main_outlook_bar.h"
#include "app/main/note_browser.h"
#include "app/common/modal_dialog.h"
#include "app/common/number_edit.h"
#include "app/main/select_section_dialog.h"
#include "app/shell/database_chooser.h"
#include "app/shell/user_manage_dialog.h"
#include "app/pages/level_graphs.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_questionlog.h"
#include "app/pages/tabpage_ranking.h"
#include "app/pages/tabpage_selsection.h"
#include "app/pages/tabpage_smartlearning.h"
#include "database/records/question.h"
#include "database/folders/folders.h"
#include "database/engine/sql_helpers.h"
#include "database/database_file.h"
#include "database/logs/users.h"
#include "platform/clock.h"
#include "platform/drawing/gdi_types.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "platform/windows/file_dialog.h"
#include "services/database_failure.h"
#include "services/user_action.h"
#include "app_test_support.h"
#include "card_study_driver.h"
#include "faulty_vfs.h"
#include "held_database.h"
#include "list_view_input.h"
#include "main_dialog_fixture.h"
#include "database_fixture.h"
#include "patience.h"
#include "statement_log.h"
#include "scoped_env.h"
#include "test_env.h"
#include "study/study_flow.h"
#include "study/window/trans_dialog.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/outlook/caption_bar.h"
#include "uictl/frames/outlook/outlook_bar.h"

using namespace apptest;

TEST(MainDialog, FirstRunStartsAtTheSampleSetAndEndsWhenNoSetCanBeHad) {
  {
    MainApp s(L"");
    // The chooser opens over the main window, which is placed in the middle of the screen (up to
    // the window frames).
    QRect chooser;
    ModalAnswers answers({{"id236", [&](QDialog& dialog) {
                             chooser = dialog.frameGeometry();
                             reject(dialog);
                           }}});
    ASSERT_TRUE(s.open());
    EXPECT_EQ(answers.seen["id236"], 1);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    EXPECT_LE((s.dialog.frameGeometry().center() - screenCentre).manhattanLength(), 8);
    EXPECT_LE((chooser.center() - s.dialog.frameGeometry().center()).manhattanLength(), 8);
    EXPECT_EQ(s.dialog.setPath(), L"中学生向け問題/中学校 学校・教室などの単語");
    EXPECT_EQ(s.app.currentSetId, 2);
    // The chooser shows the set in use, with the entry that asks for another after it.
    EXPECT_EQ(s.recentEntries(), (QStringList{QString::fromStdWString(s.dialog.setPath()),
                                              QString::fromStdWString(L"<< 問題集の選択... >>")}));
    EXPECT_EQ(s.dialog.recentCombo().currentIndex(), 0);
    EXPECT_EQ(s.dialog.windowTitle().toStdWString(), L"KLV 7.1.5 【tester】");
    EXPECT_EQ(s.dialog.size(), QSize(MainDialog::kMinWidth, MainDialog::kMinHeight));  // 600 x 450 held to the limits
  }
  MainApp s(L"Alpha/gone");
  s.run(L"DELETE FROM element_info WHERE eid=2");
  ModalAnswers answers({{"id236", reject}});
  EXPECT_FALSE(s.open());
  EXPECT_EQ(s.dialog.result(), -1);
}

TEST(MainDialog, KeysAndViewCommandsSwitchPagesWithTheirTextsAndChoosers) {
  MainApp s;
  s.run(L"UPDATE element_info SET description='りんごの<b>説明</b>' WHERE eid=14");
  ASSERT_TRUE(s.open());
  EXPECT_EQ(s.dialog.currentPage(), 0);
  EXPECT_EQ(s.dialog.setPage().infoList().item(2, 1)->text(), "2");
  EXPECT_EQ(s.dialog.setPage().infoList().item(4, 1)->text().toStdWString(), L"<未設定>");
  EXPECT_TRUE(s.dialog.setPage().browser().toPlainText().contains(QString::fromStdWString(L"りんごの説明")));

  const std::wstring status[] = {L"問題集の情報を確認しましょう", L"『覚える』ボタンを押して学習を始めましょう",
                                 L"覚えていない問題を探して、集中的に学習しましょう",
                                 L"インターネットランキングに参加して、あなたが学習していることを全世界に宣言しよう！",
                                 L"忘れてしまった問題が自動的に出題されます"};
  const std::wstring caption[] = {L"通常学習/問題集の情報", L"通常学習/学習", L"通常学習/問題毎の履歴",
                                  L"インターネットランキング", L"スマート学習/スマート学習"};
  const char* pageNames[] = {"id242", "id156", "id157", "id216", "id284"};
  const auto showsPage = [&](int page) {
    EXPECT_EQ(s.dialog.currentPage(), page);
    EXPECT_TRUE(s.dialog.page(page)->isVisible());
    EXPECT_EQ(s.dialog.page(page)->objectName(), pageNames[page]);
    EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), status[page]);
    EXPECT_EQ(s.dialog.captionBar().GetText(), caption[page]);
    EXPECT_EQ(s.control(1234)->isVisible(), page != 3 && page != 4) << page;
    EXPECT_EQ(s.control(1196)->isVisible(), page != 3) << page;
    EXPECT_EQ(s.app.currentSetId, page == 4 ? s.app.smartLearningSetId : kApple);
  };
  const Qt::Key keys[] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6};
  for (int page : {1, 2, 3, 4, 0}) {
    QTest::keyClick(&s.dialog.modeCombo(), keys[page]);  // from a control as from the dialog
    showsPage(page);
  }
  s.dialog.commandAction(32804)->trigger();
  showsPage(2);

  // The bar: its groups' buttons, and its page buttons switching group and page.
  CMainOutlookBar& bar = s.dialog.outlookBar();
  const auto clickButton = [&](int index) {
    const QRect button = bar.GetVisibleButton(index)->m_rect.toQRect();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, button.center());
    QApplication::processEvents();
  };
  clickButton(0);
  showsPage(0);
  QTest::mouseClick(bar.FindPage(1)->m_btnPage.get(), Qt::LeftButton, {}, {10, 5});
  showsPage(4);
  clickButton(1);
  showsPage(3);
  QTest::mouseClick(bar.FindPage(2)->m_btnPage.get(), Qt::LeftButton, {}, {10, 5});
  showsPage(1);

  // Shift+F5 reads the database again instead of showing the ranking.
  s.settings.databasePath.value = s.databasePath();
  QTest::keyClick(&s.dialog, Qt::Key_F5, Qt::ShiftModifier);
  EXPECT_EQ(s.dialog.currentPage(), 1);
  EXPECT_EQ(s.takeBoxes(), L"");

  // Ctrl+F opens the search once, though the key climbs from the control to the dialog.
  ModalAnswers answers({{"id260", reject}});
  QTest::keyClick(&s.dialog.recentCombo(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(answers.seen["id260"], 1);
}

TEST(MainDialog, MenuAndToolbarCarryTheStringTableAndHoveredPrompts) {
  MainApp s;
  ASSERT_TRUE(s.open());
  auto* toolbar = s.dialog.findChild<QToolBar*>("id211");
  int buttons = 0;
  for (QAction* action : toolbar->actions()) {
    if (action->isSeparator()) continue;
    ++buttons;
    EXPECT_FALSE(action->icon().isNull());
    EXPECT_FALSE(action->toolTip().isEmpty()) << action->objectName().toStdString();
  }
  EXPECT_EQ(buttons, 18);
  EXPECT_EQ(s.dialog.commandAction(32835)->toolTip().toStdWString(), L"カードモードに設定");
  EXPECT_EQ(s.control(1018)->toolTip().toStdWString(), L"新しい問題集を選択します");

  QMenu* file = s.dialog.menuBar().actions().at(0)->menu();
  emit file->hovered(s.dialog.commandAction(1025));
  EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"問題集データベースと履歴ファイルを再読込");
  emit file->aboutToHide();
  EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"問題集の情報を確認しましょう");
  // A toolbar button tells what it does while the pointer is on it, and no longer.
  QWidget* print = toolbar->findChild<QWidget*>("button199");
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), print->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(print, &enter);
  EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"問題集を印刷します");
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(print, &leave);
  EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"問題集の情報を確認しましょう");
  // Every command works now but the home page, which needs the maker's address.
  EXPECT_FALSE(s.dialog.commandEnabled(32795));
  for (int id : {32826, 32791, 32798, 32841, 32790, 32789, 32773}) EXPECT_TRUE(s.dialog.commandEnabled(id)) << id;

  s.dialog.resize(900, 650);
  const int top = s.dialog.menuBar().sizeHint().height();
  EXPECT_EQ(s.dialog.page(0)->geometry().topLeft(), QPoint(105, top + 101));
  EXPECT_EQ(s.dialog.page(3)->geometry().topLeft(), QPoint(105, top + 71));
  EXPECT_EQ(s.dialog.page(0)->geometry().right(), 900 - 5 - 1);
  EXPECT_EQ(s.dialog.statusBar().geometry().bottom(), 650 - 1);
  EXPECT_EQ(s.control(1196)->geometry().right(), 900 - 15 - 1);
  EXPECT_EQ(s.dialog.outlookBar().geometry(), QRect(0, top + 41, 100, 650 - top - 26 - 41));
  EXPECT_EQ(s.dialog.captionBar().geometry(), QRect(100, top + 36, 800, 30));
}

namespace {

// The colour most of a toolbar image's visible pixels have: what a learner sees of it.
platform::COLORREF mainColourOf(const QIcon& icon) {
  const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) == 255) ++counts[image.pixel(x, y)];
  const auto most = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
  return most == counts.end() ? 0 : platform::fromPixel(most->first);
}

}  // namespace

// The speaker of the dictation mode and the gear of the options, dark gray on the classic face,
// stand out from the bar once the desktop turns dark while the window is open; the classic look
// keeps the images as they are drawn.
TEST(MainDialog, TheToolbarsGrayImagesStandOutOnADarkDesktop) {
  MainApp s;
  ASSERT_TRUE(s.open());
  const QImage drawn = LoadBitmapResource(256).toImage().convertToFormat(QImage::Format_ARGB32);
  const std::pair<int, int> grays[] = {{32836, 9}, {32826, 14}};
  for (auto [command, index] : grays) {
    const QImage shown = s.dialog.commandAction(command)->icon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, drawn.copy(32 * index, 0, 32, 32)) << command;
  }
  const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
  const platform::COLORREF face = platform::getSysColor(platform::ColorBtnFace);
  for (auto [command, index] : grays)
    EXPECT_GE(platform::contrastRatio(mainColourOf(s.dialog.commandAction(command)->icon()), face), 3.0) << command;
}

TEST(MainDialog, RecentSetsKeepSixPathsWithoutDuplicatesInTheSettings) {
  MainApp s;
  s.settings.recentSectionPath[0].value = L"Alpha/zeta";
  s.settings.recentSectionPath[1].value = L"Alpha/deep/Apple";  // the current one is not listed twice
  s.settings.recentSectionPath[3].value = L"beta";
  ASSERT_TRUE(s.open());
  EXPECT_EQ(s.recentEntries().join("|").toStdWString(), L"Alpha/deep/Apple|Alpha/zeta|beta|<< 問題集の選択... >>");

  for (const wchar_t* path : {L"p1", L"p2", L"p3", L"p4", L"p5", L"Alpha/zeta"}) s.dialog.AddRecentSet(path);
  EXPECT_EQ(s.recentEntries().join("|").toStdWString(), L"Alpha/zeta|p5|p4|p3|p2|p1|<< 問題集の選択... >>");

  // A listed path that is gone since: refused, the selection stays.
  s.dialog.recentCombo().setCurrentIndex(1);
  s.dialog.OnRecentComboChange(1);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: そのような問題集（またはフォルダ）は存在しません。\n");
  EXPECT_EQ(s.dialog.recentCombo().currentIndex(), 0);

  // The chooser entry opens the tree.
  ModalAnswers answers({{"id236", chooseInTree(kApple)}});
  s.dialog.OnRecentComboChange(s.dialog.recentCombo().count() - 1);
  EXPECT_EQ(answers.seen["id236"], 1);
  EXPECT_EQ(s.dialog.setPath(), L"Alpha/deep/Apple");
  EXPECT_EQ(s.recentEntries().join("|").toStdWString(), L"Alpha/deep/Apple|Alpha/zeta|p5|p4|p3|p2|<< 問題集の選択... >>");

  AppSettings stored{L"KLV7"};
  stored.loadOrSaveGroup(false);
  EXPECT_EQ(stored.lastSection.value, L"Alpha/deep/Apple");
  EXPECT_EQ(stored.recentSectionPath[0].value, L"Alpha/zeta");
  EXPECT_EQ(stored.recentSectionPath[4].value, L"p2");

  // A listed set that another program keeps from being looked up is not gone: the failure is said
  // with its cause and the set in use stays; once the file is free it is chosen.
  QComboBox& recent = s.dialog.recentCombo();
  {
    HeldDatabase held(s.databasePath());
    listinput::pressKey(recent, Qt::Key_Down);
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集を読み込めませんでした。\n" + kBusyCause + L"\n");
    EXPECT_EQ(recent.currentIndex(), 0);
    EXPECT_EQ(std::pair(s.dialog.setPath(), s.app.currentSetId), std::pair(std::wstring(L"Alpha/deep/Apple"), int(kApple)));
  }
  listinput::pressKey(recent, Qt::Key_Down);
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(std::pair(s.dialog.setPath(), s.app.currentSetId), std::pair(std::wstring(L"Alpha/zeta"), int(kZeta)));
}

// A set named with a "/" of its own, as the tree lists it: chosen with the chooser's button, it is
// the set the pages show and study, after another page too, and again from the recent list and at
// the next start, where its path is all that is kept.
TEST(MainDialog, ASetWhoseNameHoldsASlashIsChosenStudiedAndChosenAgain) {
  const auto addSet = [](MainApp& app) {
    app.run(L"INSERT INTO element_info VALUES(20, 2, 'はい/いいえ', '', '', '', 0, 0, '', '')");
    app.run(L"INSERT INTO folder VALUES(20, 11)");
    app.run(L"INSERT INTO section VALUES (20, 30)");
  };
  MainApp s;
  addSet(s);
  ASSERT_TRUE(s.open());
  {
    // A set refused opens the chooser again: that one is cancelled.
    ModalAnswers answers({{"id236", [&](QDialog& dialog) {
                             if (answers.seen["id236"] > 1) return reject(dialog);
                             auto& chooser = static_cast<CSelectSectionDlg&>(dialog);
                             chooser.tree().SelectEidFromRoot(20);
                             QTest::mouseClick(chooser.findChild<QPushButton*>("id1"), Qt::LeftButton);
                           }}});
    QTest::mouseClick(static_cast<QPushButton*>(s.control(1018)), Qt::LeftButton);
    ASSERT_EQ(answers.seen["id236"], 1);
  }
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(s.dialog.setPath(), L"Alpha/はい/いいえ");
  EXPECT_EQ(s.app.currentSetId, 20);
  EXPECT_EQ(s.dialog.questionCount(), 1);
  QTest::keyClick(&s.dialog, Qt::Key_F5);  // smart learning studies its own list
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  EXPECT_EQ(s.app.currentSetId, 20);
  std::vector<int> ids;
  EXPECT_TRUE(s.dialog.SelectStudyQuestions(ids));
  EXPECT_EQ(ids, std::vector<int>{30});

  for (const wchar_t* path : {L"Alpha/deep/Apple", L"Alpha/はい/いいえ"}) {
    ASSERT_EQ(s.recentEntries().value(1).toStdWString(), path);
    s.dialog.recentCombo().setCurrentIndex(1);
    s.dialog.OnRecentComboChange(1);
    EXPECT_EQ(s.takeBoxes(), L"");
    EXPECT_EQ(s.dialog.setPath(), path);
  }
  EXPECT_EQ(s.app.currentSetId, 20);

  MainApp next(L"Alpha/はい/いいえ");
  addSet(next);
  ASSERT_TRUE(next.open());
  EXPECT_EQ(next.takeBoxes(), L"");
  EXPECT_EQ(next.app.currentSetId, 20);
}

TEST(MainDialog, AFolderGraysTheSetCommandsAndDictationNeedsAVoice) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.commandAction(32794)->trigger();
  EXPECT_EQ(s.dialog.modeCombo().currentText().toStdWString(), L"４択モードR");
  ModalAnswers answers({{"id236", chooseInTree(kDeep)}});
  static_cast<QPushButton*>(s.control(1018))->click();
  ASSERT_TRUE(s.dialog.folderSelected());
  EXPECT_EQ(s.dialog.questionCount(), 0);
  EXPECT_EQ(s.dialog.setPage().infoList().item(2, 1)->text(), "0");
  for (int id : {32835, 32792, 209, 210, 32794, 32793, 32824, 32823}) EXPECT_FALSE(s.dialog.commandEnabled(id)) << id;
  EXPECT_TRUE(s.dialog.commandEnabled(32836));

  s.app.studyMode = 3;
  s.dialog.SelectModeInCombo();
  s.dialog.SetStudyMode(6);  // no voice of any kind
  EXPECT_NE(s.app.notice.text().find(L"ディクテーションモードで学習できません"), std::wstring::npos);
  EXPECT_EQ(s.app.studyMode, 3);
  const int dictation = s.dialog.modeCombo().findData(6);
  s.dialog.modeCombo().setCurrentIndex(dictation);
  s.dialog.OnModeComboChange(dictation);
  EXPECT_EQ(s.dialog.modeCombo().currentData().toInt(), 3);

  s.dialog.OnModeComboChange(0);
  EXPECT_EQ(s.app.studyMode, 5);
  EXPECT_EQ(s.settings.studyMode, 5);
}

TEST(MainDialog, TheLastStudyAgainInAscendingOrderAndOnlyACompletedStudyRefreshes) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);
  s.run(L"INSERT INTO log_id VALUES(3," + std::to_wstring(s.app.currentUserId) + L",14,5)");
  s.run(L"INSERT INTO daily_log VALUES(7,3,100,300,0,'','')");
  s.run(L"INSERT INTO daily_question_log VALUES(7,2,0,1,1,0,3.0,1,30), (7,1,1,0,0,0,1.0,2,80)");
  s.run(L"UPDATE question SET answer='a31' WHERE qid=31");  // behind the window's back

  int firstShown = -1;
  {
    ModalAnswers cancel({{"id130", [&](QDialog& window) {
                            const auto& flow = static_cast<study::CTransDlg&>(window).flow();
                            if (QTest::qWaitFor([&] { return flow.currentId >= 0; }, testwait::kPatienceMs)) firstShown = flow.currentId;
                            window.done(QDialog::Rejected);
                          }}});
    s.dialog.commandAction(32823)->trigger();
  }
  EXPECT_EQ(firstShown, 1);
  EXPECT_EQ(s.dialog.questionCount(), 2);  // nothing read again

  // Card mode answered "known" throughout; afterwards the counts are read again.
  CardStudyDriver driver;
  s.dialog.commandAction(32824)->trigger();  // question 2 only
  EXPECT_EQ(s.dialog.questionCount(), 3);
  EXPECT_EQ(s.dialog.translatedCount(), 1);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log WHERE qid=2 AND did<>7"), 1);
}

TEST(MainDialog, TheCommandLinesStudyRunsHiddenAndAnUnknownSetIsRefused) {
  {
    MainApp s;
    s.app.commandLine->autorun = true;
    s.app.commandLine->path = L"Alpha/nothing";
    s.app.commandLine->count = 2;
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: そのような問題集（またはフォルダ）は存在しません。\n");
  }

  MainApp run(L"Alpha/zeta");
  run.app.commandLine->autorun = true;
  run.app.commandLine->path = L"Alpha/deep/Apple";
  run.app.commandLine->mode = 3;
  run.app.commandLine->count = 2;
  QString title;
  bool mainHidden = false;
  ModalAnswers study({{"id130", [&](QDialog& window) {
                         title = window.windowTitle();
                         mainHidden = !run.dialog.isVisible();
                         window.done(QDialog::Rejected);
                       }}});
  ASSERT_TRUE(run.dialog.OnInitDialog());
  EXPECT_EQ(title, "Alpha/deep/Apple - Kelvara");
  EXPECT_TRUE(mainHidden);
  EXPECT_EQ(run.app.studyMode, 3);
  EXPECT_EQ(run.dialog.modeCombo().currentData().toInt(), 3);
}

TEST(MainDialog, TheCommandLinesStudyIsCountedWhenTheWindowFirstShows) {
  MainApp run(L"Alpha/deep/Apple");
  run.app.commandLine->autorun = true;
  run.app.commandLine->path = L"Alpha/deep/Apple";
  run.app.commandLine->mode = 5;
  run.app.commandLine->count = 2;
  {
    CardStudyDriver driver;
    ASSERT_TRUE(run.dialog.OnInitDialog());
  }
  EXPECT_EQ(run.dialog.translatedCount(), 0) << "counted before the study";
  run.dialog.show();
  EXPECT_EQ(run.dialog.translatedCount(), 2);
}

// The ranking page shows the account of the name the learner now has as soon as the user dialog
// closes, whatever its end: an edit on the page or an update must never give it the old one's.
TEST(MainDialog, TheRankingPageShowsTheAccountOfTheLearnersNewName) {
  MainApp s;
  PointInfoRecord::copyText(s.app.CurrentUserPointInfo().rankingId, L"t-id");
  PointInfoRecord::copyText(s.app.pointInfo.recordAt(s.app.pointInfo.appendRecord(L"太郎")).rankingId, L"taro-id");
  ASSERT_TRUE(s.open());
  s.dialog.rankingPage().LoadRankingAccount();  // as a start-up with the file read shows it
  auto* id = s.dialog.rankingPage().findChild<QLineEdit*>("id1202");
  ASSERT_EQ(id->text(), "t-id");
  ModalAnswers answers({{"id153", [](QDialog& dialog) {
                           auto* list = dialog.findChild<QListWidget*>("id1138");
                           list->setCurrentItem(list->findItems("tester", Qt::MatchExactly).front());
                           typeAndConfirm(1023, "太郎");
                           static_cast<CUserManageDlg&>(dialog).OnRenameUser();
                           reject(dialog);
                         }}});
  EXPECT_TRUE(s.dialog.OnCommand(32798));
  EXPECT_EQ(answers.seen["id153"], 1);
  EXPECT_EQ(s.settings.userName.value, L"太郎");
  EXPECT_EQ(id->text(), "taro-id");
}

TEST(MainDialog, UsersAboutAndADatabaseThatNoLongerReopens) {
  MainApp s;
  ASSERT_TRUE(s.open());
  const int hanako = pdb3::insertUser(s.accessor(), L"hanako");
  const int tester = s.app.currentUserId;
  {
    // A switch the file cannot give while another program holds it says why; the user before stays.
    std::optional<HeldDatabase> held;
    ModalAnswers answers({{"id153", [&](QDialog& dialog) {
                             auto* list = dialog.findChild<QListWidget*>("id1138");
                             list->setCurrentItem(list->findItems("hanako", Qt::MatchExactly).front());
                             held.emplace(s.databasePath());
                             dialog.accept();
                             held.reset();
                             if (dialog.isVisible()) reject(dialog);
                           }}});
    s.notifier.answer = platform::IdYes;
    s.takeBoxes();
    EXPECT_TRUE(s.dialog.OnCommand(32798));
    EXPECT_EQ(s.takeBoxes(), L"変更確認: 利用者をhanakoに変更しますか？\nKelvara: 利用者を変更できませんでした。\n" + kBusyCause + L"\n");
    EXPECT_EQ(std::pair(s.app.currentUserId, s.settings.userName.value), std::pair(tester, std::wstring(L"tester")));
    EXPECT_EQ(s.dialog.windowTitle().toStdWString(), L"KLV 7.1.5 【tester】");
  }
  {
    // OK with the user as it was changes nothing the pages read: they keep what they show, and
    // another program holding the file meanwhile costs nothing.
    QTest::keyClick(&s.dialog, Qt::Key_F4);
    const std::vector<int> rows = s.dialog.questionLogPage().rowIds();
    ASSERT_FALSE(rows.empty());
    std::optional<HeldDatabase> held;
    ModalAnswers answers({{"id153", [&](QDialog& dialog) {
                             auto* list = dialog.findChild<QListWidget*>("id1138");
                             list->setCurrentItem(list->findItems("tester", Qt::MatchExactly).front());
                             held.emplace(s.databasePath());
                             dialog.accept();
                           }}});
    EXPECT_TRUE(s.dialog.OnCommand(32798));
    held.reset();
    EXPECT_EQ(answers.seen["id153"], 1);
    EXPECT_EQ(s.takeBoxes(), L"");
    EXPECT_EQ(s.dialog.questionLogPage().rowIds(), rows);
    EXPECT_EQ(s.app.currentUserId, tester);
  }
  {
    ModalAnswers answers({{"id153", [](QDialog& dialog) {
                             auto* list = dialog.findChild<QListWidget*>("id1138");
                             list->setCurrentItem(list->findItems("hanako", Qt::MatchExactly).front());
                             dialog.accept();
                           }},
                          {"id100", reject}});
    EXPECT_TRUE(s.dialog.OnCommand(32798));
    EXPECT_EQ(s.app.currentUserId, hanako);
    EXPECT_EQ(s.dialog.windowTitle().toStdWString(), L"KLV 7.1.5 【hanako】");
    EXPECT_TRUE(s.dialog.OnCommand(32773));
    EXPECT_EQ(answers.seen["id153"], 1);
    EXPECT_EQ(answers.seen["id100"], 1);
  }
  // A file whose upgrade can never be made opens again, without smart learning, which says why once.
  ASSERT_TRUE(pdb3::execSql(s.accessor(), L"DROP TABLE memory_rate; UPDATE version SET subversion=1;"
                                          L"CREATE INDEX memory_rate ON question (qid)"));
  s.takeBoxes();
  HeldDatabase::nextAction();
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: " + missingMemoryRatesText(pdb3::MemoryRateTable::nameTaken) + L"\n");
  EXPECT_EQ(s.app.smartLearningSetId, -1);
  s.app.TellMissingMemoryRates(&s.dialog);
  EXPECT_EQ(s.takeBoxes(), L"");
  {
    // Said as every failure is: a read that fails later in the same action adds no box of its own.
    sqliteplus::SqliteConnection holder;
    holder.open(s.databasePath().c_str());
    holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
    sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(50));
    QTest::keyClick(&s.dialog, Qt::Key_F2);
    holder.createQuery()->execute(L"ROLLBACK");
    sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
    EXPECT_EQ(s.takeBoxes(), L"");
    HeldDatabase::nextAction();
  }
  // Mended since (the index dropped), the file takes the table at the next reload: smart learning is back.
  ASSERT_TRUE(pdb3::execSql(s.accessor(), L"DROP INDEX memory_rate"));
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(s.app.memoryRates, pdb3::MemoryRateTable::present);
  EXPECT_EQ(s.app.smartLearningSetId, pdb3::FindProblemSetByPath(s.accessor(), L"SmartLearning/1"));
  EXPECT_GE(s.app.smartLearningSetId, 0);
  // A current file whose table another program dropped is taken so too, and says so once.
  ASSERT_TRUE(pdb3::execSql(s.accessor(), L"DROP TABLE memory_rate"));
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: " + missingMemoryRatesText(pdb3::MemoryRateTable::missing) + L"\n");
  EXPECT_EQ(s.app.smartLearningSetId, -1);
  // The settings' own file gone (as the editor may leave them): another is asked for. A learner who
  // gives up goes on with the file open, told that the other is missing; the settings name the open
  // file again, not the one that did not open, for the next start.
  const std::wstring open = s.databasePath(), gone = open + L".gone";
  const auto storedFile = [] {
    AppSettings stored(L"KLV7");
    stored.loadAll();
    return stored.databasePath.value;
  };
  s.settings.databasePath.value = gone;
  testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");
  s.takeBoxes();
  HeldDatabase::nextAction();
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  const std::wstring said = s.takeBoxes();
  EXPECT_NE(said.find(L"次のダイアログでデータベースファイルを指定してください。"), std::wstring::npos);
  EXPECT_TRUE(said.ends_with(L"Kelvara: " + missingDatabaseText(gone) + L"\nこれまでのデータベースをそのまま使います。\n"))
      << platform::toUtf8(said);
  EXPECT_TRUE(s.dialog.isVisible());
  EXPECT_EQ(s.app.db.fileName(), open);
  EXPECT_EQ(s.settings.databasePath.value, open);
  EXPECT_EQ(storedFile(), open);
  EXPECT_EQ(s.app.exitCode, ExitNormal);
  QTest::keyClick(&s.dialog, Qt::Key_F2);
  EXPECT_EQ(s.takeBoxes(), L"");

  // Nothing works without a database: with the open file moved away too, the window closes and the
  // run ends with the status of a database that could not be opened.
  ASSERT_TRUE(QFile::rename(QString::fromStdWString(open), QString::fromStdWString(open + L".moved")));
  HeldDatabase::nextAction();
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_NE(s.takeBoxes().find(L"データベースファイルが読み込めませんでした。"), std::wstring::npos);
  EXPECT_FALSE(s.dialog.isVisible());
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
  EXPECT_EQ(s.app.exitCode, ExitDatabaseNotOpened);
}

namespace {

// Another learner's copy of the program's database: its user "tester" is uid 51 while uid 1 is
// someone else, eid 4 is the learner's own set 英単語の本 (question 5), and Alpha/deep/Apple is
// eid 22 (questions 1 and 2). It has no smart-learning list yet.
std::wstring anotherLearnersFile(const QTemporaryDir& folder) {
  const QString path = folder.filePath("別の利用者.klvdb7");
  EXPECT_TRUE(QFile::copy(QString::fromStdString(testenv::programDir()) + "/database.klvdb7", path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  sqliteplus::SqliteConnection connection;
  EXPECT_TRUE(pdb3::openDatabaseFile(connection, path.toStdWString()));
  EXPECT_TRUE(pdb3::execSql(pdb3::openQuery(connection),
                            L"INSERT INTO user_info VALUES (1, 'hanako'), (51, 'tester');"
                            L"INSERT INTO element_info VALUES (4, 2, '英単語の本', '', '', '', 0, 1704067200, '', ''),"
                            L" (20, 0, 'Alpha', '', '', '', 0, 1704067200, '', ''),"
                            L" (21, 0, 'deep', '', '', '', 0, 1704067200, '', ''),"
                            L" (22, 2, 'Apple', '', '', '', 0, 1704067200, '', '');"
                            L"INSERT INTO folder VALUES (4, 1), (20, 0), (21, 20), (22, 21);"
                            L"INSERT INTO section VALUES (4, 5), (22, 1), (22, 2)"));
  return path.toStdWString();
}

// The file dialog answering with that file (nothing: cancelled), counting the times it is asked.
struct ChosenFile : platform::FileDialogs {
  explicit ChosenFile(std::optional<std::wstring> path) : path(std::move(path)) {}
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest&) override {
    ++asked;
    // The learner's answer in a file dialog is new: what follows is another action.
    HeldDatabase::nextAction();
    return path;
  }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override {
    return std::nullopt;
  }
  std::optional<std::wstring> path;
  int asked = 0;
};

// A copy of the program's database beside the test's, which knows none of the test's users.
std::wstring freshCopyOfTheProgramsDatabase(const QTemporaryDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  EXPECT_TRUE(QFile::copy(QString::fromStdString(testenv::programDir()) + "/database.klvdb7", path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  return path.toStdWString();
}

// The options' file page given that database path, and OK.
void nameDatabaseInOptions(MainApp& s, const std::wstring& path) {
  ModalAnswers answers({{"id138", [&](QDialog& dialog) {
                           dialog.findChild<QLineEdit*>("database-path")->setText(QString::fromStdWString(path));
                           QTest::mouseClick(dialog.findChild<QPushButton*>("id1"), Qt::LeftButton);
                         }}});
  s.dialog.OnCommand(32826);
}

// Another learner's file, which lacks the chosen set, named in the options; the set chooser it
// opens is cancelled, once. Gives that file.
std::wstring reloadOntoAFileWithoutTheSetAndChooseNone(MainApp& s, const QTemporaryDir& folder) {
  const std::wstring other = anotherLearnersFile(folder);
  s.takeBoxes();
  ModalAnswers answers({{"id236", reject}});
  nameDatabaseInOptions(s, other);
  EXPECT_EQ(answers.seen["id236"], 1);
  return other;
}

}  // namespace

// Another file named in the options is opened and taken up at once, as the reload and start-up do:
// its own user, its own smart-learning list, the chosen set found by its path. Nothing of the file
// before is kept, so nothing is studied as another learner or written into the file before.
TEST(MainDialog, AReloadOntoAnotherFileStudiesForItsUserAndFillsOnlyItsSmartLearningList) {
  QTemporaryDir folder;
  MainApp s;
  s.settings.addToSmartlearninglistAfterLearning.value = true;
  ASSERT_TRUE(s.open());
  ASSERT_EQ(std::pair(s.app.currentUserId, s.app.smartLearningSetId), std::pair(1, 4));
  const std::wstring first = s.databasePath();
  const int firstLogs = s.intValue(L"SELECT count(*) FROM question_log");
  s.settings.webdicInifilePath.value = folder.filePath("webdic.ini").toStdWString();
  s.takeBoxes();
  nameDatabaseInOptions(s, anotherLearnersFile(folder));
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(s.app.db.fileName(), s.settings.databasePath.value);
  const int smartList = pdb3::FindProblemSetByPath(s.accessor(), L"SmartLearning/1");
  EXPECT_EQ(std::tuple(s.app.currentUserId, s.app.currentSetId, s.app.smartLearningSetId), std::tuple(51, 22, smartList));
  const auto questionsOf = [&](int sid) {
    std::vector<int> ids;
    EXPECT_TRUE(pdb3::querySqlfIntList(s.accessor(), ids, L"SELECT qid FROM section WHERE sid=%d ORDER BY qid", sid));
    return ids;
  };

  // The smart page's add and removal work on this file's list.
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  {
    ModalAnswers answers({{"id236", chooseInTree(22)}});
    smart.findChild<QAbstractButton*>("id1324")->click();
  }
  EXPECT_EQ(questionsOf(smartList), (std::vector<int>{1, 2}));
  s.notifier.answer = platform::IdYes;
  {
    ModalAnswers answers({{"id285", [](QDialog& dialog) {
                             auto* list = dialog.findChild<QListWidget*>("id1069");
                             const QList<QListWidgetItem*> apple = list->findItems("Alpha/deep/Apple", Qt::MatchExactly);
                             if (apple.isEmpty()) return reject(dialog);
                             list->setCurrentItem(apple.front());
                             dialog.accept();
                           }}});
    smart.findChild<QAbstractButton*>("id1331")->click();
  }
  s.notifier.answer = platform::IdOk;
  EXPECT_EQ(questionsOf(smartList), std::vector<int>{});

  // A study is this file's user's, and the result window adds its question to this file's list.
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  s.dialog.SetStudyMode(5);
  s.dialog.findChild<QComboBox*>("id1198")->setEditText("1");
  {
    CardStudyDriver driver;
    QTest::keyClick(&s.dialog.modeCombo(), Qt::Key_Return);
    ASSERT_EQ(driver.answered.size(), 1u);
  }
  EXPECT_GT(s.intValue(L"SELECT count(*) FROM question_log WHERE uid=51"), 0);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM question_log WHERE uid<>51"), 0);
  EXPECT_EQ(questionsOf(smartList).size(), 1u);
  EXPECT_EQ(questionsOf(4), std::vector<int>{5});

  // Back to the first file, chosen when the settings' file does not open: its own ids again, and
  // the set chosen now, which that file does not have, chosen anew; the question log lists none of
  // the other file's questions meanwhile.
  {
    ModalAnswers answers({{"id236", chooseInTree(4)}});
    s.dialog.OnCommand(273);
  }
  ASSERT_EQ(s.dialog.setPath(), L"中学生向け問題/英単語の本");
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  ASSERT_EQ(s.dialog.questionLogPage().rowIds(), std::vector<int>{5});
  ChosenFile chosen(first);
  platform::FileDialogOverride use(chosen);
  s.settings.databasePath.value = first + L".gone";
  std::vector<int> listedWhileChoosing{-1};
  ModalAnswers answers({{"id236", [&](QDialog& dialog) {
                           listedWhileChoosing = s.dialog.questionLogPage().rowIds();
                           chooseInTree(kZeta)(dialog);
                         }}});
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(answers.seen["id236"], 1);
  EXPECT_EQ(listedWhileChoosing, std::vector<int>{});
  EXPECT_EQ(s.dialog.setPath(), L"Alpha/zeta");
  EXPECT_EQ(std::tuple(s.app.currentUserId, s.app.currentSetId, s.app.smartLearningSetId),
            std::tuple(1, static_cast<int>(kZeta), 4));
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM question_log"), firstLogs);
}

// A file named in the options that cannot be opened, whatever the cause (a typo, another program's
// file, another version, another program holding it), costs the learner nothing: it is said once
// with its cause and the file, no other file is asked for, the file that was open stays and the
// settings name it for the next start; nothing is made at the path named.
TEST(MainDialog, AFileNamedInTheOptionsThatDoesNotOpenKeepsTheOpenFile) {
  QTemporaryDir folder;
  MainApp s;
  s.settings.webdicInifilePath.value = folder.filePath("webdic.ini").toStdWString();
  ASSERT_TRUE(s.open());
  const std::wstring first = s.databasePath();
  const std::wstring typo = folder.filePath("データベーx.klvdb7").toStdWString();
  const std::wstring foreign = folder.filePath("他のプログラム.klvdb7").toStdWString();
  {
    QFile made(QString::fromStdWString(foreign));
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.close();
    sqliteplus::SqliteConnection notOurs;
    notOurs.open(foreign.c_str());
    notOurs.createQuery()->execute(L"CREATE TABLE notes (text TEXT)");
  }
  const std::wstring older = freshCopyOfTheProgramsDatabase(folder, "古い版.klvdb7");
  const std::wstring held = freshCopyOfTheProgramsDatabase(folder, "使用中.klvdb7");
  {
    sqliteplus::SqliteConnection connection;
    connection.open(older.c_str());
    connection.createQuery()->execute(L"UPDATE version SET version=6");
  }
  const std::wstring notRead = L"データベースファイルが読み込めませんでした。\n";
  const std::wstring kept = L"これまでのデータベースをそのまま使います。";
  const std::vector<std::pair<std::wstring, std::wstring>> named{
      {typo, notRead + missingDatabaseText(typo)},
      {foreign, databaseOpenFailureText(pdb3::FileRefusal::notOurs) + L"\n" + foreign},
      {older, databaseOpenFailureText(pdb3::FileRefusal::otherVersion) + L"\n" + older},
      {held, notRead + kBusyCause + L"\n" + held}};
  ChosenFile chooser(std::nullopt);
  platform::FileDialogOverride use(chooser);
  s.takeBoxes();
  for (const auto& [path, why] : named) {
    std::optional<HeldDatabase> holder;
    if (path == held) holder.emplace(held);
    nameDatabaseInOptions(s, path);
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: " + why + L"\n" + kept + L"\n");
    EXPECT_EQ(chooser.asked, 0);
    EXPECT_TRUE(s.dialog.isVisible());
    EXPECT_EQ(s.app.db.fileName(), first);
    EXPECT_EQ(s.settings.databasePath.value, first);
    HeldDatabase::nextAction();
  }
  AppSettings stored(L"KLV7");
  stored.loadAll();
  EXPECT_EQ(stored.databasePath.value, first);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdWString(typo)));
  EXPECT_EQ(std::tuple(s.app.currentUserId, s.app.currentSetId, s.app.exitCode), std::tuple(1, kApple, 0));
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  EXPECT_EQ(s.dialog.questionLogPage().rowIds(), (std::vector<int>{1, 2, 31}));
  EXPECT_EQ(s.takeBoxes(), L"");

  // The open file moved away since is no file to go on with: another is asked for in place of the
  // typo, and the learner who gives that up ends the run as without a database.
  ASSERT_TRUE(QFile::rename(QString::fromStdWString(first), QString::fromStdWString(first + L".moved")));
  HeldDatabase::nextAction();
  const int asked = chooser.asked;
  nameDatabaseInOptions(s, typo);
  EXPECT_EQ(chooser.asked, asked + 1);
  EXPECT_TRUE(s.takeBoxes().starts_with(L"Error!: " + notRead + missingDatabaseText(typo) + L"\n"));
  EXPECT_FALSE(s.dialog.isVisible());
  EXPECT_EQ(s.app.exitCode, ExitDatabaseNotOpened);
}

// A file the learner is new to is taken up on a connection of its own before it takes the place of
// the one open: a learner who gives up registering there, while another program holds it or the disk
// is full, goes on with the file open before, its user, set and pages as they were. Tried again once
// the cause has gone, the file is taken up.
TEST(MainDialog, AFileTheLearnerIsNewToIsTakenUpBeforeItReplacesTheOpenOne) {
  QTemporaryDir folder;
  MainApp s;
  s.settings.webdicInifilePath.value = folder.filePath("webdic.ini").toStdWString();
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  const std::wstring first = s.databasePath();
  const std::wstring fresh = freshCopyOfTheProgramsDatabase(folder, "新しい.klvdb7");
  const std::wstring notRegistered = L"Kelvara: 利用者をデータベースに登録できませんでした。\n";
  const std::wstring notReopened = L"Kelvara: データベースを開き直せませんでした。これまでのデータベースをそのまま使います。\n";
  const auto stillOnTheFirstFile = [&] {
    EXPECT_TRUE(s.dialog.isVisible());
    EXPECT_EQ(s.app.db.fileName(), first);
    EXPECT_EQ(s.settings.databasePath.value, first);
    EXPECT_EQ(std::tuple(s.app.currentUserId, s.app.currentSetId, s.app.smartLearningSetId, s.app.exitCode),
              std::tuple(1, kApple, 4, 0));
    EXPECT_EQ(s.dialog.questionLogPage().rowIds(), (std::vector<int>{1, 2, 31}));
  };
  s.takeBoxes();
  s.notifier.answer = platform::IdCancel;
  {
    HeldDatabase writer(fresh, L"BEGIN IMMEDIATE");
    nameDatabaseInOptions(s, fresh);
  }
  EXPECT_EQ(s.takeBoxes(), notRegistered + kBusyCause + L"\n" + notReopened + kBusyCause + L"\n");
  stillOnTheFirstFile();

  // A reload whose own file has gone asks for another: the file chosen is taken up apart as well.
  {
    HeldDatabase writer(fresh, L"BEGIN IMMEDIATE");
    ChosenFile chooser(fresh);
    const platform::FileDialogOverride useDialogs(chooser);
    s.settings.databasePath.value = folder.filePath("消えた.klvdb7").toStdWString();
    HeldDatabase::nextAction();
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    EXPECT_EQ(chooser.asked, 1);
  }
  EXPECT_TRUE(s.takeBoxes().ends_with(L"次のダイアログでデータベースファイルを指定してください。\n" + notRegistered +
                                      kBusyCause + L"\n" + notReopened + kBusyCause + L"\n"));
  stillOnTheFirstFile();

  testdb::FaultyVfs disk;
  disk.limitDisk(0);
  nameDatabaseInOptions(s, fresh);
  EXPECT_EQ(s.takeBoxes(), notRegistered + kFullCause + L"\n" + notReopened + kFullCause + L"\n");
  stillOnTheFirstFile();
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM user_info"), 1);

  // Space freed while the box is up: the learner's 再試行 registers the user there. Until the file
  // is taken up, a run ended meanwhile starts again on the first file; the settings name the new
  // one from then on.
  HeldDatabase::nextAction();
  // As the next start reads it (a full read of the settings would ask for what it lacks).
  const auto storedPath = [] {
    platform::RegistryKey config;
    config.open(platform::RegistryRoot::CurrentUser, L"Software\\Tarvo Presents\\KLV7\\config", false);
    const std::optional<platform::RegistryValue> path = config.value(L"database-path");
    return path ? path->text : std::wstring(L"<none>");
  };
  std::wstring storedWhileAsked;
  s.notifier.whileShown = [&](const std::wstring&) {
    storedWhileAsked = storedPath();
    disk.limitDisk(std::nullopt);
    return platform::IdRetry;
  };
  ModalAnswers answers({{"id236", chooseInTree(2)}});  // the file has no Alpha/deep/Apple
  nameDatabaseInOptions(s, fresh);
  s.notifier.whileShown = nullptr;
  EXPECT_EQ(s.takeBoxes(), notRegistered + kFullCause + L"\n");
  EXPECT_EQ(storedWhileAsked, first);
  EXPECT_EQ(storedPath(), fresh);
  EXPECT_EQ(s.app.db.fileName(), fresh);
  EXPECT_EQ(s.app.currentUserId, s.intValue(L"SELECT uid FROM user_info WHERE name='tester'"));
  EXPECT_GE(s.app.currentUserId, 0);
  EXPECT_EQ(s.dialog.setPath(), L"中学生向け問題/中学校 学校・教室などの単語");
}

// A reload onto a file without the chosen set asks for one there; a learner who chooses none stays
// on that file with no set chosen and is told so: the set's commands are off, as for a folder,
// until a set is chosen.
TEST(MainDialog, AReloadOntoAFileWithoutTheChosenSetStaysThereWithNoSetChosen) {
  QTemporaryDir folder;
  MainApp s(L"Alpha/zeta");
  s.settings.webdicInifilePath.value = folder.filePath("webdic.ini").toStdWString();
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  const std::wstring other = reloadOntoAFileWithoutTheSetAndChooseNone(s, folder);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: このデータベースには問題集「Alpha/zeta」がありません。\n"
                           L"問題集を選択するまで、問題集を使うコマンドは使えません。\n");
  EXPECT_TRUE(s.dialog.isVisible());
  EXPECT_EQ(s.app.db.fileName(), other);
  EXPECT_EQ(s.app.currentUserId, 51);
  EXPECT_TRUE(s.dialog.folderSelected());
  EXPECT_FALSE(s.dialog.commandEnabled(32787));
  EXPECT_FALSE(s.control(1015)->isEnabled());
  QTest::keyClick(&s.dialog, Qt::Key_F7);
  EXPECT_EQ(s.takeBoxes(), L"");
  // No set of the file before is read here under its old id; the smart-learning page studies its
  // own list, and the pages back from it have no set again.
  EXPECT_EQ(s.app.currentSetId, -1);
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  EXPECT_EQ(s.app.currentSetId, s.app.smartLearningSetId);
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  EXPECT_EQ(s.app.currentSetId, -1);
  EXPECT_EQ(s.dialog.setPage().infoList().item(0, 1)->text().toStdWString(), L"");
  EXPECT_FALSE(s.dialog.commandEnabled(32787));
  EXPECT_EQ(s.takeBoxes(), L"");

  {
    ModalAnswers answers({{"id236", chooseInTree(22)}});
    EXPECT_TRUE(s.dialog.OnCommand(273));
  }
  EXPECT_EQ(s.dialog.setPath(), L"Alpha/deep/Apple");
  EXPECT_EQ(s.app.currentSetId, 22);
  EXPECT_TRUE(s.dialog.commandEnabled(32787));
  EXPECT_TRUE(s.control(1015)->isEnabled());

  // A set the reloaded file could not give for now is not missing: why is said, and no other set
  // is asked for. The fault stops the walk to the set on the connection the reload opens.
  struct SetUnread {
    static int stop(unsigned, void* db, void*, void* sql) {
      if (std::string(static_cast<const char*>(sql)).find("'Apple'") != std::string::npos)
        sqlite3_interrupt(static_cast<sqlite3*>(db));
      return 0;
    }
    static int watch(sqlite3* db, const char**, const sqlite3_api_routines*) {
      sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &stop, db);
      return SQLITE_OK;
    }
    SetUnread() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&watch)); }
    ~SetUnread() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&watch)); }
  };
  {
    const SetUnread fault;
    ModalAnswers answers({{"id236", reject}});
    HeldDatabase::nextAction();
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    EXPECT_EQ(answers.seen["id236"], 0);
  }
  EXPECT_TRUE(s.takeBoxes().starts_with(L"Kelvara: 問題集を読み込めませんでした。\n"));
  EXPECT_TRUE(s.dialog.isVisible());
  EXPECT_TRUE(s.dialog.folderSelected());
  EXPECT_FALSE(s.dialog.commandEnabled(32787));
}

// With no set chosen the window works whole: the recent list names none of its paths as the chosen
// one, so that its first entry is picked as any other; a chooser cancelled again chooses none; a
// reload looks for no set and names none; nothing prints, exports or makes a set beside none, and
// the status bar asks for a set.
TEST(MainDialog, WithNoSetChosenEveryRecentPathCanBePickedAndNothingClaimsASet) {
  QTemporaryDir folder;
  MainApp s(L"Alpha/zeta");
  s.settings.webdicInifilePath.value = folder.filePath("webdic.ini").toStdWString();
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  const std::wstring other = reloadOntoAFileWithoutTheSetAndChooseNone(s, folder);
  s.takeBoxes();
  ASSERT_EQ(s.recentEntries().value(0).toStdWString(), L"Alpha/zeta");
  const auto noSetChosen = [&](const char* after) {
    EXPECT_EQ(s.dialog.recentCombo().currentIndex(), -1) << after;
    EXPECT_EQ(s.dialog.setPath(), L"") << after;
    EXPECT_EQ(s.app.currentSetId, -1) << after;
    EXPECT_FALSE(s.dialog.commandEnabled(199)) << after;
    EXPECT_FALSE(s.dialog.findChild<QWidget*>("button199")->isEnabled()) << after;
    // The export would name its file after no set, and the new set would go into no folder.
    ModalAnswers asked({{"id275", reject}, {"id283", reject}});
    for (int id : {270, 32855}) {
      EXPECT_FALSE(s.dialog.commandEnabled(id)) << after << ", " << id;
      EXPECT_FALSE(s.dialog.OnCommand(id)) << after << ", " << id;
    }
    EXPECT_EQ(asked.seen["id275"] + asked.seen["id283"], 0) << after;
    EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"学習する問題集を選択してください") << after;
  };
  noSetChosen("the reload");
  const auto cardToolOpens = [&] {
    ModalAnswers answers({{"id280", reject}});
    QTest::keyClick(&s.dialog, Qt::Key_W, Qt::ControlModifier);
    return answers.seen["id280"] == 1;
  };
  EXPECT_FALSE(cardToolOpens());
  {
    ModalAnswers answers({{"id236", reject}});
    EXPECT_TRUE(s.dialog.OnCommand(273));
    EXPECT_EQ(answers.seen["id236"], 1);
  }
  noSetChosen("the chooser cancelled");
  {
    ModalAnswers answers({{"id236", reject}});
    HeldDatabase::nextAction();
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    EXPECT_EQ(answers.seen["id236"], 0);
  }
  EXPECT_EQ(s.takeBoxes(), L"");
  noSetChosen("a second reload");

  // The set the editor has added to the file since is picked by the list's first entry.
  s.run(L"INSERT INTO element_info VALUES (40, 2, 'zeta', '', '', '', 0, 1704067200, '', '')");
  s.run(L"INSERT INTO folder VALUES (40, 20)");
  s.run(L"INSERT INTO section VALUES (40, 5)");
  s.dialog.recentCombo().setFocus();
  QTest::keyClick(&s.dialog.recentCombo(), Qt::Key_Down);
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(s.dialog.setPath(), L"Alpha/zeta");
  EXPECT_EQ(s.app.currentSetId, 40);
  EXPECT_EQ(s.dialog.recentCombo().currentIndex(), 0);
  EXPECT_EQ(s.recentEntries().count(QString::fromStdWString(L"Alpha/zeta")), 1);
  EXPECT_FALSE(s.dialog.folderSelected());
  EXPECT_EQ(s.dialog.questionCount(), 1);
  EXPECT_TRUE(s.dialog.commandEnabled(199));
  EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"『覚える』ボタンを押して学習を始めましょう");
  EXPECT_TRUE(cardToolOpens());
  {
    ModalAnswers asked({{"id275", reject}, {"id283", reject}});
    EXPECT_TRUE(s.dialog.OnCommand(270));
    EXPECT_TRUE(s.dialog.OnCommand(32855));
    EXPECT_EQ(std::pair(asked.seen["id275"], asked.seen["id283"]), std::pair(1, 1));
  }
}

// The chooser gives the window the very set chosen, though its path leads to another element as
// well (a set named "Alpha/zeta" at the top beside the folder Alpha holding zeta); the settings keep
// the path, and every page shown later studies the same set.
TEST(MainDialog, TheChooserGivesTheSetItChoseWhereAnotherHasTheSamePath) {
  MainApp s;
  s.run(L"INSERT INTO element_info VALUES(20, 2, 'Alpha/zeta', '', '', '', 0, 0, '', '')");
  s.run(L"INSERT INTO folder VALUES(20, 0)");
  s.run(L"INSERT INTO section VALUES (20, 30)");
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  {
    ModalAnswers answers({{"id236", chooseInTree(20)}});
    EXPECT_TRUE(s.dialog.OnCommand(273));
    ASSERT_EQ(answers.seen["id236"], 1);
  }
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(s.dialog.setPath(), L"Alpha/zeta");
  EXPECT_EQ(s.settings.lastSection.value, L"Alpha/zeta");
  EXPECT_EQ(s.app.currentSetId, 20);
  EXPECT_EQ(s.dialog.questionCount(), 1);
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  EXPECT_EQ(s.app.currentSetId, 20);
  std::vector<int> ids;
  EXPECT_TRUE(s.dialog.SelectStudyQuestions(ids));
  EXPECT_EQ(ids, std::vector<int>{30});
}

// The settings name a file chosen for a reload only once it has taken the place of the file open:
// a run ended while the learner is asked to try registering there again starts next time on the
// file that was open, not on one never taken up.
TEST(MainDialog, AFileChosenForAReloadIsStoredOnceItReplacedTheOpenOne) {
  QTemporaryDir folder;
  MainApp s;
  s.settings.webdicInifilePath.value = folder.filePath("webdic.ini").toStdWString();
  ASSERT_TRUE(s.open());
  const std::wstring first = s.databasePath();
  const std::wstring fresh = freshCopyOfTheProgramsDatabase(folder, "新しい.klvdb7");
  ASSERT_TRUE(s.settings.saveAll());
  const auto storedFile = [] {
    ChosenFile noFile(std::nullopt);  // the files the settings name that are not there stay so
    const platform::FileDialogOverride useDialogs(noFile);
    AppSettings stored(L"KLV7");
    stored.loadAll();
    return stored.databasePath.value;
  };
  ASSERT_EQ(storedFile(), first);

  std::optional<HeldDatabase> writer;
  writer.emplace(fresh, L"BEGIN IMMEDIATE");
  ChosenFile chooser(fresh);
  const platform::FileDialogOverride useDialogs(chooser);
  std::optional<std::wstring> storedWhileAsked;
  s.notifier.whileShown = [&](const std::wstring& text) {
    if (text.find(L"利用者をデータベースに登録できませんでした。") == std::wstring::npos) return platform::IdOk;
    if (storedWhileAsked) return platform::IdCancel;  // asked once only
    storedWhileAsked = storedFile();
    writer.reset();  // the other program lets go while the box is up
    return platform::IdRetry;
  };
  ModalAnswers answers({{"id236", reject}});  // the file has no Alpha/deep/Apple
  s.settings.databasePath.value = folder.filePath("消えた.klvdb7").toStdWString();
  HeldDatabase::nextAction();
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  s.notifier.whileShown = nullptr;
  EXPECT_EQ(chooser.asked, 1);
  EXPECT_EQ(storedWhileAsked, first);
  EXPECT_EQ(s.app.db.fileName(), fresh);
  EXPECT_EQ(storedFile(), fresh);
}

// A file that will not take the smart-learning list says so once, with its cause, and is studied
// without it; one that will not take the settings' user is not studied as anybody: the window
// closes, as a start refused for it ends.
TEST(MainDialog, AReloadedFileThatRefusesTheListOrTheUserSaysWhyOnce) {
  QTemporaryDir folder;
  MainApp s;
  ASSERT_TRUE(s.open());
  const std::wstring other = anotherLearnersFile(folder);
  {
    sqliteplus::SqliteConnection connection;
    ASSERT_TRUE(pdb3::openDatabaseFile(connection, other));
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(connection),
                              L"CREATE TRIGGER fixed BEFORE INSERT ON element_info BEGIN SELECT RAISE(ABORT, '問題集は増やせません'); END;"
                              L"CREATE TRIGGER closed BEFORE INSERT ON user_info BEGIN SELECT RAISE(ABORT, '利用者は増やせません'); END"));
  }
  s.settings.databasePath.value = other;
  s.takeBoxes();
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: " + std::wstring(kSmartLearningUnavailable) + L"\n問題集は増やせません\n");
  EXPECT_EQ(std::pair(s.app.currentUserId, s.app.smartLearningSetId), std::pair(51, -1));
  EXPECT_TRUE(s.dialog.isVisible());

  // While the file open before is still at its path, the learner goes on with it.
  s.settings.userName.value = L"newcomer";
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 利用者をデータベースに登録できませんでした。\n利用者は増やせません\n"
                           L"Kelvara: データベースを開き直せませんでした。これまでのデータベースをそのまま使います。\n"
                           L"利用者は増やせません\n");
  EXPECT_EQ(std::pair(s.app.currentUserId, s.app.exitCode), std::pair(51, static_cast<int>(ExitNormal)));
  EXPECT_TRUE(s.dialog.isVisible());

  // Put in its place, the file there is the only one to go on with.
  const QString copy = QString::fromStdWString(other) + ".copy";
  ASSERT_TRUE(QFile::copy(QString::fromStdWString(other), copy));
  std::filesystem::rename(copy.toStdString(), QString::fromStdWString(other).toStdString());
  HeldDatabase::nextAction();
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 利用者をデータベースに登録できませんでした。\n利用者は増やせません\n");
  EXPECT_EQ(s.app.currentUserId, -1);
  EXPECT_FALSE(s.dialog.isVisible());
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
  EXPECT_EQ(s.app.exitCode, ExitDataUnusable);
}

// Another program writing to the file while it is taken up (it may still be read): the smart list
// that could not be made is said with its cause and made when next needed, never called
// unavailable; a user new to the file is offered to be tried again at once, and on the learner's
// word is. Only a learner who gives up on the user closes the window.
TEST(MainDialog, AFileHeldForWritingWhileItIsTakenUpIsAskedForAgain) {
  QTemporaryDir folder;
  MainApp s;
  ASSERT_TRUE(s.open());
  const std::wstring other = anotherLearnersFile(folder);
  s.settings.databasePath.value = other;
  const std::wstring notMade =
      L"Kelvara: スマート学習リスト（SmartLearning/1）をデータベースに作成できませんでした。\n" + kBusyCause + L"\n";
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  {
    HeldDatabase writer(other, L"BEGIN IMMEDIATE");
    s.takeBoxes();
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    EXPECT_EQ(std::pair(s.app.currentUserId, s.app.smartLearningSetId), std::pair(51, -1));
    HeldDatabase::nextAction();
    QTest::keyClick(&s.dialog, Qt::Key_F6);
    HeldDatabase::nextAction();
    smart.findChild<QAbstractButton*>("id1324")->click();
    EXPECT_EQ(s.takeBoxes(), notMade + notMade + notMade);  // the reload, the page, its add
  }
  {
    ModalAnswers answers({{"id236", chooseInTree(22)}});
    smart.findChild<QAbstractButton*>("id1324")->click();
  }
  const int smartList = pdb3::FindProblemSetByPath(s.accessor(), L"SmartLearning/1");
  EXPECT_EQ(std::pair(s.app.smartLearningSetId, s.app.currentSetId), std::pair(smartList, smartList));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 2 個の問題を追加しました\n");

  // The user is tried again on the learner's word, with a wait of its own for the other program,
  // which lets go a moment after the click; a learner who gives up goes on with the file as it was.
  for (const int answer : {platform::IdRetry, platform::IdCancel}) {
    s.settings.userName.value = answer == platform::IdRetry ? L"newcomer" : L"latecomer";
    std::optional<HeldDatabase> writer(std::in_place, other, L"BEGIN IMMEDIATE");
    sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(800));
    std::optional<testdb::LetGoOnceWaitedFor> lettingGo;
    bool asked = false;
    s.notifier.whileShown = [&](const std::wstring&) {
      if (answer == platform::IdRetry && !asked) {
        // The other program lets go once the retry waits for it, and the retry waits as long as
        // a busy machine takes to get there.
        lettingGo.emplace([&] { writer->release(); });
        sqliteplus::setBusyWaitLimit(testwait::kPatience);
      }
      asked = true;  // the box that asks; a cancel is then said in one more
      return answer;
    };
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    lettingGo.reset();
    writer.reset();
    const std::wstring kept =
        answer == platform::IdRetry
            ? L""
            : L"Kelvara: データベースを開き直せませんでした。これまでのデータベースをそのまま使います。\n" + kBusyCause + L"\n";
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 利用者をデータベースに登録できませんでした。\n" + kBusyCause + L"\n" + kept);
    EXPECT_TRUE(s.dialog.isVisible());
    EXPECT_EQ(s.app.exitCode, ExitNormal);
  }
  s.notifier.whileShown = nullptr;
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM user_info WHERE name IN ('newcomer', 'latecomer')"), 1);
  EXPECT_EQ(s.app.currentUserId, s.intValue(L"SELECT uid FROM user_info WHERE name='newcomer'"));
}

// Another program holding the file past the wait is no reason to leave it: a reload that cannot
// open the file for now, the one open or another the settings name (as the options do), keeps the
// file that is open, says why, and the settings name that file again. A file a sync tool put in
// place of the open one is said as replaced, and the reload opens it.
TEST(MainDialog, AReloadKeepsTheOpenFileWhileHeldAndOpensOneReplacedAtItsPath) {
  const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");  // nobody chooses another file
  QTemporaryDir folder;
  MainApp s;
  ASSERT_TRUE(s.open());
  const std::wstring first = s.databasePath(), other = anotherLearnersFile(folder);
  s.takeBoxes();
  for (const std::wstring& named : {first, other}) {
    HeldDatabase held(named);
    s.settings.databasePath.value = named;
    ASSERT_TRUE(s.settings.saveAll());
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: データベースを開き直せませんでした。これまでのデータベースをそのまま使います。\n" +
                                 kBusyCause + L"\n");
    EXPECT_EQ(s.settings.databasePath.value, first);
  }
  AppSettings stored(L"KLV7");
  stored.loadAll();
  EXPECT_EQ(stored.databasePath.value, first);
  EXPECT_TRUE(s.dialog.isVisible());
  EXPECT_EQ(std::pair(s.app.currentUserId, s.app.exitCode), std::pair(1, static_cast<int>(ExitNormal)));

  // A full disk keeps a file from its upgrade for now: so too the file open stays, said with the cause.
  const std::wstring older = freshCopyOfTheProgramsDatabase(folder, "古い.klvdb7");
  {
    sqliteplus::SqliteConnection connection;
    connection.open(older.c_str());
    connection.createQuery()->execute(L"DROP TABLE memory_rate; UPDATE version SET subversion=1");
  }
  {
    testdb::FaultyVfs disk;
    disk.limitDisk(0);
    s.settings.databasePath.value = older;
    EXPECT_TRUE(s.dialog.OnCommand(1025));
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: データベースを開き直せませんでした。これまでのデータベースをそのまま使います。\n" +
                                 kFullCause + L"\n");
    EXPECT_EQ(std::pair(s.app.db.fileName(), s.settings.databasePath.value), std::pair(first, first));
    EXPECT_TRUE(s.dialog.isVisible());
  }

  std::filesystem::rename(QString::fromStdWString(other).toStdString(), QString::fromStdWString(first).toStdString());
  EXPECT_LT(pdb3::insertUser(s.accessor(), L"written-after"), 0);
  EXPECT_EQ(databaseFailureText(L"-"), L"-\n" + replacedDatabaseText(first));
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(std::pair(s.app.currentUserId, s.app.currentSetId), std::pair(51, 22));

  // A file put in place of the open one and held there leaves no file to go on with: every save in
  // the one open would fail. The file held is tried again on the learner's word, and taken up once
  // the other program lets go; the learner who gives up ends the run as without a database.
  const std::wstring notKept =
      L"Kelvara: データベースを開き直せませんでした。これまでのデータベースは移動、削除または置き換えられたため、使えません。\n" +
      kBusyCause + L"\n";
  for (const int answer : {platform::IdRetry, platform::IdCancel}) {
    const std::wstring another = anotherLearnersFile(folder);
    std::optional<HeldDatabase> holder(std::in_place, another);
    std::filesystem::rename(QString::fromStdWString(another).toStdString(), QString::fromStdWString(first).toStdString());
    s.notifier.whileShown = [&](const std::wstring&) {
      if (answer == platform::IdRetry) holder->release();
      return answer;
    };
    s.dialog.OnCommand(1025);
    s.notifier.whileShown = nullptr;
    holder.reset();
    EXPECT_EQ(s.takeBoxes(), notKept);
    EXPECT_EQ(s.dialog.isVisible(), answer == platform::IdRetry);
    EXPECT_EQ(s.settings.databasePath.value, first);
    if (answer == platform::IdRetry) {
      EXPECT_GT(pdb3::insertUser(s.accessor(), L"saved-after-the-wait"), 0);
    }
  }
  EXPECT_EQ(s.app.exitCode, ExitDatabaseNotOpened);
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
}

// A reload that finds the file without its memory-rate table (an index holds the name) says why,
// once. The smart page shown then, every refresh after it and what studies from the smart list read
// no rates and blame the file for nothing: what needs smart learning says that it cannot be used.
TEST(MainDialog, AfterAReloadWithoutTheMemoryRateTableNoRefreshBlamesTheFile) {
  MainApp s;
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", s.app.smartLearningSetId,
                         s.app.smartLearningSetId));
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  ASSERT_EQ(smart.shownIds(), (std::vector<int>{1, 2}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !smart.levelCalculator().running(); }, 30000));
  s.takeBoxes();
  ASSERT_TRUE(pdb3::execSql(s.accessor(), L"DROP TABLE memory_rate; UPDATE version SET subversion=1;"
                                          L"CREATE INDEX memory_rate ON question (qid)"));
  EXPECT_TRUE(s.dialog.OnCommand(1025));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: " + missingMemoryRatesText(pdb3::MemoryRateTable::nameTaken) + L"\n");
  EXPECT_TRUE(smart.shownIds().empty());
  for (Qt::Key page : {Qt::Key_F2, Qt::Key_F6}) {
    QTest::keyClick(&s.dialog, page);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.takeBoxes(), L"") << page;
  }
  EXPECT_TRUE(s.dialog.OnCommand(32787));  // the next study's questions, in the open's words
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: " + missingMemoryRatesText(pdb3::MemoryRateTable::nameTaken) + L"\n");
}

TEST(MainDialog, TheQuestionLogReadsItsListWhenItShows) {
  MainApp s;
  ASSERT_TRUE(s.open());
  // Read on page 0 the log's list stays empty until the page shows; a set chosen while it shows
  // is read at once.
  CTabpageQuestionlog& log = s.dialog.questionLogPage();
  EXPECT_TRUE(log.rowIds().empty());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  EXPECT_EQ(log.rowIds(), (std::vector<int>{1, 2, 31}));
  {
    ModalAnswers answers({{"id236", chooseInTree(kZeta)}});
    s.dialog.OnCommand(273);
    EXPECT_EQ(log.rowIds(), (std::vector<int>{1, 30}));
  }
  // A folder empties it for good.
  ModalAnswers answers({{"id236", chooseInTree(kDeep)}});
  s.dialog.OnCommand(273);
  EXPECT_TRUE(log.rowIds().empty());
  QTest::keyClick(&s.dialog, Qt::Key_F2);
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  EXPECT_TRUE(log.rowIds().empty());
}

// Questions 1 and 2 on the smart-learning list, the first one with a memory rate from yesterday:
// what the smart page and its level worker have to read.
void listTwoQuestionsForSmartLearningOneStudiedADayAgo(MainApp& s) {
  const int binder = s.app.smartLearningSetId;
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", binder, binder));
  s.run(platform::format(L"INSERT INTO memory_rate VALUES (1, %d, 80, 1, %d, 0, 0, 0, 0, 0, 0, 0, 0, 0)",
                         s.app.currentUserId, static_cast<int>(platform::nowSeconds() - 86400)));
}

// A refresh under another program's lock (here the options closed while it holds the file) leaves
// the pages without what they show: the question log without rows and its count unknown, the smart
// page shown first under it without rows, choice or level counts, and refreshed under it with its
// counts unknown and an empty bar. Once the file is free the page on screen fills by itself, soon,
// without a word and with no input.
TEST(MainDialog, PagesALockEmptiedFillByThemselvesOnceTheFileIsFree) {
  MainApp s;
  listTwoQuestionsForSmartLearningOneStudiedADayAgo(s);
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  CTabpageQuestionlog& log = s.dialog.questionLogPage();
  ASSERT_EQ(log.rowIds(), (std::vector<int>{1, 2, 31}));
  const int questions = s.dialog.questionCount();
  ASSERT_GT(questions, 0);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  // The level history's worker reads on a connection of its own, at idle priority: another program
  // takes the file only once it has let go, and what it says is waited for before the boxes are read.
  const auto levelsCounted = [&] { return !smart.levelCalculator().running(); };
  std::optional<HeldDatabase> held;
  const auto hold = [&] {
    ASSERT_TRUE(QTest::qWaitFor(levelsCounted, 60000));
    held.emplace(s.databasePath());
  };
  const auto closeOptionsWhileHeld = [&] {
    ASSERT_TRUE(QTest::qWaitFor(levelsCounted, 60000));
    ModalAnswers options({{"id138", [&](QDialog& dialog) {
                             held.emplace(s.databasePath());
                             QTimer::singleShot(0, &dialog, &QDialog::accept);
                           }}});
    QTest::keyClick(&s.dialog, Qt::Key_F12);
    EXPECT_EQ(options.seen["id138"], 1);
  };
  const std::wstring unread = L"Kelvara: 問題集の学習履歴を読み込めませんでした。\n" + kBusyCause + L"\n";
  closeOptionsWhileHeld();
  EXPECT_TRUE(s.takeBoxes().ends_with(unread));  // after what the options could not keep in this folder
  EXPECT_EQ(std::pair(log.listRowCount(), s.dialog.questionCount()), std::pair(0, -1));  // "/ -"
  held.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.listRowCount() == 3 && s.dialog.questionCount() == questions; }, 60000));
  EXPECT_EQ(log.rowIds(), (std::vector<int>{1, 2, 31}));
  EXPECT_EQ(s.takeBoxes(), L"");

  // A quarter along the bar {100, H - 40, W - 150, H - 20}: the list's learned half, at level 1.
  const auto barColour = [&] {
    const QImage image = smart.paintImage();
    return platform::fromPixel(image.pixel(100 + (smart.width() - 250) / 4, smart.height() - 30));
  };
  hold();
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: スマート学習リストの問題を読み込めませんでした。\n" + kBusyCause + L"\n");
  EXPECT_TRUE(smart.shownIds().empty());
  EXPECT_EQ(barColour(), platform::rgb(255, 255, 255));
  held.reset();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return smart.shownIds() == std::vector<int>{1, 2} && barColour() == smart::LevelColors[1] && levelsCounted();
      },
      60000));
  EXPECT_EQ(std::pair(smart.rowImage(0), smart.rowImage(1)), std::pair(1, 1)) << "the next study is chosen";
  EXPECT_EQ(s.takeBoxes(), L"");

  closeOptionsWhileHeld();
  QCoreApplication::processEvents();  // the rows' word comes once the input is over
  EXPECT_TRUE(s.takeBoxes().ends_with(L"Kelvara: スマート学習リストの問題を読み込めませんでした。\n" + kBusyCause + L"\n"));
  EXPECT_EQ(barColour(), platform::rgb(255, 255, 255));
  held.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return barColour() == smart::LevelColors[1] && levelsCounted(); }, 60000));
  EXPECT_EQ(s.takeBoxes(), L"");

  // The page's own commands under the lock: the list shown in the other mode, and the counts of
  // another period.
  QAbstractButton* allOrChosen = smart.findChild<QAbstractButton*>("id1327");
  allOrChosen->click();  // the next study's questions, which the page holds
  hold();
  allOrChosen->click();
  EXPECT_TRUE(smart.shownIds().empty());
  s.takeBoxes();
  held.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return smart.shownIds().size() == 2 && levelsCounted(); }, 60000));
  EXPECT_TRUE(smart.allMode());
  hold();
  smart.findChild<QComboBox*>("id1330")->setCurrentIndex(0);
  EXPECT_EQ(barColour(), platform::rgb(255, 255, 255));
  s.takeBoxes();
  held.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return barColour() == smart::LevelColors[1] && levelsCounted(); }, 60000));
  EXPECT_EQ(s.takeBoxes(), L"");
}

// The level history's worker counts on a connection of its own: one that meets a failing disk
// (the window's own reads go on) says so once, and the history is counted again by itself while
// the page shows, without a word for the tries that fail too; once the disk reads again the graph
// shows it, with no page switch.
TEST(MainDialog, ALevelHistoryItsWorkerCouldNotCountIsCountedAgainByItself) {
  MainApp s;
  listTwoQuestionsForSmartLearningOneStudiedADayAgo(s);
  ASSERT_TRUE(s.open());
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  QSignalSpy finished(&smart.levelCalculator(), &smart::LevelCalculator::finished);
  testdb::FaultyVfs disk;  // the worker's connection, opened from now on
  disk.failReads(SQLITE_IOERR_READ);
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() >= 1; }, 60000));
  EXPECT_FALSE(smart.levelCalculator().counted());
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" +
                               std::wstring(databaseFailureCause(sqliteplus::EngineFailure::other)) + L"\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() >= 3; }, 60000)) << "counted again by itself";
  EXPECT_EQ(s.takeBoxes(), L"");
  disk.failReads(std::nullopt);
  ASSERT_TRUE(QTest::qWaitFor([&] { return smart.levelCalculator().counted(); }, 60000));
  EXPECT_EQ(smart.levelCalculator().table()[30][0], 1);
  EXPECT_EQ(s.takeBoxes(), L"");
}

// A refresh whose question-log list alone could not be read (the disk failed that read, and again
// the first time it is tried by itself) says so once, and the list fills by itself once the file
// reads again.
TEST(MainDialog, ARefreshThatCouldNotReadTheQuestionLogAloneSaysItAndFillsIt) {
  MainApp s;
  testdb::FaultyVfs disk;
  s.app.db.open(s.databasePath().c_str());
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  CTabpageQuestionlog& log = s.dialog.questionLogPage();
  ASSERT_EQ(log.rowIds(), (std::vector<int>{1, 2, 31}));
  s.takeBoxes();
  // The list's read is the refresh's only one that asks for the file's change count: its first two
  // fail, and nothing else does.
  struct FailedReads {
    testdb::FaultyVfs& disk;
    int left = 2;
    bool failing = false;
  } reads{disk};
  sqlite3_trace_v2(
      s.app.db.engineHandle(), SQLITE_TRACE_STMT,
      [](unsigned, void* context, void*, void* sql) {
        auto& reads = *static_cast<FailedReads*>(context);
        const bool listRead = std::string_view(static_cast<const char*>(sql)).starts_with("PRAGMA data_version");
        if (listRead && reads.left > 0) {
          --reads.left;
          reads.failing = true;
          reads.disk.failReads(SQLITE_IOERR_READ);
        } else if (reads.failing && !listRead) {
          reads.failing = false;
          reads.disk.failReads(std::nullopt);
        }
        return 0;
      },
      &reads);
  s.dialog.RefreshPages();
  EXPECT_EQ(reads.left, 1);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集の学習履歴を読み込めませんでした。\n" +
                               std::wstring(databaseFailureCause(sqliteplus::EngineFailure::other)) + L"\n");
  EXPECT_TRUE(log.rowIds().empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.rowIds() == std::vector<int>{1, 2, 31}; }, 60000));
  EXPECT_EQ(reads.left, 0);
  EXPECT_EQ(s.takeBoxes(), L"");
  sqlite3_trace_v2(s.app.db.engineHandle(), 0, nullptr, nullptr);
  s.app.db.close();
}

// The options' OK with a database path that does not open beside another change: the file that was
// open stays, and the pages show the other change as after every options dialog.
TEST(MainDialog, AMistypedDatabasePathBesideAnotherOptionStillShowsTheOther) {
  QTemporaryDir folder;
  MainApp s;
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F3);  // the learning page
  auto* count = s.dialog.learningPage().findChild<QComboBox*>("id1198");
  ASSERT_EQ(count->currentText(), "2");
  const std::wstring typo = folder.filePath("データベーx.klvdb7").toStdWString();
  ModalAnswers answers({{"id138", [&](QDialog& dialog) {
                           dialog.findChild<NumberEdit*>("default-question-count")->setNumber(1);
                           dialog.findChild<QLineEdit*>("database-path")->setText(QString::fromStdWString(typo));
                           QTest::mouseClick(dialog.findChild<QPushButton*>("id1"), Qt::LeftButton);
                         }}});
  s.dialog.OnCommand(32826);
  EXPECT_EQ(answers.seen["id138"], 1);
  EXPECT_TRUE(s.takeBoxes().ends_with(L"これまでのデータベースをそのまま使います。\n"));
  EXPECT_EQ(s.app.db.fileName(), s.databasePath());
  EXPECT_EQ(count->currentText(), "1");
}

// A question count the learner types on the learning page while a lock keeps its figures unknown
// is what the page studies once the figures fill by themselves.
TEST(MainDialog, ACountTypedWhileALockKeptTheFiguresUnreadStays) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);  // cards, which the driver answers
  QTest::keyClick(&s.dialog, Qt::Key_F3);  // the learning page
  const int questions = s.dialog.questionCount();
  auto* count = s.dialog.learningPage().findChild<QComboBox*>("id1198");
  ASSERT_EQ(count->currentText(), "2");
  std::optional<HeldDatabase> held;
  const auto typeUnderALock = [&] {
    held.emplace(s.databasePath());
    s.dialog.OnCommand(32802);  // the page again: read under the lock
    EXPECT_EQ(s.dialog.questionCount(), -1);
    s.takeBoxes();
    count->lineEdit()->selectAll();
    QTest::keyClicks(count->lineEdit(), "1");
    ASSERT_EQ(count->currentText(), "1");
  };
  typeUnderALock();
  // 覚える while the lock lasts: the figures are read again first, refused again, and no study starts.
  HeldDatabase::nextAction();
  EXPECT_TRUE(s.dialog.OnCommand(1193));
  EXPECT_EQ(count->currentText(), "1");
  EXPECT_NE(s.takeBoxes(), L"");
  held.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return s.dialog.questionCount() == questions; }, 60000));
  EXPECT_EQ(count->currentText(), "1");
  EXPECT_EQ(s.takeBoxes(), L"");

  // 覚える once the other program has let go, before the page has read the figures by itself: they
  // are read first, and the study takes the count typed.
  typeUnderALock();
  held.reset();
  CardStudyDriver driver;
  EXPECT_TRUE(s.dialog.OnCommand(1193));
  EXPECT_EQ(driver.answered.size(), 1u);
  EXPECT_EQ(s.dialog.translatedCount(), 1);
  EXPECT_EQ(s.takeBoxes(), L"");
}

// While a lock lasts, only what it left unread is tried again, and a try stops at the first read
// the file still refuses: a page whose own command failed is read again alone, not the whole
// window, and a whole refresh that failed is tried from its first part only. Once the file is
// free everything fills.
TEST(MainDialog, WhatALockLeftUnreadIsTriedAgainAloneAndEachTryStopsAtTheFirstRefusal) {
  MainApp s;
  listTwoQuestionsForSmartLearningOneStudiedADayAgo(s);
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  const auto levelsCounted = [&] { return !smart.levelCalculator().running(); };
  ASSERT_TRUE(QTest::qWaitFor(levelsCounted, 60000));
  s.takeBoxes();
  apptest::StatementLog statements(s.app.db);
  // The statements of several tries under the lock.
  const auto triedUnderTheLock = [&] {
    std::vector<std::string> tried = statements.take();
    std::vector<std::string> more;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          more = statements.take();
          tried.insert(tried.end(), more.begin(), more.end());
          return tried.size() >= 12;
        },
        60000));
    return tried;
  };
  const auto fillOnceFree = [&] {
    EXPECT_TRUE(QTest::qWaitFor([&] { return smart.levelCalculator().counted() && levelsCounted(); }, 60000));
    EXPECT_EQ(s.takeBoxes(), L"");
  };
  // The learning page's figures start from the round's log id, which the round's counts (the first
  // part) read only after the set's questions; the smart page's level counts are its own.
  const std::string learningPage = "FROM log_id", levelCounts = "count(CASE WHEN level",
                    smartRows = "pragma_index_info";

  std::optional<HeldDatabase> held;
  held.emplace(s.databasePath());
  smart.findChild<QComboBox*>("id1330")->setCurrentIndex(0);  // the counts of another period
  s.takeBoxes();
  statements.take();
  std::vector<std::string> tried = triedUnderTheLock();
  // The smart page alone, from the rows in view that its refresh reads first; its level counts,
  // after them, wait until the rows can be read.
  EXPECT_GT(apptest::StatementLog::naming(tried, smartRows), 0u);
  EXPECT_EQ(apptest::StatementLog::naming(tried, levelCounts), 0u);
  EXPECT_EQ(apptest::StatementLog::naming(tried, "BEGIN"), 0u) << "a try went on past its first refusal";
  EXPECT_EQ(apptest::StatementLog::naming(tried, learningPage), 0u);
  held.reset();
  fillOnceFree();

  held.emplace(s.databasePath());
  s.dialog.RefreshPages();
  QCoreApplication::processEvents();  // the rows' word comes once the input is over
  s.takeBoxes();
  statements.take();
  tried = triedUnderTheLock();
  EXPECT_EQ(apptest::StatementLog::naming(tried, levelCounts), 0u);
  EXPECT_EQ(apptest::StatementLog::naming(tried, learningPage), 0u);
  held.reset();
  fillOnceFree();
}

// Start-up builds every page but reads only for the one shown: the smart-learning page reads its
// list, rows, rates, choice and level history when it is first shown.
TEST(MainDialog, APageNotOnScreenReadsNothingAtStartUpUntilItShows) {
  MainApp s;
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", s.app.smartLearningSetId,
                         s.app.smartLearningSetId));
  apptest::StatementLog statements(s.app.db);
  ASSERT_TRUE(s.open());
  const std::vector<std::string> start = statements.take();
  const std::string smartSet = "sid=" + std::to_string(s.app.smartLearningSetId);
  EXPECT_EQ(apptest::StatementLog::naming(start, "memory_rate"), 0u);
  EXPECT_EQ(apptest::StatementLog::naming(start, smartSet), 0u);
  EXPECT_EQ(apptest::StatementLog::naming(start, "FROM question AS q"), 0u);  // no list's rows
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  EXPECT_TRUE(smart.shownIds().empty());
  EXPECT_FALSE(smart.levelCalculator().running());

  QTest::keyClick(&s.dialog, Qt::Key_F6);
  const std::vector<std::string> shown = statements.take();
  EXPECT_GT(apptest::StatementLog::naming(shown, smartSet), 0u);
  EXPECT_GT(apptest::StatementLog::naming(shown, "FROM question AS q"), 0u);
  EXPECT_EQ(smart.shownIds(), (std::vector<int>{1, 2}));
  EXPECT_FALSE(smart.list().model()->index(0, 0).data().toString().isEmpty());
  EXPECT_FALSE(smart.chosen().empty());
}

TEST(MainDialog, EnterStudiesFromTheLearningPageAndThePagesAreReadAgain) {
  MainApp s;
  s.settings.rankingAutoUpdate.value = true;  // no ranking server here: each update says it cannot connect
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  auto* count = s.dialog.findChild<QComboBox*>("id1198");
  EXPECT_EQ(count->currentText(), "2");  // the round's rest, below the default count
  count->setEditText("1");
  // Questions put into the smart-learning list behind its page's back show when it is next shown.
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", s.app.smartLearningSetId,
                         s.app.smartLearningSetId));

  CardStudyDriver driver;
  QTest::keyClick(&s.dialog.modeCombo(), Qt::Key_Return);
  EXPECT_EQ(driver.answered.size(), 1u);
  EXPECT_EQ(s.dialog.translatedCount(), 1);
  EXPECT_EQ(s.dialog.learningPage().historyList().count(), 1);
  EXPECT_EQ(count->currentText(), "1");  // no more than the study just made
  EXPECT_TRUE(s.dialog.smartLearningPage().shownIds().empty());
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 接続に失敗しました\n");
  EXPECT_EQ(s.dialog.windowTitle().toStdWString(), L"KLV 7.1.5 【tester】");
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  EXPECT_EQ(s.dialog.smartLearningPage().shownIds(), (std::vector<int>{1, 2}));
  QTest::keyClick(&s.dialog, Qt::Key_F3);

  // On the ranking page Enter updates the ranking instead of studying.
  QTest::keyClick(&s.dialog, Qt::Key_F5);
  QTest::keyClick(&s.dialog, Qt::Key_Return);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 接続に失敗しました\n");
  EXPECT_EQ(s.dialog.translatedCount(), 1);
}

TEST(MainDialog, AStudyFromAnyPageRedrawsTheLevelHistory) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", s.app.smartLearningSetId,
                         s.app.smartLearningSetId));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !smart.levelCalculator().running(); }, 30000));
  // Just inside the level graph's lower right corner (20 from the right, 140 from the bottom).
  const auto graphCorner = [&] {
    return platform::fromPixel(smart.paintImage().pixel(smart.width() - 23, smart.height() - 143));
  };
  EXPECT_EQ(graphCorner(), platform::rgb(255, 255, 255));

  QTest::keyClick(&s.dialog, Qt::Key_F3);
  s.dialog.findChild<QComboBox*>("id1198")->setEditText("1");
  CardStudyDriver driver;
  QTest::keyClick(&s.dialog.modeCombo(), Qt::Key_Return);
  ASSERT_EQ(driver.answered.size(), 1u);
  // The question learned now stands at level 1 at the period's end: its band rises there, once
  // the page is looked at.
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return !smart.levelCalculator().running() && smart.levelCalculator().table()[30][0] == 1; }, 30000));
  EXPECT_EQ(graphCorner(), smart::LevelColors[1]);
}

TEST(MainDialog, EachPageChoosesTheQuestionsOfAStudyAndEmptyOnesAreDropped) {
  MainApp s;
  s.settings.randomReply.value = false;
  s.run(L"INSERT INTO question VALUES (32, '', '', '', '', '', '', 0, 0, 0, '', '', '', '', '')");
  s.run(L"INSERT INTO section VALUES (14, 32)");
  ASSERT_TRUE(s.open());
  std::vector<int> ids;

  // Learning page: the round's next questions in the number asked; a number out of range is refused.
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  auto* count = s.dialog.findChild<QComboBox*>("id1198");
  count->setEditText("1");
  EXPECT_TRUE(s.dialog.SelectStudyQuestions(ids));
  EXPECT_EQ(ids, std::vector<int>{1});
  ids.clear();
  count->setEditText("0");
  EXPECT_FALSE(s.dialog.SelectStudyQuestions(ids));
  EXPECT_EQ(s.takeBoxes(), L"KLV7: 出題数を 1 ～ 2 の範囲で指定してください。\n");

  // Question log: its checked rows, without the empty question.
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  CTabpageQuestionlog& log = s.dialog.questionLogPage();
  ASSERT_EQ(log.rowIds(), (std::vector<int>{1, 2, 31, 32}));
  ids.clear();
  EXPECT_FALSE(s.dialog.SelectStudyQuestions(ids));
  log.setChecked(3, true);
  EXPECT_FALSE(s.dialog.SelectStudyQuestions(ids));
  log.setChecked(1, true);
  EXPECT_TRUE(s.dialog.SelectStudyQuestions(ids));
  EXPECT_EQ(ids, std::vector<int>{2});

  // The other pages: the smart-learning list's choice, nothing while the list is empty.
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  for (Qt::Key key : {Qt::Key_F2, Qt::Key_F5, Qt::Key_F6}) {
    QTest::keyClick(&s.dialog, key);
    ids.clear();
    EXPECT_FALSE(s.dialog.SelectStudyQuestions(ids)) << key;
  }
  ASSERT_EQ(smart.AddToSmartLearning(kApple), 3);
  smart.DoAutoSelect(reportFailedRead);
  std::vector<int> chosen;
  ASSERT_TRUE(smart.CollectQuestionIds(chosen, reportFailedRead));
  for (Qt::Key key : {Qt::Key_F2, Qt::Key_F5, Qt::Key_F6}) {
    QTest::keyClick(&s.dialog, key);
    ids.clear();
    EXPECT_TRUE(s.dialog.SelectStudyQuestions(ids)) << key;
    EXPECT_EQ(ids, chosen) << key;
  }
}

// The chosen set deleted in the chooser, which is then cancelled: 覚える has nothing to study and
// says so, not a range of counts that no number meets.
// The chosen set deleted in the chooser and the chooser cancelled: no set is chosen. As soon as the
// chooser closes, the pages drop the set's history and round, the recent list names it no more,
// and nothing is studied, by the button or by Enter.
TEST(MainDialog, WithTheChosenSetDeletedNoSetIsChosenAndNothingOfItIsShownOrStudied) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.run(platform::format(L"INSERT INTO log_id VALUES (1, %d, %d, %d)", s.app.currentUserId, kApple, s.app.studyMode));
  s.run(L"INSERT INTO element_log VALUES (1, 100, 3, 0, 0, 0, '', '')");
  s.run(L"INSERT INTO looped_questions VALUES (1, 1)");
  s.run(L"INSERT INTO daily_log VALUES (7, 1, 100, 300, 0, '', '')");
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  ASSERT_GT(s.dialog.questionCount(), 0);
  ASSERT_EQ(s.dialog.translatedCount(), 1);
  ASSERT_EQ(s.dialog.learningPage().historyList().count(), 1);
  s.notifier.answer = platform::IdYes;
  {
    ModalAnswers answers({{"id236", [](QDialog& dialog) {
                             auto& chooser = static_cast<CSelectSectionDlg&>(dialog);
                             chooser.tree().SelectEidFromRoot(kApple);
                             chooser.findChild<QPushButton*>("id3")->click();
                             reject(dialog);
                           }}});
    s.dialog.OnCommand(1018);
    ASSERT_EQ(answers.seen["id236"], 1);
  }
  ASSERT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE eid=14"), 0);
  s.takeBoxes();
  EXPECT_EQ(s.app.currentSetId, -1);
  EXPECT_EQ(s.dialog.setPath(), L"");
  EXPECT_EQ(s.dialog.questionCount(), 0);
  EXPECT_EQ(s.dialog.translatedCount(), 0);
  EXPECT_EQ(s.dialog.learningPage().historyList().count(), 0);
  EXPECT_EQ(s.dialog.recentCombo().currentIndex(), -1);
  EXPECT_EQ(s.dialog.statusBar().currentMessage().toStdWString(), L"学習する問題集を選択してください");
  auto* study = s.dialog.learningPage().findChild<QPushButton*>("id1015");
  EXPECT_FALSE(study->isEnabled());
  QTest::mouseClick(study, Qt::LeftButton);
  QTest::keyClick(&s.dialog, Qt::Key_Return);
  EXPECT_EQ(s.takeBoxes(), L"");
}

TEST(MainDialog, TheQuestionListAndANewSetTakeTheCheckedQuestions) {
  MainApp s;
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  s.dialog.questionLogPage().setChecked(0, true);
  s.dialog.questionLogPage().setChecked(1, true);

  QString title, rows;
  {
    ModalAnswers preview({{"id150", [&](QDialog& dialog) {
                             title = dialog.windowTitle();
                             for (QListWidget* list : dialog.findChildren<QListWidget*>())
                               for (int i = 0; i < list->count(); ++i) rows += list->item(i)->text() + "\n";
                             reject(dialog);
                           }}});
    QTest::keyClick(&s.dialog, Qt::Key_F7);
    EXPECT_EQ(preview.seen["id150"], 1);
  }
  EXPECT_TRUE(title.contains("Alpha/deep/Apple"));
  for (int qid : {1, 2})
    EXPECT_TRUE(rows.contains(QString::fromStdWString(pdb3::getQuestion(s.accessor(), qid).answerText(0)))) << qid;
  EXPECT_FALSE(rows.contains("q31"));

  // A new set beside the current one, named after it, holding the checked questions in order.
  s.notifier.answer = platform::IdYes;
  ModalAnswers name({{"id283", [](QDialog& dialog) { QTimer::singleShot(0, &dialog, &QDialog::accept); }}});
  s.dialog.OnCommand(32855);
  EXPECT_EQ(name.seen["id283"], 1);
  const int created = s.intValue(L"SELECT eid FROM element_info WHERE name LIKE 'Apple 20%'");
  ASSERT_GT(created, 0);
  EXPECT_EQ(s.intValue(platform::format(L"SELECT fid FROM folder WHERE eid=%d", created)), kDeep);
  EXPECT_EQ(s.intValue(platform::format(L"SELECT count(*) FROM section WHERE sid=%d AND qid IN (1, 2)", created)), 2);
  EXPECT_EQ(s.intValue(platform::format(L"SELECT count(*) FROM section WHERE sid=%d", created)), 2);
  EXPECT_NE(s.takeBoxes().find(L"問題集\n\nAlpha/deep/Apple 20"), std::wstring::npos);

  // A question that cannot be added takes the whole new set back with it.
  s.run(L"CREATE TRIGGER refuse BEFORE INSERT ON section WHEN NEW.qid=2 BEGIN SELECT RAISE(ABORT, 'refused'); END");
  s.dialog.OnCommand(32855);
  EXPECT_EQ(name.seen["id283"], 2);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE name LIKE 'Apple 20%'"), 1);
  EXPECT_NE(s.takeBoxes().find(L"Kelvara: 問題集を作成できませんでした。"), std::wstring::npos);
  s.run(L"DROP TRIGGER refuse");
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", s.app.smartLearningSetId, s.app.smartLearningSetId));

  // Folder rows the engine refuses to read: the new set would have gone into no folder.
  const auto refuseFolderReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
    return action == SQLITE_READ && table && std::string(table) == "folder" ? SQLITE_DENY : SQLITE_OK;
  };
  sqlite3_set_authorizer(s.app.db.engineHandle(), refuseFolderReads, nullptr);
  s.dialog.OnCommand(32855);
  sqlite3_set_authorizer(s.app.db.engineHandle(), nullptr, nullptr);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE name LIKE 'Apple 20%'"), 1);
  EXPECT_NE(s.takeBoxes().find(L"Kelvara: 問題集を作成できませんでした。\n"), std::wstring::npos);

  // A set of the name made elsewhere while the learner read the question: theirs is not made, and
  // the box names the cause, which is no failure of the file's.
  struct MadeMeanwhile : RecordingNotifier {
    std::function<void(const std::wstring&)> reading;
    int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, unsigned flags) override {
      if (reading) reading(text);
      return RecordingNotifier::messageBox(owner, text, caption, flags);
    }
  } meanwhile;
  meanwhile.answer = platform::IdYes;
  meanwhile.reading = [&](const std::wstring& text) {
    const std::wstring folder = L"Alpha/deep/";
    const size_t at = text.find(folder);
    if (at == std::wstring::npos) return;
    const size_t start = at + folder.size();
    pdb3::AddBinder(pdb3::getFolder(s.accessor(), kDeep), text.substr(start, text.find(L'\n', start) - start));
  };
  {
    const platform::NotifierOverride use(meanwhile);
    s.dialog.OnCommand(32855);
  }
  EXPECT_EQ(meanwhile.boxes.back(), L"Kelvara: 問題集を作成できませんでした。\n同じ名前の問題集が既にあります。");
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE name LIKE 'Apple 20%'"), 2);
}

// A new set that is not made is a change the learner asked for: said whatever the action said
// before (here its OK click), and a text the action said already not twice.
TEST(MainDialog, ANewSetNotMadeIsSaidAsAChangeNotMade) {
  waitForBusyDatabaseOncePerAction();  // as the program does: what an action said decides what it says
  MainApp s;
  s.run(L"BEGIN");
  for (int q = 9000; q < 9300; ++q) {
    s.run(platform::format(L"INSERT INTO question VALUES (%d, 'q', 'a', '', '', '', '', 0, 0, 0, '', '', '', '', '')", q));
    s.run(platform::format(L"INSERT INTO section VALUES (%d, %d)", static_cast<int>(kApple), q));
  }
  s.run(L"COMMIT");
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  CTabpageQuestionlog& log = s.dialog.questionLogPage();
  log.setChecked(250, true);  // a row never shown: its id is read when it is needed
  ASSERT_EQ(log.rowIds()[250], SectionRows::kUnread);
  s.notifier.answer = platform::IdYes;
  std::function<void()> saidBefore;
  ModalAnswers name({{"id283", [&](QDialog& dialog) {
                        QTimer::singleShot(0, &dialog, [&] {
                          if (saidBefore) saidBefore();
                          dialog.accept();
                        });
                      }}});

  const auto refuseSectionReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
    return action == SQLITE_READ && table && std::string(table) == "section" ? SQLITE_DENY : SQLITE_OK;
  };
  sqlite3_set_authorizer(s.app.db.engineHandle(), refuseSectionReads, nullptr);
  saidBefore = [&] { reportFailedRead(&s.dialog, L"利用者の一覧を読み込めませんでした。"); };
  s.dialog.OnCommand(32855);
  sqlite3_set_authorizer(s.app.db.engineHandle(), nullptr, nullptr);
  ASSERT_EQ(s.notifier.boxes.size(), 2u);
  EXPECT_TRUE(s.notifier.boxes[1].starts_with(L"Kelvara: チェックした問題を読み込めませんでした。\n")) << s.takeBoxes();
  s.takeBoxes();

  s.run(L"CREATE TRIGGER refuse BEFORE INSERT ON section BEGIN SELECT RAISE(ABORT, 'refused'); END");
  saidBefore = nullptr;
  s.dialog.OnCommand(32855);
  ASSERT_FALSE(s.notifier.boxes.empty());
  const std::wstring refused = s.notifier.boxes.back().substr(std::wstring(L"Kelvara: ").size());
  EXPECT_TRUE(refused.starts_with(L"問題集を作成できませんでした。\n")) << refused;
  s.takeBoxes();
  saidBefore = [&] {
    if (unmadeChangeToBeSaid(refused)) platform::messageBox(&s.dialog, refused, kAppCaption);
  };
  s.dialog.OnCommand(32855);
  EXPECT_EQ(std::ranges::count(s.notifier.boxes, L"Kelvara: " + refused), 1) << s.takeBoxes();
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE name LIKE 'Apple 20%'"), 0);
  s.takeBoxes();

  // From the smart-learning list: a choice that cannot be made keeps the set from being made, and
  // says so after the action's earlier failure too.
  s.run(L"DROP TRIGGER refuse");
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", s.app.smartLearningSetId, s.app.smartLearningSetId));
  const auto refuseRateReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
    return action == SQLITE_READ && table && std::string(table) == "memory_rate" ? SQLITE_DENY : SQLITE_OK;
  };
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  QCoreApplication::processEvents();
  sqlite3_set_authorizer(s.app.db.engineHandle(), refuseRateReads, nullptr);
  s.dialog.smartLearningPage().OnFileOrUserChanged();  // a choice that fails is made again when next needed
  apptest::HeldDatabase::nextAction();
  s.takeBoxes();
  saidBefore = [&] { reportFailedRead(&s.dialog, L"利用者の一覧を読み込めませんでした。"); };
  s.dialog.OnCommand(32855);
  sqlite3_set_authorizer(s.app.db.engineHandle(), nullptr, nullptr);
  EXPECT_EQ(std::ranges::count_if(s.notifier.boxes,
                                  [](const std::wstring& box) { return box.starts_with(L"Kelvara: 次に学習する問題を選べませんでした。"); }),
            1)
      << s.takeBoxes();
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE name LIKE 'SmartLearning 20%'"), 0);
}

TEST(MainDialog, OptionsOpenByF12AndAChangeShowsAfterOk) {
  MainApp s;
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  auto* count = s.dialog.findChild<QComboBox*>("id1198");
  EXPECT_EQ(count->currentText(), "2");
  ModalAnswers options({{"id138", [](QDialog& dialog) {
                           dialog.findChild<NumberEdit*>("default-question-count")->setNumber(1);
                           QTimer::singleShot(0, &dialog, &QDialog::accept);
                         }}});
  QTest::keyClick(&s.dialog, Qt::Key_F12);
  EXPECT_EQ(options.seen["id138"], 1);
  EXPECT_EQ(s.settings.defaultQuestionCount.value, 1);
  EXPECT_EQ(count->currentText(), "1");
  EXPECT_EQ(s.app.backgroundBrush.color(), platform::toQColor(static_cast<platform::COLORREF>(s.settings.backgroundColor)));
}

TEST(MainDialog, AnotherUserSeesTheirOwnRankingAccountAndTitle) {
  MainApp s;
  ASSERT_TRUE(s.open());
  EXPECT_EQ(s.dialog.rankingPage().m_strId, L"");
  s.settings.userName.value = L"hanako";
  PointInfoRecord::copyText(s.app.CurrentUserPointInfo().rankingId, L"hanako-id");
  s.dialog.OnUserChanged();
  EXPECT_EQ(s.dialog.rankingPage().m_strId, L"hanako-id");
  EXPECT_EQ(s.dialog.windowTitle().toStdWString(), L"KLV 7.1.5 【hanako】");
}

// The smart-learning page's counts, bar, rows, choice and forgetting curve are those of the file and
// the user now: read again after the editor's hand-over, a switch of pages and a change of user, not
// only at a study.
TEST(MainDialog, TheSmartLearningFiguresFollowTheEditorAndTheUser) {
  MainApp s;
  const int binder = s.app.smartLearningSetId, uid = s.app.currentUserId;
  const int64_t studied = platform::nowSeconds() - 2 * 86400;
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", binder, binder));
  s.run(platform::format(L"INSERT INTO memory_rate VALUES (1, %d, 80, 1, %d, 0, 0, 0, 0, 0, 0, 0, 0, 0)", uid,
                         static_cast<int>(studied)));
  s.run(platform::format(L"INSERT INTO log_id VALUES (50, %d, %d, 0)", uid, binder));
  s.run(platform::format(L"INSERT INTO daily_log VALUES (60, 50, %d, %d, 0, '', '')", static_cast<int>(studied - 60),
                         static_cast<int>(studied)));
  s.run(L"INSERT INTO daily_question_log VALUES (60, 1, 1, 0, 0, 0, 1.0, 1, 80)");
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  // Three quarters along the bar {100, H - 40, W - 150, H - 20}: the list's half without a level.
  const auto barColour = [&] {
    const QImage image = smart.paintImage();
    return platform::fromPixel(image.pixel(100 + (smart.width() - 250) * 3 / 4, smart.height() - 30));
  };
  EXPECT_EQ(barColour(), platform::rgb(255, 255, 255));
  // The rows' texts too, on the page shown and after a change made while another page showed.
  const auto answer = [&] { return smart.list().model()->index(0, 0).data().toString().toStdWString(); };
  ASSERT_EQ(smart.shownIds().front(), 1);
  s.run(platform::format(L"DELETE FROM section WHERE sid=%d AND qid=2", binder));  // the editor's work
  s.run(L"UPDATE question SET answer='edited' WHERE qid=1");
  s.dialog.RefreshPages();
  EXPECT_EQ(barColour(), smart::LevelColors[1]);
  EXPECT_EQ(answer(), L"edited");
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  s.run(L"UPDATE question SET answer='edited again' WHERE qid=1");
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  EXPECT_EQ(answer(), L"edited again");
  {
    HeldDatabase held(s.databasePath());  // no text from before: the row is not read, and said so once
    s.dialog.RefreshPages();
    EXPECT_EQ(answer(), L"");
    QCoreApplication::processEvents();
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: スマート学習リストの問題を読み込めませんでした。\n" + kBusyCause + L"\n");
  }

  // The curve of question 1 in its pen's blue, inside the graph {225, y0 + 50, W - 20, H - 140}.
  const auto curveInk = [&] {
    const QImage image = smart.paintImage();
    int ink = 0;
    for (int y = static_cast<int>(smart.height() * 0.3) + 51; y < smart.height() - 141; ++y)
      for (int x = 226; x < smart.width() - 21; ++x) ink += platform::fromPixel(image.pixel(x, y)) == platform::rgb(0, 0, 255);
    return ink;
  };
  smart.findChild<QAbstractButton*>("id1329")->click();
  ASSERT_EQ(smart.shownIds().front(), 1);
  smart.list().selectRow(0);
  EXPECT_GT(curveInk(), 0);
  // One question chosen: the one the user has not learned, 2 for this user and 1 for the next.
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 2)", binder));
  smart.findChild<QLineEdit*>("id1150")->setText("1");
  ASSERT_EQ(smart.shownIds(), (std::vector<int>{1, 2}));
  ASSERT_EQ(smart.chosen(), std::set<int>{2});
  smart.list().selectRow(0);
  s.settings.userName.value = L"hanako";  // who never studied it
  ASSERT_TRUE(s.app.SelectSettingsUser());
  s.run(platform::format(L"INSERT INTO memory_rate VALUES (2, %d, 80, 1, %d, 0, 0, 0, 0, 0, 0, 0, 0, 0)",
                         s.app.currentUserId, static_cast<int>(studied)));
  s.dialog.OnUserChanged();
  EXPECT_EQ(curveInk(), 0);
  EXPECT_EQ(std::pair(smart.rowImage(0), smart.rowImage(1)), std::pair(1, 0));  // the dots 覚える studies by
  smart.list().selectRow(0);
  EXPECT_EQ(curveInk(), 0);
}

// The level history and the counts the smart page draws are those of the file open and the learner
// chosen: after a reload onto another file and a switch of learner, nothing of the file or the
// learner before is drawn, not even while the set is chosen anew or the new history is counted.
TEST(MainDialog, AfterAReloadOrAUserSwitchTheSmartPageDrawsOnlyTheNewHistory) {
  MainApp s;
  const int binder = s.app.smartLearningSetId;
  const int studied = static_cast<int>(platform::nowSeconds() - 2 * 86400);
  s.run(platform::format(L"INSERT INTO section VALUES (%d, 1), (%d, 2)", binder, binder));
  s.run(platform::format(L"INSERT INTO memory_rate VALUES (1, %d, 80, 2, %d, %d, 0, 0, 0, 0, 0, 0, 0, 0)",
                         s.app.currentUserId, studied, studied));
  // Another copy of the file, where the same learner has taken question 1 up to level 5, and the
  // set chosen is gone.
  QTemporaryDir folder;
  const QString other = folder.filePath("other.klvdb7");
  ASSERT_TRUE(QFile::copy(QString::fromStdWString(s.databasePath()), other));
  {
    sqliteplus::SqliteConnection connection;
    ASSERT_TRUE(pdb3::openDatabaseFile(connection, other.toStdWString()));
    ASSERT_TRUE(pdb3::execSqlf(pdb3::openQuery(connection),
                               L"UPDATE memory_rate SET level=5, l3_time=%d, l4_time=%d, l5_time=%d;"
                               L"DELETE FROM folder WHERE eid=%d; DELETE FROM element_info WHERE eid=%d",
                               studied, studied, studied, kApple, kApple));
  }
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F6);
  CTabpageSmartlearning& smart = s.dialog.smartLearningPage();
  const auto counted = [&] { return QTest::qWaitFor([&] { return !smart.levelCalculator().running(); }, 30000); };
  // A colour in the graph {200, y0 + 50, W - 20, H - 140}, its frame's bottom too: a level's bands,
  // or the blue of their outline, which runs along that bottom where no question stands; and the
  // bar's colour a quarter along {100, H - 40, W - 150, H - 20}.
  const auto graphInk = [&](platform::COLORREF colour) {
    const QImage image = smart.paintImage();
    int ink = 0;
    for (int y = static_cast<int>(smart.height() * 0.3) + 51; y < smart.height() - 140; ++y)
      for (int x = 201; x < smart.width() - 21; ++x) ink += platform::fromPixel(image.pixel(x, y)) == colour;
    return ink;
  };
  const auto bandInk = [&](int level) { return graphInk(smart::LevelColors[level]); };
  const platform::COLORREF outline = platform::rgb(0, 0, 255);
  const auto barColour = [&] {
    return platform::fromPixel(smart.paintImage().pixel(100 + (smart.width() - 250) / 4, smart.height() - 30));
  };
  ASSERT_TRUE(counted());
  ASSERT_GT(bandInk(2), 0);
  ASSERT_EQ(barColour(), smart::LevelColors[2]);

  s.settings.databasePath.value = other.toStdWString();
  std::tuple<int, int, platform::COLORREF> drawnWhileChoosing;
  {
    ModalAnswers answers({{"id236", [&](QDialog& dialog) {
                             drawnWhileChoosing = {bandInk(2), graphInk(outline), barColour()};
                             chooseInTree(kZeta)(dialog);
                           }}});
    ASSERT_TRUE(s.dialog.OnCommand(1025));
    ASSERT_EQ(answers.seen["id236"], 1);
  }
  // Nothing known yet: no bands, not even empty ones, and no counts.
  EXPECT_EQ(drawnWhileChoosing, std::tuple(0, 0, platform::rgb(255, 255, 255)));
  EXPECT_EQ(graphInk(outline), 0) << "the file before's history, drawn while this one's is counted";
  EXPECT_EQ(barColour(), smart::LevelColors[5]);
  ASSERT_TRUE(counted());
  EXPECT_GT(bandInk(5), 0);
  EXPECT_EQ(bandInk(2), 0);

  // Another learner, who has taken only question 2, up to level 3.
  s.settings.userName.value = L"hanako";
  ASSERT_TRUE(s.app.SelectSettingsUser());
  s.run(platform::format(L"INSERT INTO memory_rate VALUES (2, %d, 80, 3, %d, %d, %d, 0, 0, 0, 0, 0, 0, 0)",
                         s.app.currentUserId, studied, studied, studied));
  s.dialog.OnUserChanged();
  EXPECT_EQ(graphInk(outline), 0) << "the learner before's history, drawn while this one's is counted";
  EXPECT_EQ(barColour(), smart::LevelColors[3]);
  ASSERT_TRUE(counted());
  EXPECT_GT(bandInk(3), 0);
  EXPECT_EQ(bandInk(5), 0);
}

TEST(MainDialog, ExportOffersTheShownPagesChoiceWhenThereIsOne) {
  MainApp s;
  s.run(L"UPDATE question SET answer='apple-one' WHERE qid=1");
  s.run(L"UPDATE question SET answer='apple-two' WHERE qid=2");
  ASSERT_TRUE(s.open());
  QTest::keyClick(&s.dialog, Qt::Key_F4);
  const auto chosenOnly = [](QDialog& dialog) { return dialog.findChild<QAbstractButton*>("id1284"); };
  {
    // Nothing checked on the question log: the whole set is what can go.
    ModalAnswers answers({{"id275", [&](QDialog& dialog) {
                             EXPECT_FALSE(chosenOnly(dialog)->isEnabled());
                             EXPECT_TRUE(dialog.findChild<QAbstractButton*>("id1282")->isChecked());
                             reject(dialog);
                           }}});
    s.dialog.OnCommand(270);
    EXPECT_EQ(answers.seen["id275"], 1);
  }
  s.dialog.questionLogPage().setChecked(1, true);
  ASSERT_EQ(s.dialog.questionLogPage().rowIds().at(1), 2);
  QTemporaryDir folder;
  const QString file = folder.path() + "/chosen.csv";
  ModalAnswers answers({{"id275", [&](QDialog& dialog) {
                           EXPECT_TRUE(chosenOnly(dialog)->isEnabled());
                           EXPECT_TRUE(chosenOnly(dialog)->isChecked());
                           dialog.findChild<QLineEdit*>("id1271")->setText(file);
                           dialog.findChild<QAbstractButton*>("id1280")->click();
                           dialog.accept();
                         }}});
  s.dialog.OnCommand(270);
  EXPECT_EQ(answers.seen["id275"], 1);
  const QByteArray written = readText(file);
  EXPECT_TRUE(written.contains("apple-two"));
  EXPECT_FALSE(written.contains("apple-one"));
}

// A refresh reads the round's counts: one that cannot be read resets nothing and says so once. A
// count of 0 read during a short lock, followed by the pass read after it, once started the round
// over; here the engine refuses the count alone.
TEST(MainDialog, ARefreshThatCannotCountKeepsTheRoundAndSaysWhy) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.run(platform::format(L"INSERT INTO log_id VALUES (1, %d, %d, %d)", s.app.currentUserId, kApple, s.app.studyMode));
  s.run(L"INSERT INTO element_log VALUES (1, 0, 1, 0, 0, 4, '', '')");
  s.run(L"INSERT INTO looped_questions VALUES (1, 1), (1, 2)");
  s.dialog.RefreshPages();
  EXPECT_EQ(s.dialog.translatedCount(), 2);
  const auto refuseQuestionReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
    return action == SQLITE_READ && table && std::string(table) == "question" ? SQLITE_DENY : SQLITE_OK;
  };
  sqlite3_set_authorizer(s.app.db.engineHandle(), refuseQuestionReads, nullptr);
  s.dialog.RefreshPages();
  sqlite3_set_authorizer(s.app.db.engineHandle(), nullptr, nullptr);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集の学習履歴を読み込めませんでした。\nデータベースファイルの読み書きに失敗しました。\n");
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM looped_questions WHERE lid=1"), 2);
  EXPECT_EQ(s.intValue(L"SELECT nAccomplish FROM element_log WHERE lid=1"), 4);
  {
    HeldDatabase held(s.databasePath());
    s.dialog.RefreshPages();
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集の学習履歴を読み込めませんでした。\n" + kBusyCause + L"\n");
    // A study is not chosen from counts that could not be read: it reads them again first.
    HeldDatabase::nextAction();
    std::vector<int> ids;
    EXPECT_FALSE(s.dialog.SelectStudyQuestions(ids));
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集の学習履歴を読み込めませんでした。\n" + kBusyCause + L"\n");
  }
  s.dialog.RefreshPages();
  EXPECT_EQ(s.dialog.translatedCount(), 2);
  EXPECT_EQ(s.takeBoxes(), L"");
}
