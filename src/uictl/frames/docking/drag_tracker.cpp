#include "uictl/frames/docking/drag_tracker.h"

#include <QPainter>
#include <QRegion>

DragTracker::DragTracker(QWidget* overlayParent)
    : QWidget(overlayParent, overlayParent ? Qt::Widget
                                           : Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                                                 Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
}

void DragTracker::ShowAt(const QRect& globalRect, int thickness) {
  if (globalRect == m_globalRect && thickness == m_thickness && isVisible()) return;
  m_globalRect = globalRect;
  m_thickness = thickness;
  const QRect local = isWindow() ? globalRect : QRect(parentWidget()->mapFromGlobal(globalRect.topLeft()), globalRect.size());
  setGeometry(local);
  // Only the border is part of the window: what lies inside stays visible and clickable.
  const QRect whole(QPoint(0, 0), local.size());
  setMask(QRegion(whole).subtracted(QRegion(whole.adjusted(thickness, thickness, -thickness, -thickness))));
  if (!isWindow()) raise();
  show();
  update();
}

void DragTracker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
}
