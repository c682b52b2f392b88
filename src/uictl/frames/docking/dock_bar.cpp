#include "uictl/frames/docking/dock_bar.h"

#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/docking/dock_context.h"
#include "uictl/frames/docking/mini_dock_frame.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

using namespace platform;

namespace {

constexpr int kUnlimited = 32767;

unsigned alignmentOf(unsigned dockBarId) {
  switch (dockBarId) {
    case 59420: return CbrsAlignLeft;
    case 59421: return CbrsAlignRight;
    case 59422: return CbrsAlignBottom;
    default: return CbrsAlignTop;
  }
}

// Along and across a side: a horizontal side runs along x, a vertical one along y.
struct Axes {
  bool horizontal;
  int along(const QRect& r) const { return horizontal ? r.left() : r.top(); }
  int acrossStart(const QRect& r) const { return horizontal ? r.top() : r.left(); }
  int thickness(const QRect& r) const { return horizontal ? r.height() : r.width(); }
  QRect rect(int along, int across, int length, int thick) const {
    return horizontal ? QRect(along, across, length, thick) : QRect(across, along, thick, length);
  }
};

}  // namespace

void reparentKeepingVisibility(QWidget* widget, QWidget* parent) {
  const bool hiddenOnPurpose = widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide);
  widget->setParent(parent);
  if (!hiddenOnPurpose) widget->show();
}

DockBar::DockBar(QWidget* parent, unsigned dockBarId, bool floating) : CUxControlBar(parent), m_bFloating(floating) {
  SetDlgCtrlID(dockBarId);
  SetBorders(0, 0, 0, 0);
  m_dwStyle = alignmentOf(dockBarId) | (floating ? CbrsFloating : 0u);
  for (QWidget* w = parent; w && !m_pDockSite; w = w->parentWidget()) m_pDockSite = dynamic_cast<ControlBarDockSite*>(w);
  setAutoFillBackground(false);
  show();
}

DockBar::~DockBar() {
  for (CUxControlBar* bar : m_arrBars)
    if (bar && bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
}

MiniDockFrame* DockBar::FloatingFrame() const { return m_bFloating ? dynamic_cast<MiniDockFrame*>(parentWidget()) : nullptr; }

int DockBar::FindBar(const CUxControlBar* bar) const {
  const auto found = std::find(m_arrBars.begin(), m_arrBars.end(), bar);
  return bar && found != m_arrBars.end() ? static_cast<int>(found - m_arrBars.begin()) : -1;
}

int DockBar::GetDockedCount() const {
  return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](auto* bar) { return bar != nullptr; }));
}

int DockBar::GetDockedVisibleCount() const {
  return static_cast<int>(
      std::count_if(m_arrBars.begin(), m_arrBars.end(), [](auto* bar) { return bar && bar->IsVisible(); }));
}

void DockBar::DockControlBar(CUxControlBar* bar, const QRect* screenRect) {
  if (auto* previous = dynamic_cast<DockBar*>(bar->m_pDockBar)) previous->RemoveControlBar(bar);
  unsigned style = (bar->GetBarStyle() & ~(CbrsAlignAny | CbrsFloating)) | (m_dwStyle & CbrsAlignAny);
  if (m_bFloating) style |= CbrsFloating;
  const bool turned = (style & CbrsOrientHorz) != (bar->GetBarStyle() & CbrsOrientHorz) ||
                      (style & CbrsFloating) != (bar->GetBarStyle() & CbrsFloating);
  bar->SetBarStyle(style);
  if (bar->parentWidget() != this) reparentKeepingVisibility(bar, this);
  if (screenRect) {
    const QRect rect(mapFromGlobal(screenRect->topLeft()), screenRect->size());
    insert(bar, rect);
    bar->setGeometry(rect);
  } else {
    m_arrBars.push_back(bar);
    m_arrBars.push_back(nullptr);
    bar->move(0, 0);
  }
  bar->m_pDockBar = this;
  // A toolbar places its buttons for its new orientation (text below the images only across).
  if (auto* toolbar = dynamic_cast<CUxToolBar*>(bar); toolbar && turned) toolbar->AdjustLayout();
  askForLayout();
}

void DockBar::insert(CUxControlBar* bar, const QRect& rect) {
  const Axes axes{IsHorizontalSide()};
  const int middle = axes.acrossStart(rect) + axes.thickness(rect) / 2;
  size_t rowBegin = 1;
  while (rowBegin < m_arrBars.size()) {
    size_t rowEnd = rowBegin;
    int top = kUnlimited, bottom = -kUnlimited;
    while (rowEnd < m_arrBars.size() && m_arrBars[rowEnd]) {
      if (m_arrBars[rowEnd]->IsVisible()) {
        const QRect g = m_arrBars[rowEnd]->geometry();
        top = std::min(top, axes.acrossStart(g));
        bottom = std::max(bottom, axes.acrossStart(g) + axes.thickness(g));
      }
      ++rowEnd;
    }
    if (top < bottom) {
      if (middle < top) {
        m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(rowBegin), {bar, nullptr});
        return;
      }
      if (middle < bottom) {
        size_t at = rowBegin;
        while (at < rowEnd && axes.along(m_arrBars[at]->geometry()) < axes.along(rect)) ++at;
        m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(at), bar);
        return;
      }
    }
    rowBegin = rowEnd + 1;
  }
  m_arrBars.push_back(bar);
  m_arrBars.push_back(nullptr);
}

bool DockBar::RemoveControlBar(CUxControlBar* bar) {
  const int index = FindBar(bar);
  if (index < 0) return false;
  const auto at = static_cast<size_t>(index);
  m_arrBars.erase(m_arrBars.begin() + index);
  if (!m_arrBars[at - 1] && at < m_arrBars.size() && !m_arrBars[at]) m_arrBars.erase(m_arrBars.begin() + index);
  if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
  if (MiniDockFrame* frame = FloatingFrame(); frame && GetDockedCount() == 0) {
    // The last bar left: its floating frame has nothing to show any more.
    frame->hide();
    frame->deleteLater();
    return true;
  }
  askForLayout();
  return true;
}

unsigned DockBar::layoutModeOf(const CUxControlBar* bar) {
  if ((bar->GetBarStyle() & CbrsSizeDynamic) && bar->IsFloating()) return LmHorz | LmMruWidth;
  return bar->IsHorizontal() ? LmHorz | LmHorzDock : LmVertDock;
}

void DockBar::placeBar(CUxControlBar* bar, const QRect& rect) {
  if (!bar->IsFloating()) {
    if (auto* context = dynamic_cast<DockContext*>(bar->m_pDockContext.get())) context->RememberDockPosition(this, rect);
  }
  if (bar->geometry() != rect) bar->setGeometry(rect);
}

Size DockBar::CalcFixedLayout(bool stretch, bool horizontal) {
  Size fixed = CUxControlBar::CalcFixedLayout(stretch, horizontal);
  QSize room(kUnlimited, kUnlimited);
  if (!m_rectLayout.isEmpty()) room = m_rectLayout.size();
  else if (!m_bFloating && m_pDockSite) room = m_pDockSite->DockSiteWidget()->contentsRect().size();
  const Axes axes{horizontal};
  const int most = horizontal ? room.width() : room.height();
  int along = 0, across = 0, thickness = 0;
  bool wrapped = false;
  for (size_t pos = 0; pos < m_arrBars.size(); ++pos) {
    CUxControlBar* bar = m_arrBars[pos];
    if (bar) {
      if (bar->IsVisible()) {
        const Size size = bar->CalcDynamicLayout(-1, layoutModeOf(bar));
        // A bar whose row cannot hold it moves to a row further on: what stands here now is laid
        // out instead, and the bar when the walk reaches it again.
        if (m_arrBars[pos] != bar) {
          --pos;
          continue;
        }
        const int length = horizontal ? size.cx : size.cy, thick = horizontal ? size.cy : size.cx;
        int start = along;
        if (!m_bFloating) {
          // A bar keeps the place it was moved to along its row, as far as the row has room.
          start = std::max(start, axes.along(bar->geometry()));
          if (start + length > most) start = std::max(most - length, along);
        }
        if (wrapped) {
          wrapped = false;
          start = 0;
        } else if (start >= most && pos > 0 && m_arrBars[pos - 1]) {
          // No room left in the row: the bar starts a new one.
          m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(pos), nullptr);
          bar = nullptr;
          wrapped = true;
        }
        if (!wrapped) {
          if (!m_bLayoutQuery) placeBar(bar, axes.rect(start, across, length, thick));
          along = start + length;
          thickness = std::max(thickness, thick);
        }
      }
      if (bar && !m_bLayoutQuery) bar->RecalcDelayShow();
    }
    if (!bar && thickness) {
      across += thickness;
      (horizontal ? fixed.cx : fixed.cy) = std::max(horizontal ? fixed.cx : fixed.cy, along);
      (horizontal ? fixed.cy : fixed.cx) = std::max(horizontal ? fixed.cy : fixed.cx, across);
      along = thickness = 0;
    }
  }
  return fixed;
}

QSize DockBar::sizeHint() const {
  auto* self = const_cast<DockBar*>(this);
  const bool query = m_bLayoutQuery;
  self->m_bLayoutQuery = true;
  const Size size = self->CalcFixedLayout(false, IsHorizontalSide());
  self->m_bLayoutQuery = query;
  return {size.cx, size.cy};
}

void DockBar::askForLayout() {
  if (MiniDockFrame* frame = FloatingFrame()) frame->DelayRecalcLayout();
  else if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

bool DockBar::event(QEvent* event) {
  // A bar asked for another size (its updateGeometry): the side is laid out again when idle.
  if (event->type() == QEvent::LayoutRequest) askForLayout();
  return CUxControlBar::event(event);
}

void DockBar::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), toQColor(globalData().clrBtnFace));
}
