// Input for list views as the window system delivers it: the wheel through the window under the
// mouse, keys with their timestamps.
#pragma once

#include <QAbstractItemView>
#include <QScrollBar>
#include <Qt>

namespace listinput {

// Turns the wheel downwards (upwards for a negative count) over the middle of the view's rows.
void turnWheel(QAbstractItemView& view, int notches);
// Presses and releases the key on the widget, as a keyboard does.
void pressKey(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Where the view's rows stand: 0 at the top.
inline int scrolledTo(const QAbstractItemView& view) { return view.verticalScrollBar()->value(); }
inline bool atTop(const QAbstractItemView& view) { return scrolledTo(view) == view.verticalScrollBar()->minimum(); }
inline bool atBottom(const QAbstractItemView& view) { return scrolledTo(view) == view.verticalScrollBar()->maximum(); }

// Turns the wheel away from the first row, then from the last, and checks that Home, Ctrl+Home,
// End and Ctrl+End each bring their row back into view, moved to or already current. The view is
// on screen with rows enough to scroll; its first row becomes the current one.
void expectHomeAndEndBringTheirRowBack(QAbstractItemView& view);

}  // namespace listinput
