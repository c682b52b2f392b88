// For the test runner, which makes each test an action of its own: what a test left holding the
// calling thread's action (services/user_action.h), and letting go of it, read from the action's own
// bookkeeping (services/user_action_bookkeeping.h). In the library kelvara_action_test_support.
#pragma once

// What keeps the calling thread's action from ending where the event loop waits for the next input:
// OngoingActions alive, and boxes that set it aside and have not taken it up again. Both are 0 there;
// one left over would keep every later input in one action, whose failures would go unsaid.
int ongoingActionsLeft();
int boxesSetAsideLeft();
// Lets go of the holds and set-asides left on the calling thread, for whoever found some: what comes
// next is an action of its own again.
void releaseActionHoldsLeft();
