// What user_action.cpp keeps of the calling thread's action (services/user_action.h), declared apart
// so that the tests' runner can tell what a test left holding its action and let go of it. The
// program reaches it only through user_action.h.
#pragma once

#include <Qt>
#include <memory>
#include <vector>

#include "services/user_action.h"

namespace useraction {

// The OngoingActions alive on this thread.
extern thread_local int holds;
// The actions set aside by the boxes open on this thread, the innermost last.
extern thread_local std::vector<std::unique_ptr<ActionOfItsOwn>> boxLoops;
// The mouse buttons held, as the window system's latest mouse event to one of the program's windows
// tells them (on the GUI thread).
extern Qt::MouseButtons buttonsByEvents;

}  // namespace useraction
