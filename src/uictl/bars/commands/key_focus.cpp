#include "uictl/bars/commands/key_focus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget> g_holder;

class KeyFocusFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !g_holder || watched == g_holder) return false;
    // Only events meant for widgets are passed on; the window's own copy of the same key is not.
    if (!watched->isWidgetType()) return false;
    // A key the holder left unaccepted travels up to its ancestors: sent back, it would go round for ever.
    if (static_cast<QWidget*>(watched)->isAncestorOf(g_holder)) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    QKeyEvent copy(type, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(g_holder, &copy);
    return true;
  }
};

KeyFocusFilter* filter() {
  static KeyFocusFilter* instance = [] {
    auto* made = new KeyFocusFilter;
    made->setParent(qApp);
    qApp->installEventFilter(made);
    QObject::connect(qApp, &QApplication::focusChanged, made, [](QWidget*, QWidget* now) {
      if (now != g_holder) g_holder = nullptr;
    });
    return made;
  }();
  return instance;
}

}  // namespace

QWidget* setLibraryKeyFocus(QWidget* widget) {
  QWidget* previous = g_holder;
  if (widget) filter();
  g_holder = widget;
  return previous;
}

QWidget* libraryKeyFocus() { return g_holder; }
