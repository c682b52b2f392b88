// The main window's keys as a person presses them: to the control that has the focus, through
// the shortcuts the window knows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/main/main_outlook_bar.h"
#include "app_test_support.h"
#include "event_watch.h"
#include "main_dialog_fixture.h"
#include "platform/files/folders.h"
#include "scoped_env.h"
#include "patience.h"

using namespace apptest;

namespace {

// A key pressed where the focus is, through the window system as a keyboard sends it.
void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(window.windowHandle(), key, modifiers);
  QApplication::processEvents();
}

struct ActiveMainApp : MainApp {
  ActiveMainApp() {
    EXPECT_TRUE(open());
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog, testwait::kPatienceMs));
  }
};

}  // namespace

TEST(MainDialogInput, TheWindowComesToTheFrontWhenItFirstShows) {
  MainApp s;
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other, testwait::kPatienceMs));
  int raised = 0;
  EventWatch watch(QEvent::ZOrderChange, [&](QObject& receiver) { raised += &receiver == &s.dialog; });
  ASSERT_TRUE(s.open());
  EXPECT_EQ(raised, 1);
  EXPECT_TRUE(QTest::qWaitForWindowActive(&s.dialog, testwait::kPatienceMs));
}

TEST(MainDialogInput, EscEndsTheDialogFromAnyFocusAlsoAfterAClickOnTheBarsHeader) {
  ActiveMainApp s;
  CMainOutlookBar& bar = s.dialog.outlookBar();
  QTest::mouseClick(bar.FindPage(1)->m_btnPage.get(), Qt::LeftButton, {}, {10, 5});
  ASSERT_EQ(s.dialog.currentPage(), 4);
  QTest::mouseClick(s.dialog.page(4), Qt::LeftButton, {}, {5, 5});
  press(s.dialog, Qt::Key_Escape);
  EXPECT_FALSE(s.dialog.isVisible());
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
}

TEST(MainDialogInput, EachAltLetterDoesOneThingAndAControlsLetterComesBeforeTheMenus) {
  const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");  // a study a letter starts ends at once
  ActiveMainApp s;
  QStringList done;
  for (QAbstractButton* button : s.dialog.findChildren<QAbstractButton*>())
    QObject::connect(button, &QAbstractButton::clicked, [&done, button] { done << button->objectName(); });
  for (QAction* title : s.dialog.menuBar().actions())
    QObject::connect(title->menu(), &QMenu::aboutToShow, [&done, title] { done << title->text(); });
  const auto altAnd = [&](int key) {
    done.clear();
    s.dialog.activateWindow();  // back from the study a letter started
    EXPECT_TRUE(QTest::qWaitForWindowActive(&s.dialog, testwait::kPatienceMs));
    press(s.dialog, static_cast<Qt::Key>(key), Qt::AltModifier);
    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    return done;
  };

  // F10, as Alt alone, and then the letter reach the menu where a control has the letter.
  s.dialog.ShowPage(1);
  s.dialog.modeCombo().setFocus();
  press(s.dialog, Qt::Key_F10);
  EXPECT_TRUE(s.dialog.menuBar().hasFocus());
  press(s.dialog, Qt::Key_T);
  EXPECT_EQ(done, QStringList{QString::fromStdWString(L"ツール(&T)")});
  if (QWidget* menu = QApplication::activePopupWidget()) menu->close();

  // The learning pages' button 「覚える(&T)」 before the menu 「ツール(&T)」, which has the letter
  // where no control has it.
  EXPECT_EQ(altAnd(Qt::Key_T), QStringList{"id1015"});
  s.dialog.ShowPage(4);
  EXPECT_EQ(altAnd(Qt::Key_T), QStringList{"id1325"});
  s.dialog.ShowPage(0);
  EXPECT_EQ(altAnd(Qt::Key_T), QStringList{QString::fromStdWString(L"ツール(&T)")});
  s.dialog.ShowPage(2);
  EXPECT_EQ(altAnd(Qt::Key_B), QStringList{"id1175"});
  EXPECT_EQ(altAnd(Qt::Key_F), QStringList{QString::fromStdWString(L"ファイル(&F)")});

  // No letter on any page does two things at once, nor moves only the focus where a control has it.
  for (int page = 0; page < MainDialog::kPageCount; ++page) {
    s.dialog.ShowPage(page);
    std::vector<int> keys;
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) keys.push_back(key);
    for (int key = Qt::Key_0; key <= Qt::Key_9; ++key) keys.push_back(key);
    for (int key : keys) EXPECT_LE(altAnd(key).size(), 1) << "page " << page << ", Alt+" << char(key);
  }
}

TEST(MainDialogInput, HelpTakesKeysWhileTheMainWindowAndTheOptionsRunModally) {
  ActiveMainApp s;
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  writeText(folder.path() + "/help/top.html", "<html><body>top</body></html>");
  writeText(folder.path() + "/help/option.html", "<html><body>options</body></html>");
  // Keys that reach the help window, counted where they arrive.
  int helpKeys = 0;
  EventWatch watch(QEvent::KeyPress, [&](QObject& receiver) {
    helpKeys += receiver.isWidgetType() && static_cast<QWidget&>(receiver).window()->objectName() == "helpWindow";
  });
  const auto typeIntoHelp = [&](QWidget* modal) {
    QWidget* help = modal->findChild<QWidget*>("helpWindow");
    if (!help) return;
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(help->frameGeometry()));
    press(*help, Qt::Key_Down);
  };

  ModalAnswers options({{"id138", [&](QDialog& dialog) {
                           dialog.findChild<QAbstractButton*>("id1140")->click();
                           typeIntoHelp(&dialog);
                           reject(dialog);
                         }}});
  int fromMain = 0;
  QTimer::singleShot(0, &s.dialog, [&] {
    press(s.dialog, Qt::Key_F1);  // as the help menu names it
    typeIntoHelp(&s.dialog);
    fromMain = helpKeys;
    s.dialog.OnCommand(32826);
    s.dialog.reject();
  });
  s.dialog.hide();
  s.dialog.exec();  // modal as start-up runs it
  EXPECT_EQ(fromMain, 1);
  EXPECT_EQ(options.seen["id138"], 1);
  EXPECT_EQ(helpKeys, 2);
}

TEST(MainDialogInput, F10ShowsTheTitleItIsOnAndTheMenuBarHasNoContextMenu) {
  const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");  // a study Enter started would end at once
  ActiveMainApp s;
  QMenuBar& bar = s.dialog.menuBar();
  EXPECT_EQ(contextMenusOverMenuBar(bar), 0);
  const QRect first = bar.actionGeometry(bar.actions().at(0));
  const QImage before = bar.grab(first).toImage();
  press(s.dialog, Qt::Key_F10);
  ASSERT_TRUE(bar.hasFocus());
  ASSERT_EQ(bar.activeAction(), bar.actions().at(0));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // the menu stays shut
  EXPECT_NE(bar.grab(first).toImage(), before);  // the title is drawn highlighted
  press(s.dialog, Qt::Key_Escape);
  EXPECT_FALSE(bar.hasFocus());
  EXPECT_EQ(bar.grab(first).toImage(), before);

  // Enter on the learning page starts a study, but while the keys work the bar it opens the title
  // they are on, and nothing else shows.
  s.dialog.ShowPage(1);
  QStringList shown;
  EventWatch watch(QEvent::Show, [&](QObject& receiver) {
    if (receiver.isWidgetType() && static_cast<QWidget&>(receiver).isWindow()) shown << receiver.objectName();
  });
  press(s.dialog, Qt::Key_F10);
  ASSERT_TRUE(bar.hasFocus());
  press(s.dialog, Qt::Key_Return);
  QWidget* opened = QApplication::activePopupWidget();
  EXPECT_EQ(opened, bar.actions().at(0)->menu());
  EXPECT_EQ(shown.size(), 1) << shown.join(", ").toStdString();
  if (opened) opened->close();
}
