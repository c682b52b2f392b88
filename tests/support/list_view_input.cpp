#include "list_view_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

namespace listinput {
namespace {

// Later than any event delivered before, as the window system's clock is.
ulong nextTimestamp() {
  static ulong stamp = 7'000'000;
  return stamp += 16;
}

}  // namespace

void turnWheel(QAbstractItemView& view, int notches) {
  QWidget* window = view.window();
  QWindow* handle = window->windowHandle();
  const QPoint inView = view.viewport()->rect().center();
  const QPoint at = view.viewport()->mapTo(window, inView);
  const QPoint global = view.viewport()->mapToGlobal(inView);
  for (int i = 0; i < std::abs(notches); ++i) {
    QWheelEvent wheel(at, global, QPoint(), QPoint(0, notches > 0 ? -QWheelEvent::DefaultDeltasPerStep : QWheelEvent::DefaultDeltasPerStep),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    wheel.setTimestamp(nextTimestamp());
    QApplication::sendEvent(handle, &wheel);
  }
}

void pressKey(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, modifiers);
    event.setTimestamp(nextTimestamp());
    QApplication::sendEvent(&widget, &event);
  }
}

void expectHomeAndEndBringTheirRowBack(QAbstractItemView& view) {
  view.setCurrentIndex(view.model()->index(0, 0));
  for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
    turnWheel(view, 10);
    ASSERT_FALSE(atTop(view)) << "the wheel scrolls";
    pressKey(view, Qt::Key_Home, modifiers);
    EXPECT_TRUE(atTop(view)) << "Home, modifiers " << modifiers;
    EXPECT_EQ(view.currentIndex(), view.model()->index(0, 0));
  }
  pressKey(view, Qt::Key_End);
  ASSERT_TRUE(atBottom(view));
  const QModelIndex last = view.currentIndex();
  for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
    turnWheel(view, -10);
    ASSERT_FALSE(atBottom(view)) << "the wheel scrolls";
    pressKey(view, Qt::Key_End, modifiers);
    EXPECT_TRUE(atBottom(view)) << "End, modifiers " << modifiers;
    EXPECT_EQ(view.currentIndex(), last);
  }
}

}  // namespace listinput
