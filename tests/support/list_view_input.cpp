#include "list_view_input.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace listinput {
namespace {

// Later than any event delivered before, as the window system's clock is.
ulong nextTimestamp(int after = 16) {
  static ulong stamp = 7'000'000;
  return stamp += after;
}

}  // namespace

void turnWheelOver(QWidget& widget, QPoint inWidget, int notches, Qt::KeyboardModifiers modifiers) {
  QWidget* window = widget.window();
  QWindow* handle = window->windowHandle();
  const QPoint at = widget.mapTo(window, inWidget);
  const QPoint global = widget.mapToGlobal(inWidget);
  for (int i = 0; i < std::abs(notches); ++i) {
    QWheelEvent wheel(at, global, QPoint(), QPoint(0, notches > 0 ? -QWheelEvent::DefaultDeltasPerStep : QWheelEvent::DefaultDeltasPerStep),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    wheel.setTimestamp(nextTimestamp());
    QApplication::sendEvent(handle, &wheel);
  }
}

void turnWheel(QAbstractItemView& view, int notches) {
  turnWheelOver(*view.viewport(), view.viewport()->rect().center(), notches);
}

void pressKey(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, modifiers);
    event.setTimestamp(nextTimestamp());
    QApplication::sendEvent(&widget, &event);
  }
}

void deliverInTurns(QWindow& window, const std::vector<std::vector<Mouse>>& turns) {
  QEventLoop loop;
  Qt::MouseButtons held;
  size_t next = 0;
  std::function<void()> turn = [&] {
    for (const Mouse& mouse : turns[next]) {
      if (mouse.type != QEvent::MouseMove) held = mouse.type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      qt_handleMouseEvent(&window, mouse.at, window.mapToGlobal(QPointF(mouse.at)), held,
                          mouse.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, mouse.type, {},
                          static_cast<int>(nextTimestamp(mouse.after)));
    }
    if (++next == turns.size()) loop.quit();
    else QTimer::singleShot(5, &loop, turn);  // a timer: the loop waits for it
  };
  QTimer::singleShot(5, &loop, turn);
  loop.exec();
}

QPoint thumbOf(const QScrollBar& bar) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.subControls = QStyle::SC_All;
  option.orientation = bar.orientation();
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  const QRect thumb = bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
  return bar.mapTo(bar.window(), thumb.center());
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
