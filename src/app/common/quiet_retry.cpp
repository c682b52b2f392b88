#include "app/common/quiet_retry.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>

#include "app/common/word_after_input.h"
#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "platform/trace.h"
#include "services/user_action.h"

namespace {

// What is left unread fills within about this much of the other program letting go.
constexpr std::chrono::milliseconds kRetryInterval{300};

}  // namespace

QuietRetry::QuietRetry(QWidget& shown, std::function<bool()> tryAgain, std::wstring failure,
                       BeforePaints beforePaints)
    : QObject(&shown),
      shown_(shown),
      tryAgain_(std::move(tryAgain)),
      failure_(std::move(failure)),
      beforePaints_(beforePaints == BeforePaints::yes),
      timer_(new QTimer(this)),
      word_(new WordAfterInput(this)) {
  timer_->setObjectName("quietRetryTimer");  // what a look from outside sees of the tries
  timer_->setInterval(kRetryInterval);
  connect(timer_, &QTimer::timeout, this, &QuietRetry::tryNow);
}

void QuietRetry::follow(bool read) {
  if (trying_) return;
  if (read || !sqliteplus::lastFailureMayPass()) {
    stop();
    return;
  }
  if (!pending_) {
    pending_ = true;
    shown_.installEventFilter(this);
    window_ = shown_.window();
    if (window_ != &shown_) window_->installEventFilter(this);
  }
  schedule();
}

bool QuietRetry::onScreen() const { return shown_.isVisible() && window_ && !window_->isMinimized(); }

bool QuietRetry::uncovered() const {
  // A box or a menu over the window belongs to an action under way, which goes on with what it read.
  const QWidget* modal = QApplication::activeModalWidget();
  return (!modal || modal == window_) && !QApplication::activePopupWidget();
}

void QuietRetry::schedule() {
  if (!pending_ || !onScreen())
    timer_->stop();
  else if (!timer_->isActive())
    timer_->start();
}

void QuietRetry::tryNow() {
  if (!pending_ || trying_) return;
  if (!onScreen()) {
    timer_->stop();  // taken up again by the events that show it
    return;
  }
  if (!uncovered()) return;  // the timer tries again once the box or the menu is gone
  const QPointer<QuietRetry> alive(this);
  trying_ = true;
  bool read = false;
  bool mayPass = false;
  sqliteplus::EngineFailure cause = sqliteplus::EngineFailure::none;
  {
    // No part of the action under way, and no wait: neither a paint nor the learner's input is held
    // up for another program.
    const ActionOfItsOwn own;
    const sqliteplus::GiveUpOnBusyFile noWait;
    {
      // A cause that may pass is no news while it lasts: the action that met it has traced and said it.
      platform::HeldErrorTraces traces;
      const SayingNothing quiet;
      read = tryAgain_();
      cause = sqliteplus::lastEngineFailure();
      mayPass = sqliteplus::lastFailureMayPass();
      if (!read && !mayPass) traces.write();
    }
    // A cause that lasts is said once, and no longer tried: nothing but the learner can mend it.
    if (alive && !read && !mayPass && cause != sqliteplus::EngineFailure::none)
      reportFailedReadAfterInput(*word_, shown_.window(), failure_);
  }
  if (!alive) return;
  trying_ = false;
  if (read || !mayPass) stop();
}

void QuietRetry::stop() {
  timer_->stop();
  if (!pending_) return;
  pending_ = false;
  shown_.removeEventFilter(this);
  if (window_) window_->removeEventFilter(this);
  window_ = nullptr;
}

bool QuietRetry::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
      // Queued: the state the event tells is the widget's only once it has been handled.
      QTimer::singleShot(0, this, &QuietRetry::schedule);
      break;
    case QEvent::UpdateRequest:
      // The window's update request comes before any of its widgets is painted, not inside a paint.
      if (beforePaints_ && watched == window_) tryNow();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
