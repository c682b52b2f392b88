#include "app/common/word_after_input.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimer>

#include "services/user_action.h"

WordAfterInput::WordAfterInput(QObject* parent) : QObject(parent) {}

WordAfterInput::~WordAfterInput() { stopWatching(); }

void WordAfterInput::post(std::function<void()> say) {
  say_ = std::move(say);
  if (!watching_) queueTry();
}

void WordAfterInput::queueTry() {
  if (queued_) return;
  queued_ = true;
  QTimer::singleShot(0, this, [this] {
    queued_ = false;
    sayWhenReleased();
  });
}

void WordAfterInput::cancel() {
  say_ = nullptr;
  stopWatching();
}

void WordAfterInput::sayWhenReleased() {
  if (!say_) return;
  if (QGuiApplication::mouseButtons() != Qt::NoButton) {
    if (!watching_) qApp->installEventFilter(this);
    watching_ = true;
    return;
  }
  stopWatching();
  const std::function<void()> say = std::move(say_);
  say_ = nullptr;
  // Whatever action is running when the word comes (a timer's, the next click's) did not cause it.
  const ActionOfItsOwn own;
  say();
}

bool WordAfterInput::eventFilter(QObject* watched, QEvent* event) {
  // A move with no button down tells a release this program never received (taken by another window).
  const bool released = event->type() == QEvent::MouseButtonRelease ||
                        (event->type() == QEvent::MouseMove && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton);
  if (released) queueTry();  // after the control under the mouse has had the release
  return QObject::eventFilter(watched, event);
}

void WordAfterInput::stopWatching() {
  if (watching_) qApp->removeEventFilter(this);
  watching_ = false;
}
