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

WordAfterInput::~WordAfterInput() { watch(false); }

void WordAfterInput::post(QWidget* owner, const std::wstring& text) {
  // A later click that fails the same way says so in a box of its own, after the first.
  const unsigned long long press = pressesStartingActions();
  const auto waiting = std::ranges::find_if(words_, [&](const Word& word) { return word.text == text && word.press == press; });
  if (waiting == words_.end()) words_.push_back({owner, text, press});
  queueTry();  // also while watching: the events may have told the buttons up already
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
  if (words_.empty() && !heldByEvents_) watch(false);
}

Qt::MouseButtons WordAfterInput::heldButtons() const {
  return heldByEvents_.value_or(QGuiApplication::mouseButtons());
}

void WordAfterInput::sayWhenReleased() {
  if (words_.empty() || saying_) return;  // an open box's loop: its caller says what came meanwhile
  if (heldButtons() != Qt::NoButton) {
    watch(true);
    return;
  }
  watch(heldByEvents_.has_value());  // while the application's record is behind, the events tell
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
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      // The window system's own events tell the buttons truly: the application's record follows
      // presses and releases only, so a release another window took (a move with no button down
      // tells it) leaves the button held there until the next click. The moves the toolkit makes up
      // as a widget comes or goes under the mouse say no button whatever is held.
      if (!event->spontaneous()) break;
      const Qt::MouseButtons held = static_cast<QMouseEvent*>(event)->buttons();
      if (held == QGuiApplication::mouseButtons()) {
        heldByEvents_.reset();
      } else {
        heldByEvents_ = held;
      }
      if (!words_.empty() && held == Qt::NoButton) {
        queueTry();  // after the control under the mouse has had the release
      } else if (words_.empty() && !heldByEvents_) {
        watch(false);
      }
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void WordAfterInput::watch(bool on) {
  if (on == watching_) return;
  if (on) {
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
  }
  watching_ = on;
}

void reportFailedReadAfterInput(WordAfterInput& word, QWidget* owner, const std::wstring& what) {
  const std::wstring text = databaseFailureText(what);
  if (failedReadToBeSaid(text)) word.post(owner, text);
}
