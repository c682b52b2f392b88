#include "platform/windows/mouse_capture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <map>

namespace platform {
namespace {

bool isMouseEvent(QEvent::Type t) {
  return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
         t == QEvent::MouseButtonDblClick || t == QEvent::MouseMove;
}

class MouseFilter : public QObject {
 public:
  QPointer<QWidget> capture;
  std::map<int, MouseHook> hooks;
  int nextHandle = 1;
  bool redirecting = false;

  static MouseFilter& instance() {
    static MouseFilter* filter = [] {
      auto* f = new MouseFilter;
      if (qApp) qApp->installEventFilter(f);
      return f;
    }();
    return *filter;
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (redirecting || !isMouseEvent(event->type()) || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    for (auto it = hooks.rbegin(); it != hooks.rend();) {
      const int handle = it->first;
      MouseHook hook = it->second;
      if (hook(widget, mouse)) return true;
      it = std::make_reverse_iterator(hooks.lower_bound(handle));
    }
    if (!capture || capture == widget) return false;
    const QPointF local = capture->mapFromGlobal(mouse->globalPosition());
    QMouseEvent copy(mouse->type(), local, mouse->globalPosition(), mouse->button(), mouse->buttons(),
                     mouse->modifiers());
    redirecting = true;
    QApplication::sendEvent(capture, &copy);
    redirecting = false;
    return true;
  }
};

// The holder changes first, so that the old one sees who holds the capture when it hears of it.
QWidget* changeCapture(QWidget* widget) {
  MouseFilter& f = MouseFilter::instance();
  QPointer<QWidget> previous = f.capture.data();
  f.capture = widget;
  if (previous && previous != widget) {
    CaptureChangedEvent lost(widget);
    QApplication::sendEvent(previous, &lost);
  }
  return previous;
}

}  // namespace

QEvent::Type CaptureChangedEvent::eventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QWidget* setCapture(QWidget* widget) { return changeCapture(widget); }

void releaseCapture() { changeCapture(nullptr); }

QWidget* getCapture() { return MouseFilter::instance().capture; }

int installMouseHook(MouseHook hook) {
  MouseFilter& f = MouseFilter::instance();
  const int handle = f.nextHandle++;
  f.hooks.emplace(handle, std::move(hook));
  return handle;
}

void removeMouseHook(int handle) { MouseFilter::instance().hooks.erase(handle); }

}  // namespace platform
