// What the popup menu tests share: a frame that keeps the active popup, may refuse popups and
// routes its keys to the active one, and mouse input delivered to the widget under a point.
#pragma once

#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/commands/virtual_keys.h"

#include "toolbar_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

class MenuFrame : public TestFrame, public PopupMenuFrameHook {
 public:
  bool OnShowPopupMenu(CUxPopupMenu* popup) override {
    if (popup && refuse) return false;
    active = popup;
    return true;
  }
  void OnClosePopupMenu() override { ++closed; }
  void keyPressEvent(QKeyEvent* e) override {
    if (active) active->OnKeyDown(virtualKeyOf(e->key()));
  }
  void press(int key) { QTest::keyClick(this, static_cast<Qt::Key>(key)); }
  QPointer<CUxPopupMenu> active;
  bool refuse = false;
  int closed = 0;
};

// A mouse event for whatever widget lies under the screen point.
inline void mouseAt(QEvent::Type type, const QPoint& screen) {
  QCursor::setPos(screen);
  // The platform's own move to the new position comes first.
  QCoreApplication::processEvents();
  QWidget* under = QApplication::widgetAt(screen);
  if (!under) return;
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, QPointF(under->mapFromGlobal(screen)), QPointF(screen), button, held, Qt::NoModifier);
  // As the X server's events, each later than the one before.
  static quint64 serverTime = 1000;
  serverTime += 10;
  event.setTimestamp(serverTime);
  QApplication::sendEvent(under, &event);
}

// The screen centre of an item of a bar.
inline QPoint itemCentre(CUxToolBar* bar, int index) {
  const platform::Rect r = bar->GetButton(index)->m_rect;
  return bar->mapToGlobal(bar->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
}

inline std::vector<CUxPopupMenu*> openPopups() {
  std::vector<CUxPopupMenu*> popups;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* popup = dynamic_cast<CUxPopupMenu*>(w); popup && popup->isVisible()) popups.push_back(popup);
  return popups;
}

// Lets closed popups go and posted commands run.
inline void settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

inline void closeAllPopups() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* popup = dynamic_cast<CUxPopupMenu*>(w)) popup->close();
  settle();
}
