// Windows opened by a window that is kept above all others. Window managers stack by layer
// before they stack a transient over its owner, so a box or dialog of a kept-on-top window that
// is not kept on top itself opens under it: focused, yet out of sight and out of reach.
#pragma once

class QWidget;

namespace platform {

// Whether the window the widget belongs to is kept above other windows.
bool staysOnTop(const QWidget* owner);

// Keeps the window on top when its owner (its parent's window) is; call before it first shows.
// A window asked to stay on top for itself keeps that.
void stackWithOwner(QWidget& window);

}  // namespace platform
