#include "services/user_action.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/trace.h"
#include "platform/windows/notifier.h"
#include "services/user_action_bookkeeping.h"

namespace useraction {

thread_local int holds = 0;
thread_local std::vector<std::unique_ptr<ActionOfItsOwn>> boxLoops;
Qt::MouseButtons buttonsByEvents = Qt::NoButton;

}  // namespace useraction

namespace {

using useraction::boxLoops;
using useraction::buttonsByEvents;

thread_local int silences = 0;  // SayingNothing alive on the thread
unsigned long long presses = 0;  // on the GUI thread

// The texts the action numbered `action` has said, in order.
struct Told {
  unsigned long long action = 0;
  std::vector<std::wstring> texts;
};
thread_local Told told;

void enterBoxLoop() { boxLoops.push_back(std::make_unique<ActionOfItsOwn>()); }

void leaveBoxLoop() {
  if (!boxLoops.empty()) boxLoops.pop_back();
}

enum class Failed { read, change };

// Whether a failure's text is to be said, by what failed and what the action has said so far.
bool toBeSaid(Failed what, const std::wstring& text) {
  if (silences > 0) return false;
  if (!sqliteplus::busyWaitsCountedPerAction()) return true;
  const unsigned long long action = sqliteplus::busyWaitAction();
  if (told.action != action) told = {action, {}};
  if (std::ranges::find(told.texts, text) != told.texts.end()) {
    platform::traceError(L"already told in this action: %ls\n", text.c_str());
    return false;
  }
  if (what == Failed::read && !told.texts.empty()) {
    platform::traceError(L"after a failure told in this action: %ls\n", text.c_str());
    return false;
  }
  told.texts.push_back(text);
  return true;
}

// A button held keeps the press's action going: a drag of a scroll bar's thumb, or a press held in
// its track, is one gesture however many event-loop turns its moves and repeats take. Held only
// while the application's record agrees: a release another window took ends it at the next move.
bool pressHeld() { return buttonsByEvents != Qt::NoButton && QGuiApplication::mouseButtons() != Qt::NoButton; }

// While the window waits for another program, the clicks made meanwhile queue up and are delivered
// in one go: each press still starts an action of its own, with its own wait and its own word. The
// second press of a double click and the double-click event the toolkit makes of it go on with the
// first press's action: one wait and one word for the gesture. Seen where the window system hands
// the events to a window.
class PressStartsAction : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
      return false;
    if (!event->spontaneous() || !watched->isWindowType()) return false;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress && !(mouse->flags() & Qt::MouseEventCreatedDoubleClick)) {
      ++presses;
      if (useraction::holds == 0) sqliteplus::endBusyWaitAction();
    }
    buttonsByEvents = mouse->buttons();
    return false;
  }
};

}  // namespace

void waitForBusyDatabaseOncePerAction() {
  sqliteplus::countBusyWaitsPerAction();
  platform::setBoxLoopHooks(enterBoxLoop, leaveBoxLoop);
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  static QPointer<QAbstractEventDispatcher> hooked;
  if (!dispatcher || hooked == dispatcher) return;
  hooked = dispatcher;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, endActionUnlessHeld);
  qApp->installEventFilter(new PressStartsAction(qApp));
}

void endActionUnlessHeld() {
  if (useraction::holds > 0 || pressHeld()) return;
  sqliteplus::endBusyWaitAction();
}

unsigned long long pressesStartingActions() { return presses; }

OngoingAction::OngoingAction() { ++useraction::holds; }

OngoingAction::~OngoingAction() { --useraction::holds; }

ActionOfItsOwn::ActionOfItsOwn() : toldAction_(told.action), told_(std::move(told.texts)), holds_(useraction::holds) {
  told = {};
  useraction::holds = 0;
}

ActionOfItsOwn::~ActionOfItsOwn() {
  told = {toldAction_, std::move(told_)};
  useraction::holds = holds_;
}

SayingNothing::SayingNothing() { ++silences; }

SayingNothing::~SayingNothing() { --silences; }

bool sayingNothing() { return silences > 0; }

bool failedReadToBeSaid(const std::wstring& text) { return toBeSaid(Failed::read, text); }

bool unmadeChangeToBeSaid(const std::wstring& text) { return toBeSaid(Failed::change, text); }
