#include "uictl/frames/docking/dock_context.h"

#include "platform/windows/mouse_capture.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/drag_tracker.h"
#include "uictl/frames/docking/mini_dock_frame.h"
#include "uictl/frames/window_system.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace {

constexpr unsigned kOrientVert = CbrsAlignLeft | CbrsAlignRight;
constexpr int kDockedOutline = 2, kFloatingOutline = 3;

QSize qsize(platform::Size size) { return {size.cx, size.cy}; }

// Moves `rect` the least that puts `point` inside it.
void keepPointInside(QRect& rect, QPoint point) {
  const int dx = point.x() < rect.left() ? point.x() - rect.left() : point.x() > rect.right() ? point.x() - rect.right() : 0;
  const int dy = point.y() < rect.top() ? point.y() - rect.top() : point.y() > rect.bottom() ? point.y() - rect.bottom() : 0;
  rect.translate(dx, dy);
}

QRect withFrame(const QRect& bar) { return bar.marginsAdded(MiniDockFrame::DefaultMargins()); }

bool isLeftEdge(int hit) { return hit == HitLeft || hit == HitTopLeft || hit == HitBottomLeft; }
bool isTopEdge(int hit) { return hit == HitTop || hit == HitTopLeft || hit == HitTopRight; }

}  // namespace

DockContext::DockContext(CUxControlBar* bar, DockFrame* dockSite) : m_pBar(bar), m_pDockSite(dockSite) {}

DockContext::~DockContext() {
  if (m_mouseHook) platform::removeMouseHook(m_mouseHook);
  delete m_pTracker.data();
}

MiniDockFrame* DockContext::floatingFrame() const {
  auto* side = dynamic_cast<DockBar*>(m_pBar->m_pDockBar);
  return m_pBar->IsFloating() && side ? side->FloatingFrame() : nullptr;
}

QRect DockContext::TrackerRect() const {
  return m_pTracker && m_pTracker->isVisible() ? m_pTracker->TrackedRect() : QRect();
}

void DockContext::RememberDockPosition(const DockBar* dockBar, const QRect& rect) {
  m_uMRUDockID = dockBar->GetDlgCtrlID();
  m_rectMRUDockPos = rect;
}

void DockContext::StartDrag(QPoint globalPos) {
  if (IsTracking() || !m_pDockSite) return;
  // A docked bar that may not dock is not torn off: it could never come back.
  if (!m_pBar->IsFloating() && !(m_pBar->m_dwDockStyle & CbrsAlignAny)) return;
  if (MiniDockFrame* frame = floatingFrame(); frame && onNativeWayland()) {
    // The compositor moves floating frames; within the frame's own window positions hold, so a
    // docked bar is dragged as anywhere else.
    if (frame->windowHandle()) frame->windowHandle()->startSystemMove();
    return;
  }
  m_dwStyle = m_pBar->GetBarStyle();
  // Tracking from here on: a bar that measures itself differently while dragged sees it.
  m_mode = Mode::Drag;
  const QRect rect = globalGeometry(m_pBar);
  if (m_dwStyle & CbrsSizeDynamic) {
    m_rectDragHorz = {rect.topLeft(), qsize(m_pBar->CalcDynamicLayout(0, LmHorz | LmHorzDock))};
    m_rectDragVert = {rect.topLeft(), qsize(m_pBar->CalcDynamicLayout(0, LmVertDock))};
    m_rectFrameDragHorz = m_rectFrameDragVert = withFrame({rect.topLeft(), qsize(m_pBar->CalcDynamicLayout(0, LmHorz | LmMruWidth))});
  } else {
    const QSize horz = qsize(m_pBar->CalcFixedLayout(false, true)), vert = qsize(m_pBar->CalcFixedLayout(false, false));
    if (m_dwStyle & CbrsOrientHorz) {
      m_rectDragHorz = rect;
      m_rectDragVert = {QPoint(globalPos.x() - rect.height() / 2, rect.top()), vert};
    } else {
      m_rectDragVert = rect;
      m_rectDragHorz = {QPoint(rect.left(), globalPos.y() - rect.width() / 2), horz};
    }
    m_rectFrameDragHorz = withFrame(m_rectDragHorz);
    m_rectFrameDragVert = withFrame(m_rectDragVert);
  }
  for (QRect* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert}) keepPointInside(*r, globalPos);
  beginTracking(Mode::Drag, globalPos);
}

void DockContext::StartResize(int hitTest, QPoint globalPos) {
  if (IsTracking() || !m_pDockSite || !m_pBar->IsFloating()) return;
  if (!floatingFrame()) return;
  if (onNativeWayland()) return;  // the frame asks the compositor itself
  m_dwStyle = m_pBar->GetBarStyle();
  m_nHitTest = hitTest;
  const QRect bar = globalGeometry(m_pBar);
  const QSize size = qsize(m_pBar->CalcDynamicLayout(0, LmHorz | LmMruWidth));
  m_rectRequestedSize = m_rectActualSize = {bar.topLeft(), size};
  m_rectActualFrameSize = withFrame(m_rectActualSize);
  beginTracking(Mode::Resize, globalPos);
}

void DockContext::beginTracking(Mode mode, QPoint globalPos) {
  m_mode = mode;
  m_ptStart = m_ptLast = globalPos;
  m_bMoved = false;
  m_bForceFrame = false;
  m_pOverDockBar = nullptr;
  m_mouseHook = platform::installMouseHook([this](QWidget*, QMouseEvent* event) {
    const QPoint pos = event->globalPosition().toPoint();
    switch (event->type()) {
      case QEvent::MouseMove:
        track(pos, event->modifiers() & Qt::ControlModifier);
        return true;
      case QEvent::MouseButtonRelease:
        if (event->button() != Qt::LeftButton) return true;
        track(pos, event->modifiers() & Qt::ControlModifier);
        finish(true);
        return true;
      case QEvent::MouseButtonDblClick:
        // The second press of a double click began this drag: the double click itself toggles.
        if (event->button() == Qt::LeftButton && !m_bMoved) {
          finish(false);
          return false;
        }
        return true;
      case QEvent::MouseButtonPress:
        if (event->button() == Qt::RightButton) finish(false);
        return true;
      default:
        return false;
    }
  });
  qApp->installEventFilter(this);
}

bool DockContext::eventFilter(QObject* watched, QEvent* event) {
  if (!IsTracking()) return false;
  // Another program took the mouse and keys.
  if (event->type() == QEvent::ApplicationDeactivate) {
    finish(false);
    return false;
  }
  if (!watched->isWidgetType()) return false;
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      if (event->type() == QEvent::KeyPress) finish(false);
      return true;
    }
    if (key->key() == Qt::Key_Control) {
      track(m_ptLast, event->type() == QEvent::KeyPress);
      return true;
    }
  }
  return false;
}

void DockContext::track(QPoint globalPos, bool forceFloat) {
  if (!IsTracking()) return;
  const QPoint offset = globalPos - m_ptLast;
  if (m_mode == Mode::Resize) {
    if (!m_bMoved && (globalPos - m_ptStart).manhattanLength() < QApplication::startDragDistance()) return;
    m_bMoved = true;
    stretch(globalPos);
    return;
  }
  for (QRect* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert}) r->translate(offset);
  m_ptLast = globalPos;
  if (!m_bMoved && (globalPos - m_ptStart).manhattanLength() < QApplication::startDragDistance()) return;
  m_bMoved = true;
  m_bForceFrame = forceFloat;
  m_pOverDockBar = m_bForceFrame ? nullptr : canDock();
  if (m_pOverDockBar) {
    showTracker(m_pOverDockBar->IsHorizontalSide() ? m_rectDragHorz : m_rectDragVert, kDockedOutline);
  } else {
    showTracker(floatsAcross() ? m_rectFrameDragHorz : m_rectFrameDragVert, kFloatingOutline);
  }
}

bool DockContext::floatsAcross() const { return (m_dwStyle & CbrsSizeDynamic) || (m_dwStyle & CbrsOrientHorz); }

DockBar* DockContext::canDock() const {
  const unsigned dockStyle = m_pBar->m_dwDockStyle;
  const bool horizontal = m_dwStyle & CbrsOrientHorz;
  DockBar* side = nullptr;
  // The bar's own orientation first; the other only where both rectangles agree on the side.
  if (horizontal && (dockStyle & CbrsOrientHorz)) side = m_pDockSite->CanDock(m_rectDragHorz, dockStyle & CbrsOrientHorz);
  else if (dockStyle & kOrientVert) side = m_pDockSite->CanDock(m_rectDragVert, dockStyle & kOrientVert);
  if (!side && (dockStyle & CbrsOrientHorz)) {
    DockBar* other = m_pDockSite->CanDock(m_rectDragVert, dockStyle & CbrsOrientHorz);
    DockBar* own = m_pDockSite->CanDock(m_rectDragHorz, dockStyle & CbrsOrientHorz);
    side = own == other ? own : nullptr;
  }
  if (!side && (dockStyle & kOrientVert)) {
    DockBar* other = m_pDockSite->CanDock(m_rectDragHorz, dockStyle & kOrientVert);
    DockBar* own = m_pDockSite->CanDock(m_rectDragVert, dockStyle & kOrientVert);
    side = own == other ? own : nullptr;
  }
  return side;
}

void DockContext::stretch(QPoint globalPos) {
  const QPoint offset = globalPos - m_ptLast;
  unsigned mode = LmHorz;
  int length;
  if (m_nHitTest == HitLeft || m_nHitTest == HitRight) {
    if (m_nHitTest == HitLeft) m_rectRequestedSize.setLeft(m_rectRequestedSize.left() + offset.x());
    else m_rectRequestedSize.setRight(m_rectRequestedSize.right() + offset.x());
    length = m_rectRequestedSize.width();
  } else {
    mode |= LmLengthY;
    if (isTopEdge(m_nHitTest)) m_rectRequestedSize.setTop(m_rectRequestedSize.top() + offset.y());
    else m_rectRequestedSize.setBottom(m_rectRequestedSize.bottom() + offset.y());
    length = m_rectRequestedSize.height();
  }
  const QSize size = qsize(m_pBar->CalcDynamicLayout(std::max(0, length), mode));
  const QSize borders = m_rectActualFrameSize.size() - m_rectActualSize.size();
  QRect frame = m_rectActualFrameSize;
  // The edge held by the mouse moves; the opposite one stays.
  if (isLeftEdge(m_nHitTest)) frame.setLeft(frame.right() + 1 - (size.width() + borders.width()));
  else frame.setWidth(size.width() + borders.width());
  if (isTopEdge(m_nHitTest)) frame.setTop(frame.bottom() + 1 - (size.height() + borders.height()));
  else frame.setHeight(size.height() + borders.height());
  m_rectActualSize.setSize(size);
  m_rectActualFrameSize = frame;
  m_ptLast = globalPos;
  showTracker(frame, kFloatingOutline);
}

void DockContext::showTracker(const QRect& rect, int thickness) {
  if (!m_pTracker) m_pTracker = new DragTracker(onNativeWayland() ? m_pDockSite.data() : nullptr);
  m_pTracker->ShowAt(rect, thickness);
}

void DockContext::finish(bool accept) {
  if (!IsTracking()) return;
  const Mode mode = m_mode;
  m_mode = Mode::Idle;
  if (m_mouseHook) platform::removeMouseHook(m_mouseHook);
  m_mouseHook = 0;
  qApp->removeEventFilter(this);
  delete m_pTracker.data();
  if (accept && m_bMoved && m_pDockSite) {
    if (mode == Mode::Drag) endDrag();
    else endResize();
  } else {
    restoreLayout();
  }
  m_ptWorkAreaOrigin.reset();
}

void DockContext::restoreLayout() {
  // Measuring the bar for the tracker may have changed how it wraps.
  if (MiniDockFrame* frame = floatingFrame()) frame->RecalcLayout(false);
  else if (m_pDockSite) m_pDockSite->RecalcLayout(false);
}

void DockContext::endDrag() {
  if (m_pOverDockBar) {
    const QRect rect = m_pOverDockBar->IsHorizontalSide() ? m_rectDragHorz : m_rectDragVert;
    m_pDockSite->DockControlBar(m_pBar, m_pOverDockBar->GetDlgCtrlID(), &rect);
    m_pDockSite->RecalcLayout(true);
    return;
  }
  const bool across = floatsAcross();
  QPoint pos = across ? m_rectFrameDragHorz.topLeft() : m_rectFrameDragVert.topLeft();
  if (m_ptWorkAreaOrigin) pos = {std::max(pos.x(), m_ptWorkAreaOrigin->x()), std::max(pos.y(), m_ptWorkAreaOrigin->y())};
  m_dwMRUFloatStyle = across ? CbrsAlignTop : CbrsAlignLeft;
  m_ptMRUFloatPos = pos;
  m_bHasFloatPos = true;
  m_pDockSite->FloatControlBar(m_pBar, pos, m_dwMRUFloatStyle);
  m_pDockSite->RecalcLayout(true);
}

void DockContext::endResize() {
  m_pBar->CalcDynamicLayout(m_rectActualSize.width(), LmHorz | LmCommit);
  m_ptMRUFloatPos = m_rectActualFrameSize.topLeft();
  m_bHasFloatPos = true;
  m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, CbrsAlignTop | CbrsSizeDynamic);
}

void DockContext::ToggleDocking() {
  if (!m_pDockSite || IsTracking()) return;
  if (m_pBar->IsFloating()) {
    if (!(m_pBar->m_dwDockStyle & CbrsAlignAny)) return;
    DockBar* side = m_uMRUDockID ? m_pDockSite->GetDockBar(m_uMRUDockID) : nullptr;
    if (side && !m_rectMRUDockPos.isEmpty()) {
      const QRect rect(side->mapToGlobal(m_rectMRUDockPos.topLeft()), m_rectMRUDockPos.size());
      m_pDockSite->DockControlBar(m_pBar, m_uMRUDockID, &rect);
    } else {
      m_pDockSite->DockControlBar(m_pBar, m_uMRUDockID);
    }
    m_pDockSite->RecalcLayout(true);
    return;
  }
  if (!(m_pBar->m_dwDockStyle & CbrsAlignAny)) return;
  const QPoint pos = m_bHasFloatPos ? m_ptMRUFloatPos : m_pBar->mapToGlobal(QPoint(0, 0));
  m_pDockSite->FloatControlBar(m_pBar, pos, m_dwMRUFloatStyle);
  m_pDockSite->RecalcLayout(true);
}
