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
  std::wstring text;
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

// Whether a failure is to be said, given whether an earlier one of the action already says it.
bool toBeSaid(const std::wstring& text, bool saidBy(const ToldFailure&, const std::wstring&)) {
  if (!sqliteplus::busyWaitsCountedPerAction()) return true;
  const unsigned long long action = sqliteplus::busyWaitAction();
  if (toldFailure.told && toldFailure.action == action && saidBy(toldFailure, text)) {
    platform::traceError(L"already told in this action: %ls\n", text.c_str());
    return false;
  }
  toldFailure = {true, action, text};
  return true;
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
    : told_(toldFailure.told), toldAction_(toldFailure.action), toldText_(toldFailure.text), holds_(actionHolds) {
  toldFailure = {};
  actionHolds = 0;
}

ActionOfItsOwn::~ActionOfItsOwn() {
  toldFailure = {told_, toldAction_, toldText_};
  actionHolds = holds_;
}

bool failedReadToBeSaid(const std::wstring& text) {
  return toBeSaid(text, [](const ToldFailure&, const std::wstring&) { return true; });
}

bool unmadeChangeToBeSaid(const std::wstring& text) {
  return toBeSaid(text, [](const ToldFailure& told, const std::wstring& change) { return told.text == change; });
}
