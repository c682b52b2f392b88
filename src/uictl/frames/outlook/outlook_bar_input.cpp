// Mouse and keys on the outlook bar: the scroll buttons and their repeat timers, the active page
// button that ignores clicks, the splitter drag with its half-tone line, the page a button drag
// hovers over, and colour changes of the system.
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/halftone_overlay.h"
#include "uictl/frames/docking/mini_dock_frame.h"
#include "uictl/frames/escape_watcher.h"
#include "uictl/frames/outlook/outlook_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

using namespace platform;

namespace {

constexpr int kScrollPeriod = 200;
constexpr int kHoverPeriod = 500;
constexpr int kDragLineWidth = 3;
constexpr int kDropMarkerHalf = 3;
constexpr int kEmptyPageMarker = 6;

bool isVisibleRect(const Rect& r) { return r != Rect{-1, -1, -1, -1} && !r.isEmpty(); }

}  // namespace

// Scrolling.

int CUxOutlookBar::buttonExtent(const CUxToolbarButton* button) const {
  if (!button) return 0;
  return isVerticalBar() ? button->m_rect.height() : button->m_rect.width();
}

int CUxOutlookBar::scrollStep(int from, int direction) const {
  if (!m_bScrollByPage) return 1;
  // A page is what the work area shows: the buttons from `from` on that fit in it whole.
  const int room = isVerticalBar() ? m_rectWorkArea.height() : m_rectWorkArea.width();
  int used = 0, fitting = 0;
  for (int i = from; const CUxToolbarButton* button = GetVisibleButton(i); i += direction) {
    used += buttonExtent(button) + (fitting > 0 ? m_nExtraSpace : 0);
    if (used > room) break;
    ++fitting;
  }
  return std::max(1, fitting);
}

void CUxOutlookBar::ScrollUp() {
  if (m_iScrollOffset <= 0 || m_iFirstVisibleButton <= 0) {
    m_iScrollOffset = m_iFirstVisibleButton = 0;
    m_timerScrollUp.stop();
    return;
  }
  // The buttons that come back into view are the ones before the first visible.
  const int steps = std::min(scrollStep(m_iFirstVisibleButton - 1, -1), m_iFirstVisibleButton);
  for (int i = 0; i < steps; ++i) m_iScrollOffset -= buttonExtent(GetVisibleButton(--m_iFirstVisibleButton));
  if (m_iFirstVisibleButton == 0 || m_iScrollOffset < 0) m_iScrollOffset = m_iFirstVisibleButton = 0;
  AdjustLocations();
  repaintNow(m_rectWorkArea.toQRect());
}

void CUxOutlookBar::ScrollDown() {
  if (!m_bScrollDown || m_iFirstVisibleButton + 1 >= GetVisibleButtonCount()) {
    m_timerScrollDown.stop();
    return;
  }
  // The last button always stays in view.
  const int steps = std::min(scrollStep(m_iFirstVisibleButton, 1), GetVisibleButtonCount() - 1 - m_iFirstVisibleButton);
  for (int i = 0; i < steps; ++i) m_iScrollOffset += buttonExtent(GetVisibleButton(m_iFirstVisibleButton++));
  AdjustLocations();
  repaintNow(m_rectWorkArea.toQRect());
}

void CUxOutlookBar::stopScrollTimers() {
  m_timerScrollUp.stop();
  m_timerScrollDown.stop();
}

bool CUxOutlookBar::preTranslateMouse(QEvent::Type type, Point point, QMouseEvent* event, bool forward) {
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  const bool release = type == QEvent::MouseButtonRelease;
  const bool left = event->button() == Qt::LeftButton || (!press && !release);
  if (!left) return false;
  for (CUxButton* scroll : {m_pBtnUp, m_pBtnDown}) {
    if (!scroll || !scroll->isVisible() || !scroll->geometry().contains(ClientToWidget(point))) continue;
    if (forward) {
      // The bar holds the mouse: what is meant for the scroll button is handed on to it.
      const QPointF local = scroll->mapFrom(this, ClientToWidget(point));
      QMouseEvent copy(type, local, event->globalPosition(), event->button(), event->buttons(), event->modifiers());
      QApplication::sendEvent(scroll, &copy);
    }
    if (press) {
      const bool down = scroll == m_pBtnDown;
      (down ? m_timerScrollDown : m_timerScrollUp).start(kScrollPeriod, this);
      if (down) ScrollDown();
      else ScrollUp();
    }
  }
  if (release) stopScrollTimers();
  if (press || release) {
    const CUxOutlookBarPage* active = FindPage(m_nActivePageID);
    if (active && active->m_rectButton.contains(point)) return true;
  }
  return false;
}

bool CUxOutlookBar::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == m_pWndEditName && type == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
      endRename();
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      const QString name = m_pWndEditName->text();
      // A page needs a name: an empty one is refused and the editing goes on.
      if (name.isEmpty()) {
        QApplication::beep();
        return true;
      }
      RenamePage(static_cast<unsigned>(m_nPageUnderRename), name.toStdWString().c_str());
      endRename();
      return true;
    }
  }
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ||
      type == QEvent::MouseButtonDblClick) {
    auto* widget = static_cast<QWidget*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (widget->parentWidget() == this &&
        preTranslateMouse(type, WidgetToClient(widget->mapTo(this, mouse->position().toPoint())), mouse, false))
      return true;
  }
  return CUxToolBar::eventFilter(watched, event);
}

void CUxOutlookBar::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_timerScrollUp.timerId() || event->timerId() == m_timerScrollDown.timerId()) {
    const bool down = event->timerId() == m_timerScrollDown.timerId();
    CUxButton* scroll = down ? m_pBtnDown : m_pBtnUp;
    if (scroll && scroll->m_bPushed && scroll->m_bHot) {
      if (down) ScrollDown();
      else ScrollUp();
    }
    return;
  }
  if (event->timerId() == m_timerHover.timerId()) {
    m_timerHover.stop();
    const CUxOutlookBarPage* hovered = PageFromPoint(WidgetToClient(mapFromGlobal(QCursor::pos())));
    if (hovered && static_cast<int>(hovered->m_nPageID) == m_nHoverPage) SetActivePage(m_nHoverPage, false);
    m_nHoverPage = -1;
    return;
  }
  CUxToolBar::timerEvent(event);
}

// Mouse.

void CUxOutlookBar::OnMouseMove(unsigned flags, Point point) {
  if (m_bSplitterDragging) {
    moveDragLine(point);
    return;
  }
  if (m_bGripperDragging) {
    dragGripper(point);
    return;
  }
  if (m_rectSplitter.contains(point)) setCursor(isVerticalBar() ? Qt::SplitHCursor : Qt::SplitVCursor);
  else if (m_rectGripper.contains(point)) setCursor(Qt::SizeVerCursor);
  else unsetCursor();
  CUxToolBar::OnMouseMove(flags, point);
}

void CUxOutlookBar::OnLButtonDown(unsigned flags, Point point) {
  if (m_rectSplitter.contains(point) && !m_bSplitterDragging) {
    m_pWndLastCapture = setCapture(this);
    m_bSplitterDragging = true;
    watchEscape();
    moveDragLine(point);
    return;
  }
  if (m_rectGripper.contains(point) && !m_bGripperDragging) {
    m_pWndLastCapture = setCapture(this);
    m_bGripperDragging = true;
    watchEscape();
    return;
  }
  CUxToolBar::OnLButtonDown(flags, point);
}

void CUxOutlookBar::OnLButtonUp(unsigned flags, Point point) {
  if (m_bSplitterDragging) endSplitterDrag(true, point);
  if (m_bGripperDragging) {
    endGripperDrag();
    return;
  }
  CUxToolBar::OnLButtonUp(flags, point);
  m_iHighlighted = m_iHot = -1;
}

void CUxOutlookBar::watchEscape() {
  m_escapeWatch = std::make_unique<EscapeWatcher>([this] {
    if (m_bSplitterDragging) endSplitterDrag(false, {});
    endGripperDrag();
  });
}

void CUxOutlookBar::OnCancelMode() {
  CUxToolBar::OnCancelMode();
  endRename();
  stopScrollTimers();
  if (m_bSplitterDragging) endSplitterDrag(false, {});
  endGripperDrag();
}

bool CUxOutlookBar::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ||
      type == QEvent::MouseButtonDblClick) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (preTranslateMouse(type, WidgetToClient(mouse->position().toPoint()), mouse, true)) return true;
  }
  if (type == CaptureChangedEvent::eventType()) {
    // Another window took the mouse, or it was let go: a drag that needs it cannot go on.
    endGripperDrag();
    if (m_bSplitterDragging) endSplitterDrag(false, {});
  }
  const bool handled = CUxToolBar::event(event);
  if (type == QEvent::ApplicationPaletteChange) {
    m_clrBackColor = globalData().clrBarShadow;
    SetBackgroundImage(m_uiBackImageId, true);
    update();
  }
  return handled;
}

// The splitter.

void CUxOutlookBar::moveDragLine(Point point) {
  QWidget* parent = parentWidget();
  if (!parent) return;
  if (!m_pDragLine) {
    m_pDragLine = new HalftoneOverlay(parent);
    m_pDragLine->show();
  }
  const QPoint at = mapTo(parent, ClientToWidget(point));
  const QRect bar = geometry();
  QRect line = isVerticalBar() ? QRect(at.x(), bar.top(), kDragLineWidth, bar.height())
                               : QRect(bar.left(), at.y(), bar.width(), kDragLineWidth);
  line = line.intersected(parent->rect());
  m_rectDragLine = Rect::fromQRect(line);
  m_nDragPos = isVerticalBar() ? point.x : point.y;
  m_pDragLine->setGeometry(line);
  m_pDragLine->raise();
}

void CUxOutlookBar::endSplitterDrag(bool apply, Point point) {
  m_escapeWatch.reset();
  delete m_pDragLine;
  m_pDragLine = nullptr;
  m_rectDragLine = {};
  m_bSplitterDragging = false;
  if (getCapture() == this) releaseCapture();
  m_pWndLastCapture = nullptr;
  unsetCursor();
  if (!apply) return;
  const Rect client = ClientRect();
  const unsigned style = GetBarStyle();
  int thickness;
  if (style & (CbrsAlignLeft | CbrsAlignTop)) thickness = (isVerticalBar() ? point.x : point.y) + kDragLineWidth;
  else if (style & CbrsAlignRight) thickness = client.right - point.x;
  else thickness = client.bottom - point.y;
  m_nBarThickness = std::max(kDragLineWidth, thickness);
  if (recalcParentFrame()) return;
  // No frame lays the bar out: it takes the new thickness itself.
  if (isVerticalBar()) resize(m_nBarThickness, height());
  else resize(width(), m_nBarThickness);
}

bool CUxOutlookBar::recalcParentFrame() {
  // A floating bar is laid out by the mini frame it floats in, a docked one by the frame that
  // docks it, one placed straight in a frame by that frame.
  auto* side = dynamic_cast<DockBar*>(m_pDockBar);
  if (MiniDockFrame* floating = side ? side->FloatingFrame() : nullptr) {
    floating->RecalcLayout(true);
    return true;
  }
  ControlBarDockSite* frame = m_pDockSite ? m_pDockSite : dynamic_cast<ControlBarDockSite*>(parentWidget());
  if (!frame) return false;
  frame->RecalcLayout(true);
  return true;
}

// Renaming a page.

void CUxOutlookBar::BeginPageRename(int pageId, QLineEdit* edit) {
  endRename();
  if (!edit) return;
  if (!FindPage(pageId)) {
    delete edit;
    return;
  }
  m_pWndEditName = edit;
  m_nPageUnderRename = pageId;
  edit->installEventFilter(this);
  edit->show();
  edit->setFocus();
  m_renameHook = installMouseHook([this](QWidget*, QMouseEvent* mouse) {
    if (!m_pWndEditName) return false;
    const QPoint global = mouse->globalPosition().toPoint();
    if (m_pWndEditName->rect().contains(m_pWndEditName->mapFromGlobal(global))) return false;
    if (mouse->type() != QEvent::MouseMove) endRename();
    return true;
  });
}

void CUxOutlookBar::endRename() {
  if (m_renameHook) removeMouseHook(m_renameHook);
  m_renameHook = 0;
  if (m_pWndEditName) {
    m_pWndEditName->removeEventFilter(this);
    m_pWndEditName->hide();
    // The box may be in the middle of its own event.
    m_pWndEditName->deleteLater();
  }
  m_pWndEditName = nullptr;
  m_nPageUnderRename = -1;
  if (getCapture() == this && !m_bSplitterDragging && !m_bGripperDragging) releaseCapture();
}

bool CUxOutlookBar::EnableContextMenuItems(CUxToolbarButton* button, MenuHandle popup) {
  const bool result = CUxToolBar::EnableContextMenuItems(button, popup);
  if (IsCustomizeMode())
    for (unsigned id : {kCmdImageOnly, kCmdTextOnly, kCmdImageAndText, kCmdAppearance, kCmdBeginGroup, kCmdToolbarReset,
                        kCmdCopyImage})
      enableMenuItem(popup, id, MfByCommand | MfGrayed);
  return result;
}

// The gripper of page-button mode.

void CUxOutlookBar::dragGripper(Point point) {
  if (m_nVisibleLargePageButtons == -1 || m_nPageButtonHeight <= 0) return;
  const int delta = (m_rectGripper.top - point.y) / m_nPageButtonHeight;
  const int wanted = std::clamp(m_nVisibleLargePageButtons + delta, 0, GetPageCount());
  if (wanted == m_nVisibleLargePageButtons) return;
  m_nVisibleLargePageButtons = wanted;
  AdjustLayout();
  repaintNow();
  // The pointer stays on the gripper, wherever it went.
  QCursor::setPos(mapToGlobal(ClientToWidget({point.x, (m_rectGripper.top + m_rectGripper.bottom) / 2})));
}

void CUxOutlookBar::endGripperDrag() {
  if (!m_bGripperDragging) return;
  m_escapeWatch.reset();
  m_bGripperDragging = false;
  if (getCapture() == this) releaseCapture();
  m_pWndLastCapture = nullptr;
  unsetCursor();
}

// Button drags in customise mode.

unsigned CUxOutlookBar::OnDragOver(const QMimeData* data, unsigned keyState, Point point) {
  const CUxOutlookBarPage* page = PageFromPoint(point);
  if (page && static_cast<int>(page->m_nPageID) != m_nActivePageID && !page->m_hwndPage) {
    if (m_nHoverPage != static_cast<int>(page->m_nPageID)) {
      m_nHoverPage = static_cast<int>(page->m_nPageID);
      m_timerHover.start(kHoverPeriod, this);
    }
  } else {
    m_nHoverPage = -1;
    m_timerHover.stop();
  }
  const bool vertical = isVerticalBar();
  if (m_rectWorkArea.isEmpty() || (vertical ? point.y < m_rectWorkArea.top : point.x < m_rectWorkArea.left)) {
    ScrollUp();
    return DropEffectNone;
  }
  if (vertical ? point.y >= m_rectWorkArea.bottom : point.x >= m_rectWorkArea.right) {
    ScrollDown();
    return DropEffectNone;
  }
  return CUxToolBar::OnDragOver(data, keyState, point);
}

void CUxOutlookBar::OnDragLeave() {
  m_timerHover.stop();
  m_nHoverPage = -1;
  CUxToolBar::OnDragLeave();
}

int CUxOutlookBar::FindDropIndex(Point point, Rect& marker) const {
  const bool vertical = isVerticalBar();
  const Rect& work = m_rectWorkArea;
  const auto band = [&](int edge, const Rect& r) {
    return vertical ? Rect{r.left, std::max(work.top, edge - kDropMarkerHalf), r.right,
                           std::min(work.bottom, edge + kDropMarkerHalf)}
                    : Rect{std::max(work.left, edge - kDropMarkerHalf), r.top,
                           std::min(work.right, edge + kDropMarkerHalf), r.bottom};
  };
  int lastShown = -1;
  for (int i = 0; i < GetCount(); ++i) {
    const Rect r = m_Buttons[static_cast<size_t>(i)]->m_rect;
    if (!isVisibleRect(r)) continue;
    lastShown = i;
    const int at = vertical ? point.y : point.x;
    const int start = vertical ? r.top : r.left, end = vertical ? r.bottom : r.right;
    if (at < start) {
      marker = band(start, r);
      return i;
    }
    if (at < end) {
      const bool nearStart = at - start < end - at;
      marker = band(nearStart ? start : end, r);
      return nearStart ? i : i + 1;
    }
  }
  if (lastShown < 0) {
    // An empty page: a strip at the start of the work area.
    marker = vertical ? Rect{work.left, work.top, work.right, work.top + kEmptyPageMarker}
                      : Rect{work.left, work.top, work.left + kEmptyPageMarker, work.bottom};
    return GetCount();
  }
  const Rect last = m_Buttons[static_cast<size_t>(lastShown)]->m_rect;
  marker = band(vertical ? last.bottom : last.right, last);
  return lastShown + 1;
}

std::unique_ptr<CUxToolbarButton> CUxOutlookBar::CreateDroppedButton(const QMimeData* data) {
  std::unique_ptr<CUxToolbarButton> button = CUxToolBar::CreateDroppedButton(data);
  // A dropped button joins the page it was dropped on.
  if (auto* outlook = dynamic_cast<CUxOutlookButton*>(button.get())) outlook->m_dwPageID = static_cast<unsigned>(m_nActivePageID);
  return button;
}

void CUxOutlookBar::OnContextMenu(Point screen) {
  if (CUxOutlookBarPage* page = PageFromPoint(WidgetToClient(mapFromGlobal(QPoint(screen.x, screen.y))));
      page && page->m_btnPage)
    page->m_btnPage->OnCancelMode();
  CUxToolBar::OnContextMenu(screen);
}
