// The main window's keys as a person presses them: to the control that has the focus, through
// the shortcuts the window knows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/main/main_outlook_bar.h"
#include "main_dialog_fixture.h"

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
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }
};

}  // namespace

TEST(MainDialogKeys, EscEndsTheDialogFromAnyFocusAlsoAfterAClickOnTheBarsHeader) {
  ActiveMainApp s;
  CMainOutlookBar& bar = s.dialog.outlookBar();
  QTest::mouseClick(bar.FindPage(1)->m_btnPage.get(), Qt::LeftButton, {}, {10, 5});
  ASSERT_EQ(s.dialog.currentPage(), 4);
  QTest::mouseClick(s.dialog.page(4), Qt::LeftButton, {}, {5, 5});
  press(s.dialog, Qt::Key_Escape);
  EXPECT_FALSE(s.dialog.isVisible()) << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
  EXPECT_EQ(s.dialog.result(), QDialog::Rejected);
}
