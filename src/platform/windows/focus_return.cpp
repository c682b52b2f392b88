#include "platform/windows/focus_return.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QWidget>

namespace platform {
namespace {

class FocusReturn : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous() || !watched->isWidgetType())
      return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow() || !window->isModal()) return false;
    if (type == QEvent::Show) {
      QWidget* active = QApplication::activeWindow();
      openers_.insert(window, active != window ? active : nullptr);
    } else {
      closed(*window);
    }
    return false;
  }

 private:
  void closed(QWidget& window) {
    QPointer<QWidget> opener = openers_.take(&window);
    if (!opener && window.parentWidget()) opener = window.parentWidget()->window();
    // Another program has the focus, or a window of ours that stays: it is not taken from them.
    // The window system tells of a change of focus only after the window has closed, so a window
    // closed just before this one may still pass for the focused one.
    const QWindow* focus = QGuiApplication::focusWindow();
    if (QGuiApplication::applicationState() != Qt::ApplicationActive || (focus && focus->isVisible())) return;
    pending_ = opener;
    if (!queued_) {
      queued_ = true;
      // Once whatever closes with it has closed too: a box's OK that also ends its dialog.
      QTimer::singleShot(0, this, [this] { activate(); });
    }
  }

  void activate() {
    queued_ = false;
    QWidget* target = QApplication::activeModalWidget();
    if (!target || !target->isVisible()) target = firstOpenWindow(pending_);
    pending_ = nullptr;
    if (target && target != QApplication::activeWindow()) target->activateWindow();
  }

  static QWidget* firstOpenWindow(QWidget* window) {
    while (window && !window->isVisible()) window = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    return window;
  }

  QHash<QWidget*, QPointer<QWidget>> openers_;
  QPointer<QWidget> pending_;
  bool queued_ = false;
};

}  // namespace

void returnFocusToOpeners() {
  // Owned by the application: one that is made again gets a filter of its own.
  static QPointer<FocusReturn> filter;
  if (filter) return;
  filter = new FocusReturn;
  filter->setParent(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace platform
