// Sees Escape wherever the keyboard focus is, for the time a drag or a follow loop lasts: the
// window that holds the mouse is seldom the one that gets the keys. The key is swallowed.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

#include <functional>

class EscapeWatcher : public QObject {
 public:
  explicit EscapeWatcher(std::function<void()> onEscape) : onEscape_(std::move(onEscape)) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~EscapeWatcher() override { QCoreApplication::instance()->removeEventFilter(this); }
  EscapeWatcher(const EscapeWatcher&) = delete;
  EscapeWatcher& operator=(const EscapeWatcher&) = delete;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
    // The answer may end the watch and delete this watcher: it runs from a copy.
    const std::function<void()> onEscape = onEscape_;
    onEscape();
    return true;
  }

 private:
  std::function<void()> onEscape_;
};
