// The sizing bar in its row: the sizes it reports to the dock bar, the sharing of the row's
// length between the row's sizing bars, expanding one bar over the row, and the edge drag that
// moves length between neighbours or changes the row's thickness.
#include "uictl/frames/docking/sizing_control_bar.h"

#include "platform/windows/mouse_capture.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/halftone_overlay.h"
#include "uictl/frames/docking/mini_dock_frame.h"

#include <QApplication>

#include <algorithm>

using namespace platform;

namespace {

// Length runs along the row, thickness across it.
int& lengthOf(Size& size, bool horizontal) { return horizontal ? size.cx : size.cy; }
int lengthOf(const Size& size, bool horizontal) { return horizontal ? size.cx : size.cy; }
int& thicknessOf(Size& size, bool horizontal) { return horizontal ? size.cy : size.cx; }
int thicknessOf(const Size& size, bool horizontal) { return horizontal ? size.cy : size.cx; }
// Left and right edges change widths, top and bottom edges heights.
int& extentOf(Size& size, int edge) { return edge == HitLeft || edge == HitRight ? size.cx : size.cy; }

bool isSizingBar(const QWidget* bar) {
  const std::vector<QWidget*>& all = sizingBarArray();
  return std::find(all.begin(), all.end(), bar) != all.end();
}

// The entries of `bar`'s row: [first, last] of the dock bar's array; false when it is not there.
bool rowRange(const DockBar& dock, const CUxControlBar* bar, size_t& first, size_t& last) {
  const std::vector<CUxControlBar*>& bars = dock.m_arrBars;
  const auto at = std::find(bars.begin(), bars.end(), bar);
  if (at == bars.end()) return false;
  first = last = static_cast<size_t>(at - bars.begin());
  while (first > 0 && bars[first - 1]) --first;
  while (last + 1 < bars.size() && bars[last + 1]) ++last;
  return true;
}

constexpr int kFreeAreaMargin = 4;

// What each bar takes (or gives) when `amount` pixels go one at a time to the bars in turn, each
// only as long as it has room left (`rooms`): whole rounds first, then the last round in order.
// Found by the number of whole rounds, so any amount takes the same few steps.
std::vector<long long> shareInTurns(const std::vector<long long>& rooms, long long amount) {
  const auto handedIn = [&rooms](long long rounds) {
    long long sum = 0;
    for (long long room : rooms) sum += std::min(room, rounds);
    return sum;
  };
  long long rounds = 0, most = amount;
  while (rounds < most) {
    const long long mid = rounds + (most - rounds + 1) / 2;
    if (handedIn(mid) <= amount) rounds = mid;
    else most = mid - 1;
  }
  std::vector<long long> shares;
  long long rest = amount;
  for (long long room : rooms) {
    shares.push_back(std::min(room, rounds));
    rest -= shares.back();
  }
  for (size_t i = 0; i < rooms.size() && rest > 0; ++i)
    if (rooms[i] > rounds) {
      ++shares[i];
      --rest;
    }
  return shares;
}

}  // namespace

std::vector<CUxSizingControlBar*> CUxSizingControlBar::RowSizingBars() const {
  std::vector<CUxSizingControlBar*> row;
  const DockBar* dock = dockBar();
  size_t first = 0, last = 0;
  if (!dock || !rowRange(*dock, this, first, last)) return row;
  for (size_t i = first; i <= last; ++i) {
    CUxControlBar* bar = dock->m_arrBars[i];
    if (bar && bar->IsVisible() && isSizingBar(bar)) row.push_back(static_cast<CUxSizingControlBar*>(bar));
  }
  return row;
}

int CUxSizingControlBar::rowLength(bool expanded) const {
  const DockBar* dock = dockBar();
  if (!dock) return 0;
  // During a layout the side has the room it is being laid out in, not yet its size.
  const QSize room = dock->m_rectLayout.isEmpty() ? dock->size() : dock->m_rectLayout.size();
  // An expanded bar along the top or bottom reaches one pixel past each end of the side.
  if (IsDockedHorizontally()) return room.width() + (expanded ? 2 : 0);
  return room.height() - 2;
}

// Layout.

Size CUxSizingControlBar::CalcFixedLayout(bool stretch, bool horizontal) {
  refreshDockSide();
  if (stretch) return horizontal ? Size{32767, m_sizeDockedH.cy} : Size{m_sizeDockedV.cx, 32767};
  const std::vector<CUxSizingControlBar*> row = RowSizingBars();
  m_bAloneInRow = row.size() < 2;
  if (m_bRowLayoutAsked && !row.empty() && row.front() == this) {
    if (ShareRowLength(rowLength(false), horizontal)) PackRow();
  }
  m_bRowLayoutAsked = false;
  RecalcNonClient();

  Size size = horizontal ? m_sizeDockedH : m_sizeDockedV;
  const int maxThickness = thicknessOf(m_sizeMaximum, horizontal);
  int& thickness = thicknessOf(size, horizontal);
  if (maxThickness > 0) thickness = std::min(thickness, maxThickness);
  size = {std::max(size.cx, m_sizeMinimum.cx), std::max(size.cy, m_sizeMinimum.cy)};
  const std::vector<CUxSizingControlBar*> now = RowSizingBars();
  const bool otherExpanded =
      std::any_of(now.begin(), now.end(), [this](const CUxSizingControlBar* b) { return b != this && b->m_bFillsRow; });
  const int minLength = lengthOf(m_sizeMinimum, horizontal);
  if (otherExpanded) lengthOf(size, horizontal) = minLength;
  else if (m_bFillsRow && now.size() > 1)
    lengthOf(size, horizontal) = rowLength(true) - static_cast<int>(now.size() - 1) * minLength;
  return size;
}

Size CUxSizingControlBar::CalcDynamicLayout(int length, unsigned mode) {
  if (mode & (LmHorzDock | LmVertDock)) {
    if (length == -1) m_bRowLayoutAsked = true;
    return CUxControlBar::CalcDynamicLayout(length, mode);
  }
  if (length > 0 && !(mode & LmMruWidth)) (mode & LmLengthY ? m_sizeFloating.cy : m_sizeFloating.cx) = length;
  m_sizeFloating = {std::max(m_sizeFloating.cx, m_sizeMinimum.cx), std::max(m_sizeFloating.cy, m_sizeMinimum.cy)};
  if (m_sizeMaximum.cx > 0) m_sizeFloating.cx = std::min(m_sizeFloating.cx, m_sizeMaximum.cx);
  if (m_sizeMaximum.cy > 0) m_sizeFloating.cy = std::min(m_sizeFloating.cy, m_sizeMaximum.cy);
  // A rolled bar shows nothing below its frame's caption.
  const QWidget* focus = QApplication::focusWidget();
  if (m_bRolledUp && !(focus && isAncestorOf(focus))) return {m_sizeFloating.cx, getSystemMetrics(SmCySizeFrame) - 1};
  return m_sizeFloating;
}

bool CUxSizingControlBar::ShareRowLength(int length, bool horizontal) {
  DockBar* dock = dockBar();
  size_t first = 0, last = 0;
  if (!dock || !rowRange(*dock, this, first, last)) return false;
  const std::vector<CUxSizingControlBar*> row = RowSizingBars();
  int room = length;
  for (size_t i = first; i <= last; ++i) {
    const CUxControlBar* bar = dock->m_arrBars[i];
    if (bar && bar->IsVisible() && !isSizingBar(bar)) room -= horizontal ? bar->width() : bar->height();
  }
  long long total = 0, minimums = 0;
  int thickness = 0;
  for (CUxSizingControlBar* bar : row) {
    const Size& size = horizontal ? bar->m_sizeDockedH : bar->m_sizeDockedV;
    total += lengthOf(size, horizontal);
    minimums += lengthOf(bar->m_sizeMinimum, horizontal) + 2;
    thickness = std::max(thickness, thicknessOf(size, horizontal));
  }
  if (minimums > room) {
    // The bar leaves for a row of its own right after this one; the others keep the row. The
    // dock bar walking its array sees another bar where this one was, and meets this one again
    // in its new row.
    if (row.size() > 1) {
      std::vector<CUxControlBar*>& bars = dock->m_arrBars;
      const std::ptrdiff_t afterRow = static_cast<std::ptrdiff_t>(last) + 1;
      bars.insert(bars.begin() + afterRow, {nullptr, this});
      bars.erase(std::find(bars.begin(), bars.end(), this));
    }
    return false;
  }
  for (CUxSizingControlBar* bar : row) thicknessOf(horizontal ? bar->m_sizeDockedH : bar->m_sizeDockedV, horizontal) = thickness;

  // Bars just shown keep their length while the others can give or take; what the others
  // cannot, the just-shown bars join in for, and what nobody can give stays (it cannot be
  // handed out without going below a minimum).
  long long left = room - total;
  for (const bool withJustShown : {false, true}) {
    if (left == 0) break;
    std::vector<int*> lengths;
    std::vector<long long> rooms;
    for (CUxSizingControlBar* bar : row) {
      if (!withJustShown && bar->m_bJustShown) continue;
      int& barLength = lengthOf(horizontal ? bar->m_sizeDockedH : bar->m_sizeDockedV, horizontal);
      lengths.push_back(&barLength);
      rooms.push_back(left > 0 ? left : std::max(0, barLength - lengthOf(bar->m_sizeMinimum, horizontal)));
    }
    const int sign = left > 0 ? 1 : -1;
    const std::vector<long long> shares = shareInTurns(rooms, left * sign);
    for (size_t i = 0; i < lengths.size(); ++i) {
      *lengths[i] += sign * static_cast<int>(shares[i]);
      left -= sign * shares[i];
    }
  }
  for (CUxSizingControlBar* bar : row) bar->m_bJustShown = false;
  return true;
}

void CUxSizingControlBar::PackRow() {
  DockBar* dock = dockBar();
  size_t first = 0, last = 0;
  if (!dock || !rowRange(*dock, this, first, last)) return;
  const bool horizontal = IsDockedHorizontally();
  int at = 0;
  for (size_t i = first; i <= last; ++i) {
    CUxControlBar* bar = dock->m_arrBars[i];
    if (!bar || !bar->IsVisible()) continue;
    if (horizontal) bar->move(at, bar->y());
    else bar->move(bar->x(), at);
    if (isSizingBar(bar)) {
      const auto* sizing = static_cast<const CUxSizingControlBar*>(bar);
      at += lengthOf(horizontal ? sizing->m_sizeDockedH : sizing->m_sizeDockedV, horizontal);
    } else {
      at += horizontal ? bar->width() : bar->height();
    }
  }
}

void CUxSizingControlBar::SwitchRowFill(bool toggle) {
  if (IsFloatingBar() || m_bAloneInRow) return;
  if (toggle) m_bFillsRow = !m_bFillsRow;
  const bool horizontal = IsDockedHorizontally();
  const std::vector<CUxSizingControlBar*> row = RowSizingBars();
  auto sizeOf = [horizontal](CUxSizingControlBar* bar) -> Size& { return horizontal ? bar->m_sizeDockedH : bar->m_sizeDockedV; };
  auto contract = [&] {
    for (CUxSizingControlBar* bar : row) lengthOf(sizeOf(bar), horizontal) = lengthOf(bar->m_sizeBeforeChange, horizontal);
  };
  if (m_bFillsRow) {
    for (CUxSizingControlBar* bar : row) {
      if (bar == this || !bar->m_bFillsRow) continue;
      bar->m_bFillsRow = false;
      bar->updateExpandTooltip();
      contract();
    }
    const int length = rowLength(true);
    for (CUxSizingControlBar* bar : row) {
      bar->m_sizeBeforeChange = sizeOf(bar);
      lengthOf(sizeOf(bar), horizontal) = bar == this ? length : lengthOf(bar->m_sizeMinimum, horizontal);
    }
  } else {
    contract();
  }
  updateExpandTooltip();
  if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

// Edge drag.

void CUxSizingControlBar::BeginEdgeDrag(int edge) {
  setCapture(this);
  m_nDragEdge = edge;
  m_sizeBeforeChange = dockedSize();
  m_ptDragOrigin = m_ptLastPress;
  m_bEdgeDrag = true;

  const bool horizontal = IsDockedHorizontally();
  const std::vector<CUxSizingControlBar*> row = RowSizingBars();
  m_sizeDragMin = m_sizeMinimum;
  for (const CUxSizingControlBar* bar : row)
    thicknessOf(m_sizeDragMin, horizontal) = std::max(thicknessOf(m_sizeDragMin, horizontal), thicknessOf(bar->m_sizeMinimum, horizontal));
  m_pDragNeighbour = nullptr;
  if (IsDraggingRowThickness()) {
    QRect free;
    if (auto* frame = dynamic_cast<DockFrame*>(m_pDockSite))
      frame->RepositionBars(0, 0xFFFF, kFirstPaneId, Reposition::Query, &free);
    m_sizeDragMax = {m_sizeBeforeChange.cx + free.width() - kFreeAreaMargin,
                     m_sizeBeforeChange.cy + free.height() - kFreeAreaMargin};
    int& limit = thicknessOf(m_sizeDragMax, horizontal);
    for (const CUxSizingControlBar* bar : row) {
      const int barMax = thicknessOf(bar->m_sizeMaximum, horizontal);
      if (barMax > 0) limit = std::min(limit, barMax);
    }
  } else {
    const auto at = std::find(row.begin(), row.end(), this);
    const bool before = edge == HitLeft || edge == HitTop;
    if (at != row.end() && before && at != row.begin()) m_pDragNeighbour = *(at - 1);
    if (at != row.end() && !before && at + 1 != row.end()) m_pDragNeighbour = *(at + 1);
    m_sizeDragMax = m_sizeBeforeChange;
    if (m_pDragNeighbour) {
      const Size theirs = m_pDragNeighbour->dockedSize();
      m_nNeighbourBefore = extentOf(m_pDragNeighbour->dockedSize(), edge);
      m_sizeDragMax = {m_sizeBeforeChange.cx + theirs.cx - m_pDragNeighbour->m_sizeMinimum.cx,
                       m_sizeBeforeChange.cy + theirs.cy - m_pDragNeighbour->m_sizeMinimum.cy};
    }
  }
  ToggleDragFeedback();
}

void CUxSizingControlBar::OnEdgeDragMove(QPoint point) {
  if (!m_bEdgeDrag) return;
  const QPoint d = point - m_ptDragOrigin;
  const int edge = m_nDragEdge;
  const int saved = extentOf(m_sizeBeforeChange, edge);
  int length = edge == HitLeft ? saved - d.x() : edge == HitRight ? saved + d.x() : edge == HitTop ? saved - d.y() : saved + d.y();
  length = std::max(extentOf(m_sizeDragMin, edge), std::min(length, extentOf(m_sizeDragMax, edge)));

  ToggleDragFeedback();
  int& mine = extentOf(dockedSize(), edge);
  const int gained = length - mine;
  mine = length;
  if (IsDraggingRowThickness()) {
    for (CUxSizingControlBar* bar : RowSizingBars()) extentOf(bar->dockedSize(), edge) = length;
  } else if (m_pDragNeighbour) {
    extentOf(m_pDragNeighbour->dockedSize(), edge) -= gained;
  }
  ToggleDragFeedback();
}

void CUxSizingControlBar::EndEdgeDrag() {
  if (m_pDragFeedback && !m_pDragFeedback->isHidden()) ToggleDragFeedback();
  delete m_pDragFeedback;
  m_bEdgeDrag = false;
  if (getCapture() == this) releaseCapture();
  if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

// In a row of two, a bar dragged to the whole range counts as expanded (and one that started
// at half the row contracts to half of it again); the other does not.
void CUxSizingControlBar::markExpandedAfterDrag() {
  const std::vector<CUxSizingControlBar*> row = RowSizingBars();
  if (row.size() != 2 || IsDraggingRowThickness()) return;
  const int edge = m_nDragEdge;
  const int limit = extentOf(m_sizeDragMax, edge);
  const bool wereEqual = m_pDragNeighbour && m_nNeighbourBefore == extentOf(m_sizeBeforeChange, edge);
  for (CUxSizingControlBar* bar : row) {
    const int length = extentOf(bar->dockedSize(), edge);
    const bool expanded = length == limit;
    if (expanded && wereEqual) extentOf(bar->m_sizeBeforeChange, edge) = length / 2;
    if (expanded == bar->m_bFillsRow) continue;
    bar->m_bFillsRow = expanded;
    bar->updateExpandTooltip();
  }
}

void CUxSizingControlBar::ToggleDragFeedback() {
  QWidget* frame = dockingFrame();
  if (!frame || frame == this) return;
  if (m_pDragFeedback && !m_pDragFeedback->isHidden()) {
    m_pDragFeedback->hide();
    return;
  }
  // The bar's window at its stored size, grown or shrunk at the dragged edge.
  const Size size = dockedSize();
  QRect bar(mapTo(frame, QPoint(0, 0)), QSize(width(), height()));
  const int e = m_nEdgeWidth;
  QRect strip;
  switch (m_nDragEdge) {
    case HitLeft: strip = QRect(bar.right() + 1 - size.cx, bar.top(), e, bar.height()); break;
    case HitRight: strip = QRect(bar.left() + size.cx - e, bar.top(), e, bar.height()); break;
    case HitTop: strip = QRect(bar.left(), bar.bottom() + 1 - size.cy, bar.width(), e); break;
    default: strip = QRect(bar.left(), bar.top() + size.cy - e, bar.width(), e); break;
  }
  if (!m_pDragFeedback) m_pDragFeedback = new HalftoneOverlay(frame);
  m_pDragFeedback->setGeometry(strip.intersected(frame->rect()));
  m_pDragFeedback->show();
  m_pDragFeedback->raise();
}
