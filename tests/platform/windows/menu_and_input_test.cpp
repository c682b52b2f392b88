#include "platform/windows/command_target.h"
#include "platform/windows/menu_handles.h"
#include "platform/windows/mouse_capture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

using namespace platform;

TEST(MenuHandles, TreesAnswerByPositionAndByCommandAndDieTogether) {
  MenuHandle bar = createMenu();
  MenuHandle file = createPopupMenu();
  ASSERT_TRUE(appendMenu(file, MfString, 100, L"&Open"));
  ASSERT_TRUE(appendMenu(file, MfSeparator, 0));
  ASSERT_TRUE(appendMenu(file, MfString | MfGrayed, 101, L"E&xit"));
  ASSERT_TRUE(appendMenu(bar, MfPopup, file.id(), L"&File"));
  EXPECT_FALSE(appendMenu(bar, MfPopup, bar.id(), L"self"));
  EXPECT_FALSE(appendMenu(file, MfPopup, bar.id(), L"a menu inside its own submenu"));

  EXPECT_EQ(getMenuItemCount(bar), 1);
  EXPECT_EQ(getMenuItemId(bar, 0), kMenuError);
  EXPECT_EQ(getSubMenu(bar, 0), file);
  EXPECT_EQ(getMenuItemId(file, 2), 101u);
  EXPECT_EQ(getMenuString(bar, 101, MfByCommand), L"E&xit");
  EXPECT_EQ(getMenuState(file, 1, MfByPosition) & MfSeparator, unsigned(MfSeparator));
  EXPECT_EQ(getMenuState(bar, 0, MfByPosition) >> 8, 3u);
  EXPECT_EQ(enableMenuItem(bar, 101, MfByCommand), unsigned(MfGrayed));
  EXPECT_EQ(getMenuState(file, 101, MfByCommand) & MfGrayed, 0u);
  EXPECT_EQ(checkMenuItem(file, 100, MfChecked), 0u);
  EXPECT_EQ(getMenuState(file, 100, MfByCommand) & MfChecked, unsigned(MfChecked));
  EXPECT_EQ(getMenuState(file, 999, MfByCommand), kMenuError);

  ASSERT_TRUE(destroyMenu(bar));
  EXPECT_FALSE(isMenu(bar));
  EXPECT_FALSE(isMenu(file));
  EXPECT_EQ(getMenuItemCount(file), -1);
}

TEST(RegisteredMessages, EqualNamesGiveEqualNonZeroTypes) {
  const QEvent::Type a = registerWindowMessage("UXTOOLBAR_POPUPMENU");
  EXPECT_NE(a, QEvent::None);
  EXPECT_GE(a, QEvent::User);
  EXPECT_EQ(registerWindowMessage("UXTOOLBAR_POPUPMENU"), a);
  EXPECT_NE(registerWindowMessage("UXTOOLBAR_CREATE"), a);
}

namespace {
class Recorder : public QWidget {
 public:
  int presses = 0;
  QPoint last;
  // Who held the capture after each time this widget lost it.
  std::vector<QWidget*> lostTo;
  void mousePressEvent(QMouseEvent* e) override {
    ++presses;
    last = e->position().toPoint();
  }
  bool event(QEvent* e) override {
    if (e->type() == CaptureChangedEvent::eventType()) {
      lostTo.push_back(static_cast<CaptureChangedEvent*>(e)->newHolder());
      EXPECT_EQ(getCapture(), lostTo.back());
    }
    return QWidget::event(e);
  }
};
}  // namespace

TEST(MouseCapture, CaptureRedirectsClicksAndHooksSeeThemFirst) {
  QWidget top;
  top.resize(200, 100);
  auto* left = new Recorder;
  auto* right = new Recorder;
  left->setParent(&top);
  right->setParent(&top);
  left->setGeometry(0, 0, 100, 100);
  right->setGeometry(100, 0, 100, 100);
  top.show();

  setCapture(left);
  QTest::mouseClick(right, Qt::LeftButton, {}, QPoint(10, 20));
  EXPECT_EQ(right->presses, 0);
  EXPECT_EQ(left->presses, 1);
  EXPECT_EQ(left->last, QPoint(110, 20));
  releaseCapture();
  QTest::mouseClick(right, Qt::LeftButton, {}, QPoint(10, 20));
  EXPECT_EQ(right->presses, 1);

  int seen = 0;
  const int hook = installMouseHook([&](QWidget* target, QMouseEvent* e) {
    if (e->type() == QEvent::MouseButtonPress && target == right) ++seen;
    return true;
  });
  QTest::mouseClick(right, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(right->presses, 1);
  removeMouseHook(hook);
  QTest::mouseClick(right, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(right->presses, 2);
}

TEST(MouseCapture, TheHolderHearsWhenItLosesTheCapture) {
  QWidget top;
  auto* first = new Recorder;
  auto* second = new Recorder;
  first->setParent(&top);
  second->setParent(&top);

  setCapture(first);
  setCapture(first);  // taken again by the holder: nothing lost
  EXPECT_TRUE(first->lostTo.empty());
  EXPECT_EQ(setCapture(second), first);
  EXPECT_EQ(first->lostTo, std::vector<QWidget*>{second});
  releaseCapture();
  EXPECT_EQ(second->lostTo, std::vector<QWidget*>{nullptr});
  EXPECT_EQ(first->lostTo.size(), 1u);
  // Nobody holds it: a release tells nobody.
  releaseCapture();
  EXPECT_EQ(second->lostTo.size(), 1u);

  // A holder that is gone hears nothing, and the capture is free.
  setCapture(first);
  delete first;
  EXPECT_EQ(getCapture(), nullptr);
  setCapture(second);
  releaseCapture();
  EXPECT_EQ(second->lostTo.size(), 2u);
}
