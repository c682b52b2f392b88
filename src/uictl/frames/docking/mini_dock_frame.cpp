#include "uictl/frames/docking/mini_dock_frame.h"

#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/bars/drawing/visual_manager_surfaces.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/window_system.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

using namespace platform;

namespace {

constexpr int kBorderWidth = 4;

Qt::Edges edgesOf(int hit) {
  switch (hit) {
    case HitLeft: return Qt::LeftEdge;
    case HitRight: return Qt::RightEdge;
    case HitTop: return Qt::TopEdge;
    case HitBottom: return Qt::BottomEdge;
    case HitTopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case HitTopRight: return Qt::TopEdge | Qt::RightEdge;
    case HitBottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case HitBottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
  }
}

Qt::CursorShape cursorOf(int hit) {
  switch (hit) {
    case HitLeft:
    case HitRight: return Qt::SizeHorCursor;
    case HitTop:
    case HitBottom: return Qt::SizeVerCursor;
    case HitTopLeft:
    case HitBottomRight: return Qt::SizeFDiagCursor;
    case HitTopRight:
    case HitBottomLeft: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

MiniDockFrame::MiniDockFrame(DockFrame* dockSite)
    : QWidget(dockSite, Qt::Tool | Qt::FramelessWindowHint), m_pDockSite(dockSite) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
  setContentsMargins(DefaultMargins());
  m_delayedLayout.setSingleShot(true);
  m_delayedLayout.setInterval(0);
  QObject::connect(&m_delayedLayout, &QTimer::timeout, this, [this] { RecalcLayout(true); });
}

MiniDockFrame::~MiniDockFrame() = default;

bool MiniDockFrame::Create(unsigned barStyle) {
  if (m_pDockBar) return false;
  m_pDockBar = new DockBar(this, DockBarFloat, true);
  // The side's alignment decides whether the bars inside lie across or upright.
  const unsigned alignment = barStyle & CbrsAlignAny ? barStyle & CbrsAlignAny : CbrsAlignTop;
  m_pDockBar->SetBarStyle(CbrsFloating | alignment | (barStyle & CbrsSizeDynamic));
  m_pDockBar->setGeometry(contentsRect());
  return true;
}

DockBar* MiniDockFrame::GetDockBar() const { return m_pDockBar; }

DockFrame* MiniDockFrame::DockSite() const { return m_pDockSite; }

CUxControlBar* MiniDockFrame::FirstBar() const {
  if (!m_pDockBar) return nullptr;
  for (CUxControlBar* bar : m_pDockBar->m_arrBars)
    if (bar) return bar;
  return nullptr;
}

QMargins MiniDockFrame::DefaultMargins() {
  const int caption = getSystemMetrics(SmCySmSize);
  return {kBorderWidth, kBorderWidth + caption, kBorderWidth, kBorderWidth};
}

int MiniDockFrame::BorderWidth() const { return contentsMargins().left(); }

int MiniDockFrame::CaptionHeight() const { return contentsMargins().top() - BorderWidth(); }

QRect MiniDockFrame::CaptionRect() const {
  const int border = BorderWidth();
  return {border, border, std::max(0, width() - 2 * border), CaptionHeight()};
}

QRect MiniDockFrame::CloseButtonRect() const {
  const QRect caption = CaptionRect();
  const Size size = CaptionButton::GetSize();
  return {caption.right() - size.cx - 1, caption.top() + (caption.height() - size.cy) / 2, size.cx, size.cy};
}

int MiniDockFrame::NcHitTest(QPoint pos) const {
  if (!rect().contains(pos)) return HitNowhere;
  if (CloseButtonRect().contains(pos)) return HitClose;
  const int border = BorderWidth();
  const bool left = pos.x() < border, right = pos.x() >= width() - border;
  const bool top = pos.y() < border, bottom = pos.y() >= height() - border;
  if (left || right || top || bottom) {
    if (!m_pDockBar || !(m_pDockBar->GetBarStyle() & CbrsSizeDynamic)) return HitNowhere;
    // A caption's height from a corner along either edge still takes the corner.
    const int corner = CaptionHeight();
    const bool nearLeft = pos.x() < corner, nearRight = pos.x() >= width() - corner;
    const bool nearTop = pos.y() < corner, nearBottom = pos.y() >= height() - corner;
    if ((top && nearLeft) || (left && nearTop)) return HitTopLeft;
    if ((top && nearRight) || (right && nearTop)) return HitTopRight;
    if ((bottom && nearLeft) || (left && nearBottom)) return HitBottomLeft;
    if ((bottom && nearRight) || (right && nearBottom)) return HitBottomRight;
    return left ? HitLeft : right ? HitRight : top ? HitTop : HitBottom;
  }
  if (pos.y() < contentsRect().top()) return HitCaption;
  return HitClient;
}

void MiniDockFrame::ApplyGeometry(const QRect& proposed) {
  const QRect adjusted = AdjustGeometry(proposed);
  if (adjusted != geometry()) setGeometry(adjusted);
}

void MiniDockFrame::MoveTo(QPoint screenPos) { ApplyGeometry(QRect(screenPos, size())); }

void MiniDockFrame::RecalcLayout(bool) {
  if (m_bInRecalcLayout || !m_pDockBar) return;
  m_bInRecalcLayout = true;
  m_delayedLayout.stop();
  m_pDockBar->m_rectLayout = {};
  m_pDockBar->m_bLayoutQuery = false;
  const Size size = m_pDockBar->CalcFixedLayout(false, m_pDockBar->IsHorizontalSide());
  const QMargins margins = contentsMargins();
  ApplyGeometry({geometry().topLeft(), QSize(size.cx + margins.left() + margins.right(),
                                             size.cy + margins.top() + margins.bottom())});
  m_pDockBar->setGeometry(contentsRect());
  if (CUxControlBar* first = FirstBar()) setWindowTitle(first->windowTitle());
  if (m_pDockBar->GetDockedVisibleCount() == 0) hide();
  else if (m_pDockSite && m_pDockSite->isVisible() && isHidden()) show();
  update();
  m_bInRecalcLayout = false;
}

void MiniDockFrame::DelayRecalcLayout() {
  if (!m_bInRecalcLayout && !m_delayedLayout.isActive()) m_delayedLayout.start();
}

void MiniDockFrame::PaintNonClient(QPainter& painter) {
  const GlobalDrawData& g = globalData();
  painter.fillRect(rect(), toQColor(g.clrBtnFace));
  const QRect outer = rect().adjusted(0, 0, -1, -1);
  painter.setPen(toQColor(g.clrBarLight));
  painter.drawLine(outer.topLeft(), outer.topRight());
  painter.drawLine(outer.topLeft(), outer.bottomLeft());
  painter.setPen(toQColor(g.clrBarDarkShadow));
  painter.drawLine(outer.bottomLeft(), outer.bottomRight());
  painter.drawLine(outer.topRight(), outer.bottomRight());

  const bool active = isActiveWindow() || (m_pDockSite && m_pDockSite->isActiveWindow());
  const QRect caption = CaptionRect();
  painter.fillRect(caption, toQColor(getSysColor(active ? ColorActiveCaption : ColorInactiveCaption)));
  painter.setPen(toQColor(getSysColor(active ? ColorCaptionText : ColorInactiveCaptionText)));
  painter.setFont(g.fontRegular.qfont());
  const QRect textRect = caption.adjusted(3, 0, -(CloseButtonRect().width() + 4), 0);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, textRect.width()));

  // The close button as the visual manager draws caption buttons, in a little image of its own.
  const QRect close = CloseButtonRect();
  QImage image(close.size(), QImage::Format_RGB32);
  image.fill(toQColor(getSysColor(active ? ColorActiveCaption : ColorInactiveCaption)));
  {
    Dc dc(image);
    dc.fillSolidRect(Rect{0, 0, close.width(), close.height()}, g.clrBtnFace);
    CaptionButton button;
    button.m_nHit = CaptionButton::kHitClose;
    button.m_bPushed = m_bClosePushed;
    button.m_bFocused = m_bCloseHot;
    CUxVisualManager::GetInstance()->OnDrawCaptionButton(&dc, button, active, true, false);
    if (!IsCloseEnabled()) DrawManager(dc).GrayRect(Rect{0, 0, close.width(), close.height()});
  }
  painter.drawImage(close.topLeft(), image);
}

void MiniDockFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintNonClient(painter);
}

void MiniDockFrame::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (m_pDockBar) m_pDockBar->setGeometry(contentsRect());
  // The compositor resized the frame: the bars take the new width.
  if (!m_bInRecalcLayout && onNativeWayland()) {
    if (CUxControlBar* bar = FirstBar(); bar && (bar->GetBarStyle() & CbrsSizeDynamic)) {
      bar->CalcDynamicLayout(contentsRect().width(), LmHorz | LmCommit);
      DelayRecalcLayout();
    }
  }
}

void MiniDockFrame::OnNcLButtonDown(int hit, QPoint globalPos) {
  CUxControlBar* bar = FirstBar();
  if (hit == HitClose) {
    if (!IsCloseEnabled()) return;
    m_bClosePushed = m_bCloseHot = true;
    update(CloseButtonRect());
    return;
  }
  if (hit == HitCaption) {
    raise();
    if (onNativeWayland() && windowHandle()) windowHandle()->startSystemMove();
    else if (bar && bar->m_pDockContext) bar->m_pDockContext->StartDrag(globalPos);
    return;
  }
  if (hit >= HitLeft && hit <= HitBottomRight) {
    if (onNativeWayland() && windowHandle()) windowHandle()->startSystemResize(edgesOf(hit));
    else if (bar && bar->m_pDockContext) bar->m_pDockContext->StartResize(hit, globalPos);
  }
}

void MiniDockFrame::OnNcRButtonDown(int, QPoint) {}

void MiniDockFrame::OnNcMouseMove(int hit, QPoint) {
  setCursor(cursorOf(hit));
  setCloseHot(hit == HitClose && IsCloseEnabled());
}

bool MiniDockFrame::IsCloseEnabled() const {
  if (!m_pDockBar) return true;
  for (CUxControlBar* bar : m_pDockBar->m_arrBars)
    if (const auto* toolbar = dynamic_cast<const CUxToolBar*>(bar); toolbar && !toolbar->CanBeClosed()) return false;
  return true;
}

void MiniDockFrame::setCloseHot(bool hot) {
  if (hot == m_bCloseHot) return;
  m_bCloseHot = hot;
  update(CloseButtonRect());
}

void MiniDockFrame::mousePressEvent(QMouseEvent* event) {
  const int hit = NcHitTest(event->position().toPoint());
  const QPoint global = event->globalPosition().toPoint();
  if (event->button() == Qt::LeftButton) OnNcLButtonDown(hit, global);
  else if (event->button() == Qt::RightButton) OnNcRButtonDown(hit, global);
}

void MiniDockFrame::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (m_bClosePushed) {
    setCloseHot(CloseButtonRect().contains(pos));
    return;
  }
  OnNcMouseMove(NcHitTest(pos), event->globalPosition().toPoint());
}

void MiniDockFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_bClosePushed || event->button() != Qt::LeftButton) return;
  const bool over = CloseButtonRect().contains(event->position().toPoint());
  m_bClosePushed = m_bCloseHot = false;
  update(CloseButtonRect());
  if (over) close();
}

void MiniDockFrame::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || NcHitTest(event->position().toPoint()) != HitCaption) return;
  if (CUxControlBar* bar = FirstBar(); bar && bar->m_pDockContext) bar->m_pDockContext->ToggleDocking();
}

void MiniDockFrame::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (!m_bClosePushed) setCloseHot(false);
}

void MiniDockFrame::closeEvent(QCloseEvent* event) {
  // The frame is not destroyed: it hides its bars, and hides itself with the last of them.
  event->ignore();
  if (!IsCloseEnabled() || !CanClose() || !m_pDockBar) return;
  const std::vector<CUxControlBar*> bars = m_pDockBar->m_arrBars;
  for (CUxControlBar* bar : bars) {
    if (!bar) continue;
    if (m_pDockSite) m_pDockSite->ShowControlBar(bar, false, false);
    else bar->hide();
  }
  RecalcLayout(false);
}

bool MiniDockFrame::event(QEvent* event) {
  // The bars' prompts and requests meant for their frame go on to the dock site.
  if (dynamic_cast<RegisteredMessageEvent*>(event) && m_pDockSite) return QCoreApplication::sendEvent(m_pDockSite, event);
  if (event->type() == QEvent::LayoutRequest) DelayRecalcLayout();
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) update(CaptionRect());
  return QWidget::event(event);
}

CommandTarget* MiniDockFrame::siteTarget() const { return dynamic_cast<CommandTarget*>(m_pDockSite.data()); }

bool MiniDockFrame::onCommand(unsigned id, int notifyCode) {
  CommandTarget* target = siteTarget();
  return target && target->onCommand(id, notifyCode);
}

void MiniDockFrame::onUpdateCommandUi(CommandUi& state) {
  if (CommandTarget* target = siteTarget()) target->onUpdateCommandUi(state);
}

void MiniDockFrame::onInitPopup(MenuHandle menu) {
  if (CommandTarget* target = siteTarget()) target->onInitPopup(menu);
}

std::wstring MiniDockFrame::messageString(unsigned id) const {
  CommandTarget* target = siteTarget();
  return target ? target->messageString(id) : std::wstring{};
}
