// The sizing bar as a window: its non-client parts (frame margin, caption strip, sizing edges,
// caption buttons) laid out as contents margins, painted and hit-tested; the mouse on them,
// the caption's activity and the buttons' tooltips.
#include "uictl/frames/docking/sizing_control_bar.h"

#include "platform/windows/mouse_capture.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/mini_dock_frame.h"
#include "uictl/frames/window_styles.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

using namespace platform;

namespace {

constexpr int kButtonInset = 3;
constexpr int kButtonGap = 2;

bool isSizingEdge(int hit) { return hit >= HitLeft && hit <= HitBottomRight; }

QRect toQRect(const Rect& r) { return r.toQRect(); }

}  // namespace

CUxSizingControlBar::CUxSizingControlBar() {
  m_capBtnHide.m_nHit = CaptionButton::kHitClose;
  m_capBtnHide.m_nTooltipId = kStringHideBar;
  m_capBtnFill.m_nHit = CaptionButton::kHitExpand;
  m_capBtnFill.m_nTooltipId = kStringExpandBar;
  setMouseTracking(true);
  // The caption shows whether the keyboard focus is inside the bar.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    const bool active = now && isAncestorOf(now);
    if (active == m_bCaptionActive) return;
    m_bCaptionActive = active;
    update(m_rcCaption);
  });
}

CUxSizingControlBar::~CUxSizingControlBar() {
  if (getCapture() == this) releaseCapture();
  delete m_pDragFeedback;
  std::erase(sizingBarArray(), this);
  std::erase(sizingBarList(), this);
}

bool CUxSizingControlBar::Create(const QString& title, QWidget* parent, Size defaultSize, bool hasGripper,
                                 unsigned id, unsigned style) {
  if (!parent) return false;
  setParent(parent);
  setWindowTitle(title);
  SetDlgCtrlID(id);
  m_sizeDockedH = m_sizeDockedV = m_sizeFloating = defaultSize;
  m_nCaptionWidth = hasGripper ? std::max(globalData().nTextHeight, 12) : 0;
  SetBarStyle((style & CbrsAll) | CbrsSizeDynamic);
  setGeometry(0, 0, 0, 0);
  setVisible(style & WsVisible);
  sizingBarArray().push_back(this);
  sizingBarList().push_back(this);
  m_dwEdgeMask |= EdgesInUse;
  RecalcNonClient();
  return true;
}

void CUxSizingControlBar::SetMinimumSize(int cx, int cy) {
  m_sizeMinimum = {cx, cy};
  m_sizeFloating = {std::max(m_sizeFloating.cx, cx), std::max(m_sizeFloating.cy, cy)};
}

void CUxSizingControlBar::SetMaximumSize(int cx, int cy) {
  m_sizeMaximum = {cx, cy};
  if (cx > 0) m_sizeFloating.cx = std::min(m_sizeFloating.cx, cx);
  if (cy > 0) m_sizeFloating.cy = std::min(m_sizeFloating.cy, cy);
}

bool CUxSizingControlBar::IsDockedHorizontally() const {
  return m_nDockSide == DockBarTop || m_nDockSide == DockBarBottom;
}

bool CUxSizingControlBar::IsDockedVertically() const {
  return m_nDockSide == DockBarLeft || m_nDockSide == DockBarRight;
}

bool CUxSizingControlBar::IsFloatingBar() const { return !IsDockedHorizontally() && !IsDockedVertically(); }

bool CUxSizingControlBar::IsDraggingRowThickness() const {
  const bool sideways = m_nDragEdge == HitLeft || m_nDragEdge == HitRight;
  const bool upDown = m_nDragEdge == HitTop || m_nDragEdge == HitBottom;
  return (IsDockedVertically() && sideways) || (IsDockedHorizontally() && upDown);
}

DockBar* CUxSizingControlBar::dockBar() const {
  if (auto* dock = dynamic_cast<DockBar*>(m_pDockBar)) return dock;
  return dynamic_cast<DockBar*>(parentWidget());
}

void CUxSizingControlBar::refreshDockSide() {
  const DockBar* dock = dockBar();
  m_nDockSide = dock ? dock->GetDlgCtrlID() : 0;
}

QWidget* CUxSizingControlBar::dockingFrame() const {
  return m_pDockSite ? m_pDockSite->DockSiteWidget() : window();
}

// Non-client layout.

void CUxSizingControlBar::RecalcNonClient() {
  refreshDockSide();
  QRect r = rect().adjusted(m_nFrameMargin, m_nFrameMargin, -m_nFrameMargin, -m_nFrameMargin);
  m_dwEdgeMask &= ~(EdgeLeft | EdgeRight | EdgeTop | EdgeBottom);
  m_rcCaption = {};
  const int caption = m_nCaptionWidth;
  switch (m_nDockSide) {
    case DockBarTop:
    case DockBarBottom:
      // The strip leads the bar: at its right end under a right-to-left layout.
      if (isRightToLeft()) {
        m_rcCaption = QRect(r.right() + 1 - caption, r.top(), caption, r.height());
        r.setRight(r.right() - caption);
      } else {
        m_rcCaption = QRect(r.left(), r.top(), caption, r.height());
        r.setLeft(r.left() + caption);
      }
      m_dwEdgeMask |= m_nDockSide == DockBarTop ? EdgeBottom : EdgeTop;
      break;
    case DockBarLeft:
    case DockBarRight:
      m_rcCaption = QRect(r.left(), r.top(), r.width(), caption);
      r.setTop(r.top() + caption);
      m_dwEdgeMask |= m_nDockSide == DockBarLeft ? EdgeRight : EdgeLeft;
      break;
    default: break;
  }

  const std::vector<CUxSizingControlBar*> row = IsFloatingBar() ? std::vector<CUxSizingControlBar*>{} : RowSizingBars();
  const auto at = std::find(row.begin(), row.end(), this);
  const bool first = at == row.begin(), last = at == row.end() || at + 1 == row.end();
  if (!first) m_dwEdgeMask |= IsDockedHorizontally() ? EdgeLeft : EdgeTop;
  if (!last) m_dwEdgeMask |= IsDockedHorizontally() ? EdgeRight : EdgeBottom;

  m_nUsableEdges = 0;
  if (m_dwEdgeMask & EdgesInUse) {
    if (m_nDockSide == DockBarRight && (m_dwEdgeMask & EdgeLeft)) m_nUsableEdges |= EdgeLeft;
    if ((m_nDockSide == DockBarLeft || !last) && (m_dwEdgeMask & EdgeRight)) m_nUsableEdges |= EdgeRight;
    if (m_nDockSide == DockBarBottom && (m_dwEdgeMask & EdgeTop)) m_nUsableEdges |= EdgeTop;
    if (m_nDockSide == DockBarTop || (!last && (m_dwEdgeMask & EdgeBottom))) m_nUsableEdges |= EdgeBottom;
    if (IsFloatingBar()) m_nUsableEdges = 0;
    if (m_nUsableEdges & EdgeLeft) r.setLeft(r.left() + m_nEdgeWidth);
    if (m_nUsableEdges & EdgeRight) r.setRight(r.right() - m_nEdgeWidth);
    if (m_nUsableEdges & EdgeTop) r.setTop(r.top() + m_nEdgeWidth);
    if (m_nUsableEdges & EdgeBottom) r.setBottom(r.bottom() - m_nEdgeWidth);
  }
  if (r.width() < 0) r.setWidth(0);
  if (r.height() < 0) r.setHeight(0);
  m_rcClient = r;
  setContentsMargins(r.left(), r.top(), width() - r.right() - 1, height() - r.bottom() - 1);

  // The buttons sit at the start of a vertical strip, at the end of a horizontal one.
  const bool hasCaption = caption > 0 && !m_rcCaption.isEmpty();
  m_capBtnHide.m_bHidden = !hasCaption;
  m_capBtnFill.m_bHidden = !hasCaption || m_bAloneInRow;
  const Size button = CaptionButton::GetSize();
  if (hasCaption) {
    if (IsDockedHorizontally()) {
      const int x = m_rcCaption.left() + (m_rcCaption.width() - button.cx) / 2;
      m_capBtnHide.m_ptOrg = {x, m_rcCaption.top() + kButtonInset};
      m_capBtnFill.m_ptOrg = {x, m_capBtnHide.m_ptOrg.y + button.cy + kButtonGap};
    } else {
      const int y = m_rcCaption.top() + (m_rcCaption.height() - button.cy) / 2;
      m_capBtnHide.m_ptOrg = {m_rcCaption.left() + m_rcCaption.width() - kButtonInset - button.cx, y};
      m_capBtnFill.m_ptOrg = {m_capBtnHide.m_ptOrg.x - button.cx - kButtonGap, y};
    }
  }
  if (!m_bEdgeDrag && getCapture() == this && !m_capBtnHide.m_bPushed && !m_capBtnFill.m_bPushed) releaseCapture();
}

QRect CUxSizingControlBar::edgeStrip(int edge) const {
  QRect r = rect();
  if (m_dwEdgeMask & EdgesInUse) r.adjust(1, 1, -1, -1);
  const int e = m_nEdgeWidth;
  QRect strip;
  switch (edge) {
    case HitLeft: strip = QRect(r.left(), r.top(), e, r.height()); break;
    case HitRight: strip = QRect(r.right() + 1 - e, r.top(), e, r.height()); break;
    case HitTop: strip = QRect(r.left(), r.top(), r.width(), e); break;
    default: strip = QRect(r.left(), r.bottom() + 1 - e, r.width(), e); break;
  }
  // Along the row the strips leave the corners to the edges across it; they stop at the window.
  const bool sideways = edge == HitLeft || edge == HitRight;
  if (IsDockedHorizontally() && sideways) strip.adjust(0, e, 0, -e);
  if (IsDockedVertically() && !sideways) strip.adjust(e, 0, -e, 0);
  return strip;
}

int CUxSizingControlBar::NcHitTest(QPoint pos) const {
  static constexpr std::pair<unsigned, int> edges[] = {
      {EdgeLeft, HitLeft}, {EdgeTop, HitTop}, {EdgeRight, HitRight}, {EdgeBottom, HitBottom}};
  for (const auto& [bit, hit] : edges)
    if ((m_nUsableEdges & bit) && edgeStrip(hit).contains(pos)) return hit;
  for (const CaptionButton* button : {&m_capBtnHide, &m_capBtnFill})
    if (!button->m_bHidden && toQRect(button->GetRect()).contains(pos)) return static_cast<int>(button->m_nHit);
  return m_rcClient.contains(pos) ? HitClient : HitCaption;
}

void CUxSizingControlBar::resizeEvent(QResizeEvent* event) {
  CUxControlBar::resizeEvent(event);
  RecalcNonClient();
}

void CUxSizingControlBar::showEvent(QShowEvent* event) {
  CUxControlBar::showEvent(event);
  refreshDockSide();
  if (!event->spontaneous() && !IsFloatingBar()) m_bJustShown = true;
}

// Painting.

void CUxSizingControlBar::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  if (buffer.isNull()) return;
  {
    Dc dc(buffer);
    const Rect whole = Rect::fromQRect(rect());
    CUxVisualManager::GetInstance()->OnFillBarBackground(&dc, nullptr, whole, whole, true);
    // The sizing edges as raised strips beside the client area.
    const GlobalDrawData& g = globalData();
    const QRect c = m_rcClient;
    const int e = m_nEdgeWidth;
    auto drawEdge = [&](const QRect& strip) {
      dc.draw3dRect(Rect::fromQRect(strip.adjusted(1, 1, -1, -1)), g.clrBarHighlight, g.clrBarShadow);
    };
    if (m_nUsableEdges & EdgeLeft) drawEdge(QRect(c.left() - e, c.top(), e, c.height()));
    if (m_nUsableEdges & EdgeRight) drawEdge(QRect(c.right() + 1, c.top(), e, c.height()));
    if (m_nUsableEdges & EdgeTop) drawEdge(QRect(c.left(), c.top() - e, c.width(), e));
    if (m_nUsableEdges & EdgeBottom) drawEdge(QRect(c.left(), c.bottom() + 1, c.width(), e));
    if (!m_rcCaption.isEmpty() && m_nCaptionWidth > 0) PaintCaptionStrip(&dc, Rect::fromQRect(m_rcCaption));
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void CUxSizingControlBar::PaintCaptionStrip(Dc* dc, const Rect& rect) {
  const bool active = m_bCaptionActive;
  dc->fillSolidRect(rect, getSysColor(active ? ColorActiveCaption : ColorInactiveCaption));
  const GlobalDrawData& g = globalData();
  const bool horizontal = IsDockedHorizontally();
  const Font old = dc->selectFont(horizontal ? g.fontVertCaption : g.fontRegular);
  dc->setBkMode(Transparent);
  dc->setTextColor(getSysColor(active ? ColorCaptionText : ColorInactiveCaptionText));
  const std::wstring title = windowTitle().toStdWString();
  const Size button = CaptionButton::GetSize();
  const int buttons = (m_capBtnHide.m_bHidden ? 0 : 1) + (m_capBtnFill.m_bHidden ? 0 : 1);
  const int reserved = kButtonInset + buttons * (button.cx + kButtonGap);
  Rect text = rect;
  if (horizontal) {
    // Read from the bottom up, below the buttons.
    text.top += reserved;
    const int lineHeight = g.nTextHeight;
    dc->textOut(rect.left + (rect.width() - lineHeight) / 2, rect.bottom - kButtonInset, title, &text);
  } else {
    text.left += kButtonInset;
    text.right -= reserved;
    dc->drawText(title, text, DtSingleLine | DtVCenter | DtEndEllipsis | DtNoPrefix);
  }
  dc->selectFont(old);
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  for (const CaptionButton* b : {&m_capBtnHide, &m_capBtnFill})
    if (!b->m_bHidden) manager->OnDrawCaptionButton(dc, *b, active, horizontal, m_bFillsRow);
}

// Mouse.

CaptionButton* CUxSizingControlBar::buttonAt(QPoint pos) {
  for (CaptionButton* button : {&m_capBtnHide, &m_capBtnFill})
    if (!button->m_bHidden && toQRect(button->GetRect()).contains(pos)) return button;
  return nullptr;
}

void CUxSizingControlBar::highlightButton(CaptionButton* hot) {
  for (CaptionButton* button : {&m_capBtnHide, &m_capBtnFill}) {
    const bool focused = button == hot;
    if (button->m_bFocused == focused) continue;
    button->m_bFocused = focused;
    update(toQRect(button->GetRect()));
  }
}

void CUxSizingControlBar::releaseButtons() {
  for (CaptionButton* button : {&m_capBtnHide, &m_capBtnFill}) {
    if (!button->m_bPushed) continue;
    button->m_bPushed = false;
    update(toQRect(button->GetRect()));
  }
  if (getCapture() == this && !m_bEdgeDrag) releaseCapture();
}

void CUxSizingControlBar::startBarDrag(QPoint globalPos) {
  if (m_pDockContext) m_pDockContext->StartDrag(globalPos);
}

void CUxSizingControlBar::sendPopupMenuRequest(QPoint globalPos) {
  if (toolbarClassData().bCustomizeMode) return;
  ::sendPopupMenuRequest(dockingFrame(), this, globalPos.x(), globalPos.y());
}

void CUxSizingControlBar::OnNcLButtonDown(int hit, QPoint pos) {
  if (m_bEdgeDrag) return;
  if (isSizingEdge(hit)) {
    BeginEdgeDrag(hit);
  } else if (hit == HitCaption) {
    startBarDrag(mapToGlobal(pos));
  } else if (CaptionButton* button = buttonAt(pos)) {
    if (button == &m_capBtnFill && m_bAloneInRow) return;
    button->m_bPushed = button->m_bFocused = true;
    update(toQRect(button->GetRect()));
    setCapture(this);
  }
}

void CUxSizingControlBar::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  m_ptLastPress = pos;
  const int hit = NcHitTest(pos);
  if (event->button() == Qt::RightButton) {
    if (m_bEdgeDrag) stopTracking();
    else if (hit == HitClient) sendPopupMenuRequest(event->globalPosition().toPoint());
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  if (hit != HitClient) {
    OnNcLButtonDown(hit, pos);
    return;
  }
  releaseButtons();
  startBarDrag(event->globalPosition().toPoint());
}

void CUxSizingControlBar::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (m_bEdgeDrag) {
    // Another window took the mouse away: the drag ends where it stands.
    if (getCapture() != this) EndEdgeDrag();
    else OnEdgeDragMove(pos);
    return;
  }
  highlightButton(buttonAt(pos));
  const int hit = NcHitTest(pos);
  if (hit == HitLeft || hit == HitRight) setCursor(Qt::SplitHCursor);
  else if (hit == HitTop || hit == HitBottom) setCursor(Qt::SplitVCursor);
  else unsetCursor();
}

void CUxSizingControlBar::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    if (!m_bEdgeDrag && NcHitTest(pos) != HitClient) sendPopupMenuRequest(event->globalPosition().toPoint());
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  if (m_bEdgeDrag) {
    EndEdgeDrag();
    markExpandedAfterDrag();
    return;
  }
  const bool fill = m_capBtnFill.m_bPushed && m_capBtnFill.m_bFocused;
  const bool hide = m_capBtnHide.m_bPushed && m_capBtnHide.m_bFocused;
  releaseButtons();
  if (fill) {
    SwitchRowFill(true);
  } else if (hide && CanHideBar() && m_pDockSite) {
    m_pDockSite->ShowControlBar(this, false, false);
  }
}

void CUxSizingControlBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_bEdgeDrag) return;
  const int hit = NcHitTest(event->position().toPoint());
  if ((hit == HitClient || hit == HitCaption) && m_pDockContext) m_pDockContext->ToggleDocking();
}

void CUxSizingControlBar::leaveEvent(QEvent* event) {
  if (!m_bEdgeDrag) highlightButton(nullptr);
  CUxControlBar::leaveEvent(event);
}

void CUxSizingControlBar::stopTracking() {
  if (m_bEdgeDrag) EndEdgeDrag();
}

bool CUxSizingControlBar::event(QEvent* event) {
  // An edge drag follows the mouse only while the bar holds it: another window taking it, or
  // letting it go, ends the drag and takes the tracker away.
  if (event->type() == CaptureChangedEvent::eventType() &&
      static_cast<CaptureChangedEvent*>(event)->newHolder() != this)
    stopTracking();
  switch (event->type()) {
    case QEvent::ToolTip: {
      auto* help = static_cast<QHelpEvent*>(event);
      if (const CaptionButton* button = buttonAt(help->pos())) {
        QToolTip::showText(help->globalPos(), QString::fromStdWString(libraryString(button->m_nTooltipId)), this,
                           toQRect(button->GetRect()));
      } else {
        QToolTip::hideText();
        event->ignore();
      }
      return true;
    }
    case QEvent::WindowTitleChange:
      update(m_rcCaption);
      if (auto* floating = dynamic_cast<MiniDockFrame*>(window())) floating->setWindowTitle(windowTitle());
      if (DockBar* dock = dockBar()) dock->setWindowTitle(windowTitle());
      break;
    case QEvent::ParentChange:
      RecalcNonClient();
      break;
    case QEvent::LayoutDirectionChange:
      RecalcNonClient();
      update();
      break;
    default: break;
  }
  return CUxControlBar::event(event);
}

void CUxSizingControlBar::EnableChildWindows(bool disable) {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->setEnabled(!disable);
}

void CUxSizingControlBar::updateExpandTooltip() {
  m_capBtnFill.m_nTooltipId = m_bFillsRow ? kStringContractBar : kStringExpandBar;
  update(toQRect(m_capBtnFill.GetRect()));
}
