// Where the buttons of a toolbar go: rows wrapped to a length, the size of the bar for a layout
// mode, and the rectangles of the buttons in the client area.
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QImage>
#include <algorithm>

using namespace platform;

namespace {

constexpr int kRowGap = 5;

bool isSeparator(const CUxToolbarButton& button) { return button.m_nStyle & kStyleSeparator; }

}  // namespace

Rect CUxToolBar::ClientRect() const {
  const QRect r = contentsRect();
  return {0, 0, std::max(0, r.width()), std::max(0, r.height())};
}

QPoint CUxToolBar::ClientToWidget(Point point) const {
  return QPoint(point.x, point.y) + contentsRect().topLeft();
}

Point CUxToolBar::WidgetToClient(const QPoint& point) const {
  const QPoint p = point - contentsRect().topLeft();
  return {p.x(), p.y()};
}

void CUxToolBar::updateNcArea() {
  const Rect window{0, 0, width(), height()};
  Rect client = window;
  m_Impl.CalcNcSize(client);
  setContentsMargins(client.left - window.left, client.top - window.top, window.right - client.right,
                     window.bottom - client.bottom);
}

void CUxToolBar::SetBarStyle(unsigned style) {
  CUxControlBar::SetBarStyle(style);
  updateNcArea();
}

Size CUxToolBar::CalcFixedLayout(bool stretch, bool horizontal) {
  return CalcLayout((stretch ? LmStretch : 0u) | (horizontal ? LmHorz : 0u));
}

Size CUxToolBar::CalcDynamicLayout(int length, unsigned mode) {
  if (length == -1 && !(mode & (LmMruWidth | LmCommit)) && (mode & (LmHorzDock | LmVertDock)))
    return CalcFixedLayout(mode & LmStretch, mode & LmHorzDock);
  return CalcLayout(mode, length);
}

QSize CUxToolBar::sizeHint() const {
  auto* self = const_cast<CUxToolBar*>(this);
  const Size size = IsFloating() ? self->CalcLayout(LmHorz | LmMruWidth) : self->CalcFixedLayout(false, IsHorizontal());
  return {size.cx, size.cy};
}

Size CUxToolBar::CalcLayout(unsigned mode, int length) {
  if (m_pCustomizeBtn) m_pCustomizeBtn->SetEmpty(false);
  m_nLabelRowHeight = CalcMaxButtonHeight();
  if (!(m_dwStyle & CbrsSizeFixed)) {
    int wrapLength = (mode & LmHorz) ? 32767 : 0;
    bool vertical = false;
    if ((m_dwStyle & CbrsSizeDynamic) && !(mode & LmMruWidth)) {
      if (mode & LmHorzDock) {
        wrapLength = 32767;
      } else if (mode & LmVertDock) {
        wrapLength = 0;
      } else if (length != -1) {
        Rect inset;
        CalcInsideRect(inset, mode & LmHorz);
        vertical = mode & LmLengthY;
        wrapLength = length + (vertical ? inset.height() : inset.width());
      }
    } else if ((mode & LmMruWidth) && IsFloating()) {
      wrapLength = m_nMRUWidth;
    }
    sizeToolBar(wrapLength, vertical);
  }
  Size size = CalcSize(!(mode & LmHorz));
  if (m_pCustomizeBtn && m_pCustomizeBtn->m_iCustomizeCmdId < 1 && m_pCustomizeBtn->GetInvisibleButtons().empty()) {
    m_pCustomizeBtn->SetEmpty(true);
    size = CalcSize(!(mode & LmHorz));
  }
  if ((mode & LmCommit) && IsFloating() && (m_dwStyle & CbrsSizeDynamic) && (mode & LmHorz)) m_nMRUWidth = size.cx;
  Rect inset;
  CalcInsideRect(inset, mode & LmHorz);
  size.cx -= inset.width();
  size.cy -= inset.height();
  const Size least = CUxControlBar::CalcFixedLayout(mode & LmStretch, mode & LmHorz);
  size.cx = std::max(size.cx, least.cx);
  size.cy = std::max(size.cy, least.cy);
  RebuildAccelerationKeys();
  return size;
}

size_t CUxToolBar::firstTrailingButton(const TrailingButtons& trailing) const {
  const size_t end = m_Buttons.size() - (m_pCustomizeBtn ? 1 : 0);
  return end - std::min(end, static_cast<size_t>(std::max(0, trailing.count)));
}

int CUxToolBar::wrapToolBar(int width, int height) {
  for (auto& button : m_Buttons) button->m_bWrap = false;
  MeasuringDc dc(barFont());
  const Size standard{GetColumnWidth(), GetRowHeight()};
  // A docked bar keeps room for its chevron at the right, unless every button fits anyway.
  if (m_pCustomizeBtn && !IsFloating() && IsHorizontal() && !fitsWithin(dc.get(), true, width))
    width -= chevronSize(dc.get(), true).cx;
  const TrailingButtons trailing = trailingButtons(true);
  const size_t firstTrailing = firstTrailingButton(trailing);
  width -= trailing.extent;
  int x = 0, y = 0, rows = 1;
  CUxToolbarButton* previous = nullptr;
  for (size_t i = 0; i < firstTrailing; ++i) {
    const auto& button = m_Buttons[i];
    if (button.get() == m_pCustomizeBtn) continue;
    Size size = button->OnCalculateSize(dc.get(), standard, true);
    if (isSeparator(*button) && x == 0) size.cx = 0;
    // A row never breaks before its own first button.
    if (!isSeparator(*button) && previous && x > 0 && x + size.cx > width && y + size.cy < height) {
      previous->m_bWrap = true;
      x = 0;
      y += size.cy + kRowGap;
      ++rows;
    }
    x += size.cx;
    previous = button.get();
  }
  return rows;
}

void CUxToolBar::sizeToolBar(int length, bool vertical) {
  if (!vertical) {
    const int most = wrapToolBar(0);
    const int target = wrapToolBar(length);
    if (most != target && length > 0) {
      // Widths above the length give fewer rows, so the search stays below it.
      int low = 0, high = length;
      while (low < high) {
        const int middle = (low + high) / 2;
        if (wrapToolBar(middle) != target) {
          if (middle == low) break;
          low = middle;
        } else {
          high = middle;
        }
      }
      wrapToolBar(high);
    }
  } else {
    wrapToolBar(32767);
    if (length > CalcSize(false).cy) {
      const int step = std::max(1, GetColumnWidth());
      for (int width = step; width < 32767; width += step) {
        wrapToolBar(width);
        if (CalcSize(false).cy <= length) break;
      }
    }
  }
  wrapToolBar(CalcSize(false).cx);
}

Size CUxToolBar::CalcSize(bool vertical) {
  if (m_Buttons.empty()) return GetButtonSize();
  MeasuringDc dc(vertical ? globalData().fontVert : globalData().fontRegular);
  const Size standard{GetColumnWidth(), GetRowHeight()};
  // A docked bar measures without its chevron, which takes whatever room is left.
  const auto skipsChevron = [this](const CUxToolbarButton* button) { return button == m_pCustomizeBtn && !IsFloating(); };
  if (vertical) {
    Size result;
    for (auto& button : m_Buttons) {
      if (skipsChevron(button.get())) continue;
      const Size size = button->OnCalculateSize(dc.get(), standard, false);
      result.cx = std::max(result.cx, size.cx);
      result.cy += size.cy;
    }
    return result;
  }
  int x = 0, y = 0, rowHeight = 0, widest = 0;
  for (auto& button : m_Buttons) {
    if (skipsChevron(button.get())) continue;
    Size size = button->OnCalculateSize(dc.get(), standard, true);
    if (isSeparator(*button) && (x == 0 || button->m_bWrap)) size.cx = 0;
    x += size.cx;
    widest = std::max(widest, x);
    rowHeight = std::max(rowHeight, size.cy);
    if (button->m_bWrap) {
      y += rowHeight + kRowGap;
      x = 0;
      rowHeight = 0;
    }
  }
  return {widest, y + rowHeight};
}

void CUxToolBar::AdjustLocations() {
  if (m_Buttons.empty()) return;
  const Rect client = ClientRect();
  const bool horizontal = IsHorizontal();
  MeasuringDc dc(barFont());
  const Size standard{GetColumnWidth(), GetRowHeight()};
  const int start = horizontal ? client.left + 1 : client.top + 1;
  int x = start, y = horizontal ? client.top : start;
  int rowHeight = 0;
  size_t rowBegin = 0;
  // Buttons past the room the chevron leaves go into its list; when everything fits and the
  // chevron has no entry of its own, it takes no room.
  const bool chevron = chevronActive();
  Size chevronExtent;
  const TrailingButtons trailing = trailingButtons(horizontal);
  const size_t firstTrailing = firstTrailingButton(trailing);
  int limit = (horizontal ? client.right : client.bottom) - trailing.extent;
  if (m_pCustomizeBtn) m_pCustomizeBtn->GetInvisibleButtons().clear();
  if (chevron) {
    chevronExtent = chevronSize(dc.get(), horizontal);
    if (m_pCustomizeBtn->m_iCustomizeCmdId > 0 || !fitsWithin(dc.get(), horizontal, (horizontal ? client.right : client.bottom) - start))
      limit -= horizontal ? chevronExtent.cx : chevronExtent.cy;
  }
  const auto finishRow = [&](size_t rowEnd) {
    // A floating bar centres each row.
    if (!IsFloating() || !horizontal) return;
    const int shift = (client.right - x) / 2;
    if (shift <= 0) return;
    for (size_t i = rowBegin; i < rowEnd; ++i) m_Buttons[i]->SetRect(m_Buttons[i]->m_rect.offset(shift, 0));
  };
  for (size_t i = 0; i < m_Buttons.size(); ++i) {
    CUxToolbarButton& button = *m_Buttons[i];
    if (&button == m_pCustomizeBtn) continue;
    if (i >= firstTrailing) {
      if (button.m_bHidden) {
        button.m_bHidden = false;
        button.OnShow(true);
      }
      continue;
    }
    Size size = button.OnCalculateSize(dc.get(), standard, horizontal);
    if (horizontal && button.m_bTextBelow) size.cy = GetRowHeight();
    bool hidden = false;
    if (isSeparator(button)) {
      const bool rowStart = horizontal ? x == start : y == start;
      if (rowStart || (i > 0 && isSeparator(*m_Buttons[i - 1]))) {
        size = {};
        hidden = true;
      }
    }
    if (chevron && !hidden && (horizontal ? x + size.cx : y + size.cy) > limit) {
      hidden = true;
      m_pCustomizeBtn->GetInvisibleButtons().push_back(&button);
    }
    if (button.m_bHidden != hidden) {
      button.m_bHidden = hidden;
      button.OnShow(!hidden);
    }
    if (horizontal) {
      button.SetRect(Rect::fromSize(x, y, size.cx, size.cy));
      x += size.cx;
      rowHeight = std::max(rowHeight, size.cy);
      if (button.m_bWrap) {
        finishRow(i + 1);
        rowBegin = i + 1;
        y += std::max(rowHeight, GetRowHeight()) + kRowGap;
        x = start;
        rowHeight = 0;
      }
    } else {
      button.SetRect(Rect::fromSize(client.left, y, size.cx, size.cy));
      y += size.cy;
    }
  }
  finishRow(firstTrailing);
  if (m_pCustomizeBtn) placeChevron(chevron && m_pCustomizeBtn->HasContent(), chevronExtent, horizontal);
}

bool CUxToolBar::fitsWithin(Dc* dc, bool horizontal, int length) {
  const Size standard{GetColumnWidth(), GetRowHeight()};
  const TrailingButtons trailing = trailingButtons(horizontal);
  const size_t firstTrailing = firstTrailingButton(trailing);
  int extent = trailing.extent;
  for (size_t i = 0; i < firstTrailing; ++i) {
    if (m_Buttons[i].get() == m_pCustomizeBtn) continue;
    const Size size = m_Buttons[i]->OnCalculateSize(dc, standard, horizontal);
    extent += horizontal ? size.cx : size.cy;
  }
  return extent <= length;
}

void CUxToolBar::placeChevron(bool shown, Size extent, bool horizontal) {
  const Rect client = ClientRect();
  Rect rect;
  if (shown) {
    rect = horizontal ? Rect{client.right - extent.cx, client.top, client.right, client.bottom - 1}
                      : Rect{client.left, client.bottom - extent.cy, client.right, client.bottom};
  }
  m_pCustomizeBtn->SetEmpty(!shown);
  if (m_pCustomizeBtn->m_bHidden == shown) {
    m_pCustomizeBtn->m_bHidden = !shown;
    m_pCustomizeBtn->OnShow(shown);
  }
  m_pCustomizeBtn->SetRect(rect);
}

void CUxToolBar::AdjustLayout() {
  const bool horizontal = IsHorizontal();
  for (auto& button : m_Buttons) button->m_bTextBelow = !isSeparator(*button) && m_bTextLabels && horizontal;
  // What the frame does when it lays itself out again: ask the bar for its size.
  updateGeometry();
  if (IsFloating()) CalcLayout(LmHorz | LmMruWidth);
  else CalcFixedLayout(false, horizontal);
  AdjustLocations();
  update();
}

int CUxToolBar::CalcMaxButtonHeight() {
  m_bTallLabels = false;
  if (!m_bTextLabels || !IsHorizontal()) return 0;
  MeasuringDc dc(globalData().fontRegular);
  const Size standard = GetButtonSize();
  int tallest = 0;
  for (auto& button : m_Buttons) {
    if (!button->m_bTextBelow) continue;
    if (button->m_strText.empty()) SetDefaultButtonText(button.get());
    tallest = std::max(tallest, button->OnCalculateSize(dc.get(), standard, true).cy);
  }
  m_bTallLabels = tallest > standard.cy;
  return tallest;
}

int CUxToolBar::HitTest(Point point) const {
  for (int i = 0; i < GetCount(); ++i) {
    const CUxToolbarButton& button = *m_Buttons[static_cast<size_t>(i)];
    if (button.m_bHidden || !button.m_rect.contains(point)) continue;
    return isSeparator(button) ? -1 : i;
  }
  return -1;
}
