// One user action: from the input that starts it until the event loop goes back to waiting for the
// next. Its statements share one bounded wait for a file another program holds. What the learner is
// told of its failures follows from what failed:
// - a read the action needs that failed is told, with its cause, only when the action has told no
//   failure yet; a later one follows from the same cause (the wait is spent, the file is still
//   unreadable) and is only traced;
// - a change the learner asked for that was not made is always told: no earlier message said so;
//   so is a view that could not be read again and still shows what it showed;
// - no text is told twice in one action.
#pragma once

#include <string>
#include <vector>

#include "database/engine/busy_wait.h"

// On the calling (GUI) thread: waits for a busy file are counted per action, and an action ends when
// the event loop is about to wait for input, or when a mouse press comes that was queued behind it,
// unless an OngoingAction holds it. A press is one action until its button is up (a drag, a press
// held on a scroll bar); the second press of a double click starts none. While a message box of the
// action is open the action is set aside (ActionOfItsOwn): what the box's event loop delivers is no
// part of it, and the action goes on with the box's answer as it was. Other modal dialogs end
// actions: what the user does in them is new. Calling it again changes nothing.
void waitForBusyDatabaseOncePerAction();

// Ends the calling thread's action as the event loop does when it is about to wait for input: unless
// an OngoingAction or a mouse button held since a press holds it.
void endActionUnlessHeld();

// How many mouse presses have started an action so far: what one press brought about (a held scroll
// bar paging on) is told apart from what a later press did.
unsigned long long pressesStartingActions();

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
  unsigned long long toldAction_;
  std::vector<std::wstring> told_;
  int holds_;
};

// While it lives, nothing the calling thread's failures would say is said, nor traced as kept back:
// for a read the program tries again by itself, which no learner asked for (the action that met the
// failure first has said it). Whoever tries says what it finally comes to.
class SayingNothing {
 public:
  SayingNothing();
  ~SayingNothing();
  SayingNothing(const SayingNothing&) = delete;
  SayingNothing& operator=(const SayingNothing&) = delete;
};
// Whether a SayingNothing lives on the calling thread: a box that is not a failure's (a count that
// is no number) is not shown either.
bool sayingNothing();

// Whether `text`, telling of a failed read the current action needs, is to be said to the learner:
// only when the action has said nothing yet. What is not said goes to standard error. Where waits are
// not counted per action (worker threads, programs without the event-loop hook) every failure is said.
bool failedReadToBeSaid(const std::wstring& text);
// The same for a change the learner asked for that was not made (a study's save, a delete, an add,
// one given up because what it needed could not be read), or a view that could not be read again and
// still shows what it showed: said unless the action has said this very text, since an earlier
// message does not tell it.
bool unmadeChangeToBeSaid(const std::wstring& text);
