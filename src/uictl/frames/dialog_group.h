// Groups of a dialog's controls: the siblings in focus order from one that starts a group (the
// property "uxGroupStart") up to the next that does, as arrow keys walk radio buttons.
#pragma once

#include <vector>

class QWidget;

inline constexpr const char* kGroupStartProperty = "uxGroupStart";

// The group of `control`, in focus order; just the control when it has no parent.
std::vector<QWidget*> dialogGroupOf(QWidget* control);
// The next (or previous) visible and enabled control of the group after `control`, wrapping
// round; `control` itself when no other one qualifies.
QWidget* nextDialogGroupItem(QWidget* control, bool previous);
