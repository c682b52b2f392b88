// One user action: from the input that starts it until the event loop goes back to waiting for the
// next. Its statements share one bounded wait for a file another program holds, and of the failures
// it meets the learner is told the first: the rest follow from the same cause (the wait is spent, the
// file is still read-only or the disk still full) and are only traced. A change the learner asked for
// that was not made is told all the same: no message before it said so.
#pragma once

#include <string>

#include "database/engine/busy_wait.h"

// On the calling (GUI) thread: waits for a busy file are counted per action, and an action ends when
// the event loop is about to wait for input, unless an OngoingAction holds it. While a message box
// of the action is open the action is set aside (ActionOfItsOwn): what the box's event loop delivers
// is no part of it, and the action goes on with the box's answer as it was. Other modal dialogs end
// actions: what the user does in them is new. Calling it again changes nothing.
void waitForBusyDatabaseOncePerAction();

// Keeps the calling thread's action going across event-loop turns, for work that runs in steps on
// a timer: one click is one action, with one wait and one message, however many steps it takes.
class OngoingAction {
 public:
  OngoingAction();
  ~OngoingAction();
  OngoingAction(const OngoingAction&) = delete;
  OngoingAction& operator=(const OngoingAction&) = delete;
};

// Work the current action did not start (a worker's result, a timer) runs as an action of its own
// while this lives: its own wait, its own failures and its own message, none of them lent to the
// action it came in the middle of, which then goes on as it was.
class ActionOfItsOwn {
 public:
  ActionOfItsOwn();
  ~ActionOfItsOwn();
  ActionOfItsOwn(const ActionOfItsOwn&) = delete;
  ActionOfItsOwn& operator=(const ActionOfItsOwn&) = delete;

 private:
  sqliteplus::ActionSetAside waits_;
  bool told_;
  unsigned long long toldAction_;
  std::wstring toldText_;
  int holds_;
};

// Whether a failure of the current action is to be said to the learner: true for the first, false
// for every later one (whose text goes to standard error). Where waits are not counted per action
// (worker threads, programs without the event-loop hook) every failure is said.
bool firstFailureOfAction(const std::wstring& text);
// The same for a change the learner asked for that was not made (a study's save, a delete, an add),
// or a view that could not be read again: true unless the action has said this very text, since an
// earlier message does not tell it.
bool unmadeChangeToBeSaid(const std::wstring& text);
