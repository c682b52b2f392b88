// Lets a window look at every key and mouse event meant for one of its widgets (its children and
// the floating windows it owns) before the widget does, the way a frame or dialog sees its
// messages before they are dispatched. Keys go to the focus widget, so the filter watches the
// application; an event that Qt passes on to the parents is offered once.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QWidget;

class WindowInputFilter : public QObject {
 public:
  // True from `route` swallows the event.
  using Route = std::function<bool(QWidget* target, QEvent* event)>;
  WindowInputFilter(QWidget* window, Route route);
  ~WindowInputFilter() override;

  // Whether `widget` is the window or lies inside it or one of the windows it owns.
  static bool belongsTo(const QWidget* widget, const QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What tells a new event from the same one passed on to a parent.
  struct Seen {
    QEvent::Type type = QEvent::None;
    int key = 0;
    int modifiers = 0;
    QPoint global;
    int buttons = 0;
    QPointer<QWidget> receiver;
  };
  bool passedOnToParent(QWidget* target, const Seen& seen) const;

  QWidget* m_window;
  Route m_route;
  Seen m_last;
};
