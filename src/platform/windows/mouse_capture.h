// Mouse capture and thread mouse hooks through an application event filter: Qt's own grab does
// not work on every platform (not offscreen), and bars must follow the mouse outside themselves
// while a menu is open.
#pragma once

#include <QEvent>
#include <functional>

class QMouseEvent;
class QWidget;

namespace platform {

// While a widget holds the capture, mouse events meant for any other widget go to it instead
// (positions mapped to it). Returns the previous holder.
QWidget* setCapture(QWidget* widget);
void releaseCapture();
QWidget* getCapture();

// Sent to a widget that loses the capture, whether another widget takes it or it is released;
// a drag that needs the capture ends on it.
class CaptureChangedEvent : public QEvent {
 public:
  explicit CaptureChangedEvent(QWidget* newHolder) : QEvent(eventType()), m_newHolder(newHolder) {}
  static QEvent::Type eventType();
  // The widget that holds the capture now; null after a release.
  QWidget* newHolder() const { return m_newHolder; }

 private:
  QWidget* m_newHolder;
};

// Sees every mouse event of the application before its widget does; returning true swallows
// the event. Hooks run newest first, and a hook may remove itself while it runs.
using MouseHook = std::function<bool(QWidget* target, QMouseEvent* event)>;
int installMouseHook(MouseHook hook);
void removeMouseHook(int handle);

}  // namespace platform
