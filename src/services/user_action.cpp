#include "services/user_action.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <memory>
#include <vector>

#include "platform/trace.h"
#include "platform/windows/notifier.h"

namespace {

thread_local int actionHolds = 0;

struct ToldFailure {
  bool told = false;
  unsigned long long action = 0;  // the action it was told in
};
thread_local ToldFailure toldFailure;

// The actions set aside by the boxes open on this thread, the innermost last.
thread_local std::vector<std::unique_ptr<ActionOfItsOwn>> boxLoops;

void endActionUnlessHeld() {
  if (actionHolds > 0) return;
  sqliteplus::endBusyWaitAction();
}

void enterBoxLoop() { boxLoops.push_back(std::make_unique<ActionOfItsOwn>()); }

void leaveBoxLoop() {
  if (!boxLoops.empty()) boxLoops.pop_back();
}

}  // namespace

void waitForBusyDatabaseOncePerAction() {
  sqliteplus::countBusyWaitsPerAction();
  platform::setBoxLoopHooks(enterBoxLoop, leaveBoxLoop);
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  static QPointer<QAbstractEventDispatcher> hooked;
  if (!dispatcher || hooked == dispatcher) return;
  hooked = dispatcher;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, endActionUnlessHeld);
}

OngoingAction::OngoingAction() { ++actionHolds; }

OngoingAction::~OngoingAction() { --actionHolds; }

ActionOfItsOwn::ActionOfItsOwn()
    : told_(toldFailure.told), toldAction_(toldFailure.action), holds_(actionHolds) {
  toldFailure = {};
  actionHolds = 0;
}

ActionOfItsOwn::~ActionOfItsOwn() {
  toldFailure = {told_, toldAction_};
  actionHolds = holds_;
}

bool firstFailureOfAction(const std::wstring& text) {
  if (!sqliteplus::busyWaitsCountedPerAction()) return true;
  const unsigned long long action = sqliteplus::busyWaitAction();
  if (toldFailure.told && toldFailure.action == action) {
    platform::traceError(L"already told in this action: %ls\n", text.c_str());
    return false;
  }
  toldFailure = {true, action};
  return true;
}
