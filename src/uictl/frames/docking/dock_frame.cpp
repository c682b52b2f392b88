#include "uictl/frames/docking/dock_frame.h"

#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_context.h"
#include "uictl/frames/docking/mini_dock_frame.h"
#include "uictl/frames/window_system.h"

#include <QHideEvent>
#include <algorithm>

namespace {

// The sides in layout order with the alignment each stands for.
constexpr std::array<std::pair<unsigned, unsigned>, 4> kSides{{
    {DockBarTop, CbrsAlignTop}, {DockBarBottom, CbrsAlignBottom}, {DockBarLeft, CbrsAlignLeft}, {DockBarRight, CbrsAlignRight},
}};

}  // namespace

DockFrame::DockFrame(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  m_delayedLayout.setSingleShot(true);
  m_delayedLayout.setInterval(0);
  QObject::connect(&m_delayedLayout, &QTimer::timeout, this, [this] { RecalcLayout(true); });
}

DockFrame::~DockFrame() {
  m_delayedLayout.stop();
  // The bars outlive this part of the frame by a moment (its widgets delete them): they must not
  // call back into it.
  // A real type test: the bars are not meta-object classes, so findChildren<CUxControlBar*> would
  // take every child widget for one.
  for (QWidget* child : findChildren<QWidget*>())
    if (auto* bar = dynamic_cast<CUxControlBar*>(child); bar && bar->m_pDockSite == this) bar->m_pDockSite = nullptr;
  for (CUxControlBar* bar : m_listControlBars) bar->m_pDockSite = nullptr;
}

void DockFrame::EnableDocking(unsigned alignment) {
  for (size_t i = 0; i < kSides.size(); ++i) {
    if ((alignment & kSides[i].second) && !m_dockBars[i]) m_dockBars[i] = new DockBar(this, kSides[i].first, false);
  }
  DelayRecalcLayout();
}

DockBar* DockFrame::GetDockBar(unsigned dockBarId) const {
  for (DockBar* side : m_dockBars)
    if (side && side->GetDlgCtrlID() == dockBarId) return side;
  return nullptr;
}

void DockFrame::addControlBar(CUxControlBar* bar) {
  if (std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) == m_listControlBars.end())
    m_listControlBars.push_back(bar);
  bar->m_pDockSite = this;
  // Even a bar that may not dock anywhere moves and sizes its floating frame through one.
  if (!bar->m_pDockContext) bar->m_pDockContext = CreateDockContext(bar);
  // Commands keep going to the window the bar was made for, wherever it is docked or floats.
  if (QWidget* owner = bar->GetOwner(); owner == bar->parentWidget()) {
    bar->SetOwner(dynamic_cast<DockBar*>(owner) || dynamic_cast<MiniDockFrame*>(owner) || !owner ? this : owner);
  }
}

void DockFrame::DockControlBar(CUxControlBar* bar, unsigned dockBarId, const QRect* screenRect) {
  if (!bar) return;
  DockBar* side = dockBarId ? GetDockBar(dockBarId) : nullptr;
  if (!side) {
    // The side the bar is aligned to, else the first side it may dock on.
    const unsigned allowed = bar->m_dwDockStyle ? bar->m_dwDockStyle : CbrsAlignAny;
    for (const unsigned wanted : {bar->GetBarStyle() & allowed & CbrsAlignAny, allowed}) {
      for (size_t i = 0; i < kSides.size() && !side; ++i)
        if ((wanted & kSides[i].second) && m_dockBars[i]) side = m_dockBars[i];
      if (side) break;
    }
  }
  if (!side) return;
  addControlBar(bar);
  side->DockControlBar(bar, screenRect);
  if (auto* context = dynamic_cast<DockContext*>(bar->m_pDockContext.get())) context->m_uMRUDockID = side->GetDlgCtrlID();
}

void DockFrame::FloatControlBar(CUxControlBar* bar, QPoint screenPos, unsigned alignment) {
  if (!bar) return;
  addControlBar(bar);
  unsigned style = alignment & CbrsAlignAny;
  if (!style) style = CbrsAlignTop;
  // A bar that sizes itself floats across; one that does not keeps the orientation asked for.
  if (bar->GetBarStyle() & CbrsSizeDynamic) style = CbrsAlignTop | CbrsSizeDynamic;
  auto* side = dynamic_cast<DockBar*>(bar->m_pDockBar);
  MiniDockFrame* floating = side ? side->FloatingFrame() : nullptr;
  if (floating && side->GetDockedCount() == 1 && (side->GetBarStyle() & CbrsAlignAny) == (style & CbrsAlignAny)) {
    floating->MoveTo(screenPos);
    floating->RecalcLayout(true);
    return;
  }
  MiniDockFrame* frame = CreateFloatingFrame(style);
  if (!frame) return;
  // Only a place for now: the layout gives the frame its size, and both pass its adjustment.
  frame->move(screenPos);
  frame->GetDockBar()->DockControlBar(bar);
  frame->RecalcLayout(true);
  DelayRecalcLayout();
}

MiniDockFrame* DockFrame::CreateFloatingFrame(unsigned barStyle) {
  auto* frame = new MiniDockFrame(this);
  if (frame->Create(barStyle)) return frame;
  delete frame;
  return nullptr;
}

CUxControlBar* DockFrame::GetControlBar(unsigned id) const {
  for (DockBar* side : m_dockBars)
    if (side && side->GetDlgCtrlID() == id) return side;
  for (CUxControlBar* bar : m_listControlBars)
    if (bar->GetDlgCtrlID() == id) return bar;
  return nullptr;
}

const std::vector<CUxControlBar*>& DockFrame::ControlBars() const { return m_listControlBars; }

std::vector<MiniDockFrame*> DockFrame::FloatingFrames() const {
  std::vector<MiniDockFrame*> frames;
  for (QObject* child : children())
    if (auto* frame = dynamic_cast<MiniDockFrame*>(child); frame && frame->FirstBar()) frames.push_back(frame);
  return frames;
}

void DockFrame::SetCentralWidget(QWidget* pane) {
  if (m_pCentralWidget == pane) return;
  if (pane && pane->parentWidget() != this) reparentKeepingVisibility(pane, this);
  m_pCentralWidget = pane;
  DelayRecalcLayout();
}

QWidget* DockFrame::CentralWidget() const { return m_pCentralWidget; }

void DockFrame::PositionCentralWidget(const QRect& rect) {
  if (m_pCentralWidget && m_pCentralWidget->geometry() != rect) m_pCentralWidget->setGeometry(rect);
}

void DockFrame::layOutBar(CUxControlBar* bar, QRect& rect, QSize& total, bool query, bool stretch) {
  const unsigned style = bar->GetBarStyle();
  const unsigned mode = (stretch ? LmStretch : 0u) | DockBar::layoutModeOf(bar);
  auto* side = dynamic_cast<DockBar*>(bar);
  if (side) {
    side->m_rectLayout = rect;
    side->m_bLayoutQuery = query;
  }
  const platform::Size size = bar->CalcDynamicLayout(-1, mode);
  if (side) {
    side->m_rectLayout = {};
    side->m_bLayoutQuery = false;
  }
  const int cx = std::clamp(size.cx, 0, std::max(0, rect.width()));
  const int cy = std::clamp(size.cy, 0, std::max(0, rect.height()));
  QRect place(rect.topLeft(), QSize(cx, cy));
  if (style & CbrsOrientHorz) {
    total = {std::max(total.width(), cx), total.height() + cy};
    if (style & CbrsAlignTop) {
      rect.setTop(rect.top() + cy);
    } else {
      place.moveTop(rect.bottom() + 1 - cy);
      rect.setBottom(rect.bottom() - cy);
    }
  } else if (style & (CbrsAlignLeft | CbrsAlignRight)) {
    total = {total.width() + cx, std::max(total.height(), cy)};
    if (style & CbrsAlignLeft) {
      rect.setLeft(rect.left() + cx);
    } else {
      place.moveLeft(rect.right() + 1 - cx);
      rect.setRight(rect.right() - cx);
    }
  }
  if (!query && bar->geometry() != place) bar->setGeometry(place);
}

void DockFrame::RepositionBars(unsigned first, unsigned last, unsigned leftOver, Reposition mode, QRect* rectParam,
                               const QRect* clientRect, bool stretch) {
  const bool query = mode == Reposition::Query;
  QRect rect = clientRect ? *clientRect : contentsRect();
  QSize total;
  // Children in the order they were made: the sides come before bars made after them.
  for (QObject* child : children()) {
    auto* bar = dynamic_cast<CUxControlBar*>(child);
    if (!bar || bar->isWindow() || bar->GetDlgCtrlID() < first || bar->GetDlgCtrlID() > last) continue;
    if (!bar->IsVisible()) continue;
    layOutBar(bar, rect, total, query, stretch);
  }
  if (query) {
    if (rectParam) *rectParam = stretch ? rect : QRect(QPoint(0, 0), total);
    return;
  }
  if (mode == Reposition::Extra && rectParam) {
    rect.adjust(rectParam->left(), rectParam->top(), -rectParam->right(), -rectParam->bottom());
  }
  rect.setSize(rect.size().expandedTo(QSize(0, 0)));
  if (leftOver == kFirstPaneId) {
    PositionCentralWidget(rect);
  } else if (auto* other = findChild<QWidget*>(QStringLiteral("id%1").arg(leftOver), Qt::FindDirectChildrenOnly)) {
    other->setGeometry(rect);
  }
}

void DockFrame::RecalcLayout(bool) {
  if (m_bInRecalcLayout) return;
  m_bInRecalcLayout = true;
  m_delayedLayout.stop();
  RepositionBars(0, 0xFFFF, kFirstPaneId);
  m_bInRecalcLayout = false;
}

void DockFrame::DelayRecalcLayout() {
  if (!m_bInRecalcLayout && !m_delayedLayout.isActive()) m_delayedLayout.start();
}

void DockFrame::ShowControlBar(CUxControlBar* bar, bool show, bool delay) {
  if (!bar) return;
  auto* side = dynamic_cast<DockBar*>(bar->m_pDockBar);
  MiniDockFrame* floating = side ? side->FloatingFrame() : nullptr;
  if (delay) {
    bar->DelayShow(show);
    if (floating) floating->DelayRecalcLayout();
    else DelayRecalcLayout();
    return;
  }
  bar->m_nStateFlags &= ~(CUxControlBar::DelayHide | CUxControlBar::DelayShowing);
  bar->setVisible(show);
  if (floating) floating->RecalcLayout(false);
  else RecalcLayout(false);
}

std::unique_ptr<ControlBarDockContext> DockFrame::CreateDockContext(CUxControlBar* bar) {
  return std::make_unique<DockContext>(bar, this);
}

void DockFrame::OnBarDestroyed(CUxControlBar* bar) {
  m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), bar), m_listControlBars.end());
  for (DockBar*& side : m_dockBars)
    if (side == bar) side = nullptr;
  if (auto* side = dynamic_cast<DockBar*>(bar->m_pDockBar)) side->RemoveControlBar(bar);
  DelayRecalcLayout();
}

DockBar* DockFrame::CanDock(const QRect& screenRect, unsigned dockStyle) const {
  for (size_t i = 0; i < kSides.size(); ++i) {
    DockBar* side = m_dockBars[i];
    if (!side || !(dockStyle & kSides[i].second)) continue;
    QRect area = globalGeometry(side);
    if (area.width() == 0) area.setWidth(1);
    if (area.height() == 0) area.setHeight(1);
    if (area.intersects(screenRect)) return side;
  }
  return nullptr;
}

bool DockFrame::event(QEvent* event) {
  // A bar or the central pane asked for another size.
  if (event->type() == QEvent::LayoutRequest) DelayRecalcLayout();
  return QWidget::event(event);
}

void DockFrame::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RecalcLayout(true);
}

void DockFrame::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Floating frames wait for the frame to be shown before they show themselves.
  for (MiniDockFrame* frame : FloatingFrames()) frame->RecalcLayout(false);
}

void DockFrame::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // Floating frames are windows of their own, which a hidden frame does not hide by itself.
  if (!event->spontaneous())
    for (MiniDockFrame* frame : FloatingFrames()) frame->hide();
}
