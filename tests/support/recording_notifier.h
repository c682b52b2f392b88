// Message boxes recorded as "<caption>: <text>" instead of shown, answered with `answer`. Each box
// behaves as a shown one does while the learner reads it: it runs an event loop of its own until it
// is answered a moment later (timers fire and the loop waits for input inside it), and it is modal,
// so no click or key reaches the program's windows meanwhile.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows/notifier.h"

class RecordingNotifier : public platform::Notifier {
 public:
  int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned) override {
    boxes.push_back(caption + L": " + text);
    InputBlocker modal;
    QCoreApplication::instance()->installEventFilter(&modal);
    QEventLoop reading;
    QTimer::singleShot(kReadingMs, &reading, &QEventLoop::quit);
    reading.exec();
    if (whileShown) return whileShown(text);
    return answer;
  }
  std::vector<std::wstring> boxes;
  int answer = platform::IdOk;
  // When set, what the learner (or another program) does while a box is up, and the box's answer.
  std::function<int(const std::wstring& text)> whileShown;

 private:
  static constexpr int kReadingMs = 10;

  class InputBlocker : public QObject {
   protected:
    bool eventFilter(QObject*, QEvent* event) override {
      switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
          return true;
        default:
          return false;
      }
    }
  };
};
