// Home, End, Ctrl+Home and Ctrl+End in a list bring their row into view, as the desktop's list
// views do. Qt's views scroll only when the current row changes: after a turn of the wheel or a
// drag of the scroll bar, Home on the first row, already current, left the view where it was.
#pragma once

class QAbstractItemView;

namespace platform {

// From now on the view shows the current row after each of these keys, whether it moved or not.
// The keys do what they did before (selection and all); the view owns what watches them, and
// calling it again for the same view changes nothing.
void bringHomeAndEndRowsIntoView(QAbstractItemView& view);

}  // namespace platform
