// Input for list views as the window system delivers it: the wheel and the mouse buttons through
// the window under the mouse, keys with their timestamps.
#pragma once

#include <QAbstractItemView>
#include <QEvent>
#include <QPoint>
#include <QScrollBar>
#include <Qt>
#include <vector>

class QWindow;

namespace listinput {

// Turns the wheel downwards (upwards for a negative count) over the point of the widget, through
// its window, the modifiers held.
void turnWheelOver(QWidget& widget, QPoint inWidget, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Turns the wheel downwards (upwards for a negative count) over the middle of the view's rows.
void turnWheel(QAbstractItemView& view, int notches);
// Presses and releases the key on the widget, as a keyboard does.
void pressKey(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// An event of the left mouse button: its kind (a press, a release, a move), where in the window, and
// how many milliseconds after the event before it.
struct Mouse {
  QEvent::Type type;
  QPoint at;
  int after = 16;
};
// Hands the events to the window through the window system's entry point, with their timestamps,
// each inner list at a turn of the event loop of its own that waited for input first: events that
// came in while the window was busy come in one go.
void deliverInTurns(QWindow& window, const std::vector<std::vector<Mouse>>& turns);
// The middle of the scroll bar's thumb, in the coordinates of the bar's window.
QPoint thumbOf(const QScrollBar& bar);

// Where the view's rows stand: 0 at the top.
inline int scrolledTo(const QAbstractItemView& view) { return view.verticalScrollBar()->value(); }
inline bool atTop(const QAbstractItemView& view) { return scrolledTo(view) == view.verticalScrollBar()->minimum(); }
inline bool atBottom(const QAbstractItemView& view) { return scrolledTo(view) == view.verticalScrollBar()->maximum(); }

// Turns the wheel away from the first row, then from the last, and checks that Home, Ctrl+Home,
// End and Ctrl+End each bring their row back into view, moved to or already current. The view is
// on screen with rows enough to scroll; its first row becomes the current one.
void expectHomeAndEndBringTheirRowBack(QAbstractItemView& view);

}  // namespace listinput
