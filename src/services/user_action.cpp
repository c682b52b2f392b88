#include "services/user_action.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>

#include "database/engine/busy_wait.h"
#include "platform/trace.h"
#include "platform/windows/notifier.h"

namespace {

thread_local int actionHolds = 0;

struct ToldFailure {
  bool told = false;
  unsigned long long action = 0;  // the action it was told in
};
thread_local ToldFailure toldFailure;

void endActionUnlessHeld() {
  if (platform::messageBoxesOpen() > 0 || actionHolds > 0) return;
  sqliteplus::endBusyWaitAction();
}

}  // namespace

void waitForBusyDatabaseOncePerAction() {
  sqliteplus::countBusyWaitsPerAction();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  static QPointer<QAbstractEventDispatcher> hooked;
  if (!dispatcher || hooked == dispatcher) return;
  hooked = dispatcher;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, endActionUnlessHeld);
}

OngoingAction::OngoingAction() { ++actionHolds; }

OngoingAction::~OngoingAction() { --actionHolds; }

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
