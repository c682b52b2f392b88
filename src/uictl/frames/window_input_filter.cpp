#include "uictl/frames/window_input_filter.h"

#include "uictl/bars/commands/key_focus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

bool isRoutedInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

WindowInputFilter::WindowInputFilter(QWidget* window, Route route) : m_window(window), m_route(std::move(route)) {
  qApp->installEventFilter(this);
}

WindowInputFilter::~WindowInputFilter() {
  if (qApp) qApp->removeEventFilter(this);
}

bool WindowInputFilter::belongsTo(const QWidget* widget, const QWidget* window) {
  for (; widget; widget = widget->parentWidget())
    if (widget == window) return true;
  return false;
}

bool WindowInputFilter::passedOnToParent(QWidget* target, const Seen& seen) const {
  if (!m_last.receiver || m_last.receiver == target || seen.type != m_last.type || seen.key != m_last.key ||
      seen.modifiers != m_last.modifiers || seen.global != m_last.global || seen.buttons != m_last.buttons)
    return false;
  for (QWidget* w = m_last.receiver->parentWidget(); w; w = w->parentWidget())
    if (w == target) return true;
  return false;
}

bool WindowInputFilter::eventFilter(QObject* watched, QEvent* event) {
  if (!isRoutedInput(event->type()) || !watched->isWidgetType()) return false;
  auto* target = static_cast<QWidget*>(watched);
  if (!belongsTo(target, m_window)) return false;
  // A control inside a popup that holds the library's key focus gets the keys on its own.
  const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
  if (keyEvent && libraryKeyFocus()) return false;
  Seen seen;
  seen.type = event->type();
  if (auto* key = dynamic_cast<QKeyEvent*>(event)) {
    seen.key = key->key();
    seen.modifiers = key->modifiers().toInt();
  } else if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
    seen.global = mouse->globalPosition().toPoint();
    seen.buttons = mouse->buttons().toInt() | mouse->button();
  }
  const bool repeat = passedOnToParent(target, seen);
  seen.receiver = target;
  m_last = seen;
  if (repeat) return false;
  return m_route(target, event);
}
