#include "action_holds_left.h"

#include "services/user_action_bookkeeping.h"

int ongoingActionsLeft() { return useraction::holds; }

int boxesSetAsideLeft() { return static_cast<int>(useraction::boxLoops.size()); }

void releaseActionHoldsLeft() {
  // Innermost first, as the boxes would have closed: each takes up the action it set aside.
  while (!useraction::boxLoops.empty()) useraction::boxLoops.pop_back();
  useraction::holds = 0;
  useraction::buttonsByEvents = Qt::NoButton;  // a press the test left unreleased
}
