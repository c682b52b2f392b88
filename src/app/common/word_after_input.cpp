#include "app/common/word_after_input.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "services/database_failure.h"
#include "services/user_action.h"

WordAfterInput::WordAfterInput(QObject* parent) : QObject(parent) {}

WordAfterInput::~WordAfterInput() { stopWatching(); }

void WordAfterInput::post(QWidget* owner, const std::wstring& text) {
  // A later click that fails the same way says so in a box of its own, after the first.
  const unsigned long long press = pressesStartingActions();
  const auto waiting = std::ranges::find_if(words_, [&](const Word& word) { return word.text == text && word.press == press; });
  if (waiting == words_.end()) words_.push_back({owner, text, press});
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

void WordAfterInput::cancel(const std::wstring& text) {
  std::erase_if(words_, [&](const Word& word) { return word.text == text; });
  if (words_.empty()) stopWatching();
}

void WordAfterInput::sayWhenReleased() {
  if (words_.empty() || saying_) return;  // an open box's loop: its caller says what came meanwhile
  if (QGuiApplication::mouseButtons() != Qt::NoButton) {
    if (!watching_) qApp->installEventFilter(this);
    watching_ = true;
    return;
  }
  stopWatching();
  const QPointer<WordAfterInput> alive(this);
  saying_ = true;
  while (alive && !words_.empty()) {
    const Word word = words_.front();
    words_.erase(words_.begin());
    // Whatever action is running when the word comes (a timer's, the next click's) did not cause it.
    const ActionOfItsOwn own;
    platform::messageBox(word.owner, word.text, kAppCaption);
  }
  if (alive) saying_ = false;
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

void reportFailedReadAfterInput(WordAfterInput& word, QWidget* owner, const std::wstring& what) {
  const std::wstring text = databaseFailureText(what);
  if (failedReadToBeSaid(text)) word.post(owner, text);
}
