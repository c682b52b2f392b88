#include "uictl/frames/docking/ux_mini_dock_frame.h"

#include "platform/windows/mouse_capture.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/sizing_control_bar.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/frames/escape_watcher.h"
#include "uictl/frames/window_system.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimerEvent>
#include <QWindow>

#include <functional>

using namespace platform;

namespace {

constexpr int kRollTickMs = 250;
constexpr int kLeaveTicks = 6;
constexpr int kRollButtonGap = 2;
// Where the cursor holds a torn-off bar's frame: the middle of its top edge, this far down.
constexpr int kTearOffGripY = 5;

// Guards the work-area snap against the move it makes itself.
bool g_inCaptionSnap = false;

}  // namespace

CUxMiniDockFrameWnd::CUxMiniDockFrameWnd(DockFrame* dockSite) : MiniDockFrame(dockSite) {}

CUxMiniDockFrameWnd::~CUxMiniDockFrameWnd() = default;

CUxSizingControlBar* CUxMiniDockFrameWnd::GetFirstSizingBar() const {
  return dynamic_cast<CUxSizingControlBar*>(FirstBar());
}

void CUxMiniDockFrameWnd::SetRollState(int mode, bool rolledUp) {
  m_nRollMode = mode;
  m_bRolledUp = rolledUp;
  if (CUxSizingControlBar* bar = GetFirstSizingBar()) {
    bar->m_nRollMode = mode;
    bar->m_bRolledUp = rolledUp;
  }
  RecalcLayout();
  update();
}

void CUxMiniDockFrameWnd::setRolledUp(bool rolledUp) {
  CUxSizingControlBar* bar = GetFirstSizingBar();
  if (!bar) return;
  bar->m_bRolledUp = rolledUp;
  m_bRolledUp = rolledUp;
  RecalcLayout();
}

// Roll-up.

int CUxMiniDockFrameWnd::NcHitTest(QPoint pos) const {
  if (m_nRollMode != 0 && m_rcRollButton.contains(pos)) return HitMaxButton;
  return MiniDockFrame::NcHitTest(pos);
}

void CUxMiniDockFrameWnd::resizeEvent(QResizeEvent* event) {
  MiniDockFrame::resizeEvent(event);
  if (const CUxSizingControlBar* bar = GetFirstSizingBar()) {
    m_nRollMode = bar->m_nRollMode;
    m_bRolledUp = bar->m_bRolledUp;
  }
  // Left of the close button, as wide.
  const QRect close = CloseButtonRect();
  m_rcRollButton = close.translated(-(close.width() + kRollButtonGap), 0);
  update();
}

void CUxMiniDockFrameWnd::PaintNonClient(QPainter& painter) {
  MiniDockFrame::PaintNonClient(painter);
  if (m_nRollMode == 0 || m_rcRollButton.isEmpty()) return;
  QImage button(m_rcRollButton.size(), QImage::Format_RGB32);
  {
    Dc dc(button);
    Rect face = Rect::fromSize(0, 0, button.width(), button.height());
    dc.drawEdge(face, EdgeRaised, BfRect | BfMiddle | BfAdjust);
    const int glyph = autoRolls(m_nRollMode) ? kGlyphCloseSmall : m_bRolledUp ? kGlyphArrowDown : kGlyphScrollUp;
    MenuImages::DrawCentred(&dc, glyph, face);
  }
  painter.drawImage(m_rcRollButton.topLeft(), button);
}

void CUxMiniDockFrameWnd::switchRollMode() {
  CUxSizingControlBar* bar = GetFirstSizingBar();
  if (!bar) return;
  switch (bar->m_nRollMode) {
    case RollAuto: bar->m_nRollMode = RollAutoPinned; bar->m_bRolledUp = false; break;
    case RollAutoNarrow: bar->m_nRollMode = RollAutoNarrowPinned; bar->m_bRolledUp = false; break;
    case RollAutoPinned: bar->m_nRollMode = RollAuto; break;
    case RollAutoNarrowPinned: bar->m_nRollMode = RollAutoNarrow; break;
    default: bar->m_bRolledUp = !bar->m_bRolledUp; break;
  }
  m_nRollMode = bar->m_nRollMode;
  m_bRolledUp = bar->m_bRolledUp;
  update();
  DelayRecalcLayout();
}

void CUxMiniDockFrameWnd::OnNcMouseMove(int hit, QPoint globalPos) {
  MiniDockFrame::OnNcMouseMove(hit, globalPos);
  if (!autoRolls(m_nRollMode) || !GetFirstSizingBar()) return;
  // Not while a modal window, an open menu or another program has the user's attention.
  if (QApplication::activeModalWidget() || CUxPopupMenu::GetActiveMenu() || !QApplication::activeWindow()) return;
  if (m_bRolledUp) setRolledUp(false);
  raise();
  m_rollTimer.start(kRollTickMs, this);
  m_nLeaveTicks = kLeaveTicks;
}

void CUxMiniDockFrameWnd::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_rollTimer.timerId()) OnRollTimer();
  else MiniDockFrame::timerEvent(event);
}

void CUxMiniDockFrameWnd::OnRollTimer() {
  CUxSizingControlBar* bar = GetFirstSizingBar();
  const QWidget* focus = QApplication::focusWidget();
  const bool focusInside = focus && (focus == this || isAncestorOf(focus));
  if (rect().contains(mapFromGlobal(QCursor::pos()))) {
    m_nLeaveTicks = kLeaveTicks;
    if (focusInside) raise();
    return;
  }
  if (focusInside || (bar && getCapture() == bar) || CUxPopupMenu::GetActiveMenu()) return;
  if (!autoRolls(m_nRollMode) || --m_nLeaveTicks > 0) return;
  setRolledUp(true);
  m_rollTimer.stop();
}

QRect CUxMiniDockFrameWnd::AdjustGeometry(const QRect& proposed) {
  QRect adjusted = MiniDockFrame::AdjustGeometry(proposed);
  if (!m_bRolledUp) return adjusted;
  adjusted.setHeight(2 * getSystemMetrics(SmCySizeFrame) + getSystemMetrics(SmCySmCaption) - 1);
  if (m_nRollMode == RollAutoNarrow) {
    if (m_nRolledLeft < 0) {
      // Room for the title and the caption's buttons, measured once.
      const Size title = MeasuringDc(globalData().fontRegular)->getTextExtent(windowTitle().toStdWString());
      m_nRolledLeft = 0;
      m_nRolledRight =
          title.cx + 3 * getSystemMetrics(SmCxSmSize) + 2 * getSystemMetrics(SmCxSizeFrame) + 4;
    }
    adjusted.setWidth(m_nRolledRight - m_nRolledLeft);
  }
  return adjusted;
}

// Mouse on the caption and borders.

void CUxMiniDockFrameWnd::OnNcLButtonDown(int hit, QPoint globalPos) {
  if (hit == HitMaxButton && m_nRollMode != 0) {
    switchRollMode();
    return;
  }
  if (hit == HitCaption || (hit >= HitLeft && hit <= HitBottomRight)) {
    activateWindow();
    raise();
  }
  MiniDockFrame::OnNcLButtonDown(hit, globalPos);
}

void CUxMiniDockFrameWnd::OnNcRButtonDown(int hit, QPoint globalPos) {
  if (toolbarClassData().bCustomizeMode || !DockSite()) {
    MiniDockFrame::OnNcRButtonDown(hit, globalPos);
    return;
  }
  sendPopupMenuRequest(DockSite(), this, globalPos.x(), globalPos.y());
}

bool CUxMiniDockFrameWnd::CanClose() {
  CUxSizingControlBar* bar = GetFirstSizingBar();
  return bar ? bar->CanHideBar() : true;
}

void CUxMiniDockFrameWnd::changeEvent(QEvent* event) {
  MiniDockFrame::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  update();
  if (isActiveWindow())
    if (CUxControlBar* bar = FirstBar()) bar->update();
}

// Staying on the work area.

void CUxMiniDockFrameWnd::moveEvent(QMoveEvent* event) {
  MiniDockFrame::moveEvent(event);
  keepCaptionOnWorkArea();
}

void CUxMiniDockFrameWnd::keepCaptionOnWorkArea() {
  // Wayland places windows itself and tells nobody where.
  if (g_inCaptionSnap || !isWindow() || onNativeWayland()) return;
  const Rect area = systemMetrics().workArea({x(), y()});
  int top = y();
  if (top < area.top) top = area.top;
  else if (top > area.bottom - getSystemMetrics(SmCySmCaption)) top = area.bottom - getSystemMetrics(SmCySmCaption);
  if (top == y()) return;
  g_inCaptionSnap = true;
  move(x(), top);
  g_inCaptionSnap = false;
}

// Tear-off.

bool CUxMiniDockFrameWnd::MoveTearOffBar(CUxPopupMenu* popup) {
  QPointer<CUxPopupMenu> menu(popup);
  if (popup) {
    popup->hide();
    if (CUxToolbarMenuButton* button = popup->GetParentButton())
      if (CUxToolBar* toolbar = popup->GetParentToolBar()) toolbar->update(button->m_rect.inflated(4, 4).toQRect());
  }
  QPointer<CUxControlBar> bar(FirstBar());
  if (!bar) return false;
  const unsigned dockStyle = bar->m_dwDockStyle;
  bar->m_dwDockStyle = 0;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);

  bool accepted = true;
  // Wayland moves windows only through the compositor's own move.
  if (onNativeWayland()) {
    if (windowHandle()) windowHandle()->startSystemMove();
  } else if (!getCapture()) {
    setCapture(bar.data());
    const QPoint grip(width() / 2, kTearOffGripY);
    QCursor::setPos(mapToGlobal(grip));
    QEventLoop loop;
    auto finish = [&](bool accept) {
      accepted = accept;
      loop.quit();
    };
    const int hook = installMouseHook([&](QWidget*, QMouseEvent* event) {
      if (getCapture() != bar.data()) {
        finish(true);
        return false;
      }
      switch (event->type()) {
        case QEvent::MouseMove: move(event->globalPosition().toPoint() - grip); return true;
        case QEvent::MouseButtonRelease:
          if (event->button() == Qt::LeftButton) finish(true);
          return true;
        case QEvent::MouseButtonPress:
          if (event->button() == Qt::RightButton) finish(false);
          return true;
        default: return false;
      }
    });
    {
      EscapeWatcher escape([&] { finish(false); });
      loop.exec();
    }
    removeMouseHook(hook);
    if (bar && getCapture() == bar.data()) releaseCapture();
  }
  if (!bar) return false;
  bar->m_dwDockStyle = dockStyle;

  if (accepted) {
    if (menu) menu->close();
    if (DockFrame* site = DockSite()) site->activateWindow();
    return true;
  }
  if (menu) menu->show();
  if (auto* owner = dynamic_cast<TearOffBarOwner*>(DockSite())) owner->RemoveTearOffBar(bar);
  delete bar.data();
  return false;
}
