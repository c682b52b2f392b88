// Where the tab window puts things: the row height and fonts, the tabs area and the window area,
// the buttons and the shared scroll bar, each tab's rectangle, scrolling and hit-testing.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/frames/tabs/tab_wnd.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <algorithm>

using namespace platform;

namespace {
constexpr int kTextMargin = 4;
constexpr int kScrollStep = 20;
// The visual manager puts a tab's label 6 pixels after its image, 2 more than the text margin.
constexpr int kImageGapExtra = 2;
}  // namespace

void CUxTabWnd::ComputeTabsHeight() {
  const GlobalDrawData& g = globalData();
  if (!m_bFlatStyle) {
    m_cyTabs = std::max(m_szTabImage.cy + 2 * kTextMargin, g.nTextHeight + 2);
    return;
  }
  m_cyTabs = getSystemMetrics(SmCyHScroll) + 2;
  const SystemMetricsProvider& system = systemMetrics();
  const LogFont gui = system.defaultGuiFont().value_or(system.menuFont());
  LogFont log;
  log.height = gui.height;
  log.charSet = gui.charSet;
  log.faceName = fontNames().arial;
  Font font = Font::create(log);
  // The font shrinks until a line of it fits the row.
  while (log.height != 0 && MeasuringDc(font)->getTextMetrics().height + 2 > m_cyTabs) {
    log.height += log.height < 0 ? 1 : -1;
    font = Font::create(log);
  }
  m_fontFlat = font;
  log.weight = 700;
  m_fontFlatBold = Font::create(log);
}

void CUxTabWnd::resizeEvent(QResizeEvent*) {
  if (m_bSharedScrollBar) {
    const int w = width() - 2 * (m_nBorder + 2 * getSystemMetrics(SmCxVScroll));
    const int least = 2 * getSystemMetrics(SmCxHThumb);
    m_cxSharedScrollBar = w <= least ? 0 : (w / 2 <= least ? w : w / 2);
  }
  LayoutWindow();
  SyncSharedScrollBar();
  if (m_bSlanted) {
    m_xScroll = 0;
    m_nFirstShown = 0;
    LayoutTabs();
    ScrollTabIntoView(m_nActive);
  }
}

void CUxTabWnd::LayoutWindow() {
  if (!m_bCreated) return;
  const bool hidden = rowHidden();
  const int H = m_bSharedScrollBar ? m_cyTabs : GetTabsHeight();
  const int B = m_nBorder;
  const bool top = m_nTabsSide == TabsAtTop;
  const Rect client = clientRect();
  m_rcTabs = {client.left + B, client.top, client.right - B, client.bottom};

  int S = 0, W = 0;
  if (m_bHasScrollButtons) {
    S = std::max(0, std::min(H - 4, CUxButton::GetStdImageSize().cx + 6));
    const int count = static_cast<int>(m_buttonHandles.size()) - (m_bHasCloseButton ? 0 : 1);
    W = hidden ? 0 : S * count;
  }
  if (!m_bFlatStyle) {
    if (top) m_rcTabs.bottom = m_rcTabs.top + H;
    else m_rcTabs.top = m_rcTabs.bottom - H;
    if (m_bHasScrollButtons) {
      m_rcTabs.right -= W;
      if (m_bSlanted) m_rcTabs = m_rcTabs.offset(S, 0);
      PlaceButtons(m_rcTabs.right, (m_rcTabs.top + m_rcTabs.bottom) / 2 - S / 2, S, S, hidden);
    }
    m_rcTabs.right -= 2 * B;
  } else {
    if (top) {
      if (B > 1) m_rcTabs.top += B - 1;
      m_rcTabs.bottom = m_rcTabs.top + H;
    } else {
      if (B > 1) m_rcTabs.bottom -= B - 1;
      m_rcTabs.top = m_rcTabs.bottom - H;
    }
    m_rcTabs.left += W + 1;
    m_rcTabs.right -= B;
    const bool tooLow = H + B > client.height();
    if (tooLow) m_rcTabs.right = m_rcTabs.left;
    PlaceButtons(client.left + B + 1, m_rcTabs.top + std::max(0, (H - S) / 2), S, tooLow ? 0 : S, hidden);
  }
  m_xScrollBarLimit = m_rcTabs.right - getSystemMetrics(SmCxVScroll);

  m_rcChild = B > 0 ? client.deflated(B + 1, B + 1) : client;
  if (m_bFlatStyle) {
    if (top) m_rcChild.top = m_rcTabs.bottom + B;
    else m_rcChild.bottom = m_rcTabs.top;
    if (B == 0) {
      ++m_rcChild.left;
      if (top) --m_rcChild.bottom;
      else ++m_rcChild.top;
    }
  } else if (top) {
    m_rcChild.top = m_rcTabs.bottom + 2 * B;
  } else {
    m_rcChild.bottom = m_rcTabs.top - 2 * B;
  }
  if (m_bFitWindows)
    for (const auto& tab : m_tabRecords)
      if (tab->m_bShown && tab->m_pTabWindow) tab->m_pTabWindow->setGeometry(m_rcChild.toQRect());

  PlaceSharedScrollBar();
  LayoutTabs();
  ClampScrollOffset();
  update();
}

void CUxTabWnd::PlaceButtons(int x, int y, int cx, int cy, bool hide) {
  for (CUxTabStripButton* button : m_buttonHandles) {
    if (hide || (button == m_buttons[BtnClose] && !m_bHasCloseButton)) {
      button->setGeometry(x, y, 0, 0);
    } else if (m_bSlanted && button == m_buttonHandles.front()) {
      button->setGeometry(m_rcTabs.left - cx - 1, y, cx, cy);
    } else {
      button->setGeometry(x, y, cx, cy);
      x += cx;
    }
    button->update();
  }
}

void CUxTabWnd::PlaceSharedScrollBar() {
  if (!m_sharedScrollBar) return;
  const bool top = m_nTabsSide == TabsAtTop;
  auto clearEdge = [top](Rect& r) {
    if (top) r.top += 2;
    else r.bottom -= 2;
  };
  Rect bar = m_rcTabs;
  m_rcSplitter = {};
  if (rowHidden()) {
    clearEdge(bar);
  } else if (m_cxSharedScrollBar < 2 * getSystemMetrics(SmCxHThumb)) {
    bar = {};
  } else {
    bar.left = m_xScrollBarLimit - m_cxSharedScrollBar;
    bar.right = m_xScrollBarLimit;
    clearEdge(bar);
    m_rcSplitter = {bar.left - kSplitterWidth, m_rcTabs.top + (top ? 0 : 1), bar.left, m_rcTabs.bottom};
    int buttonsRight = m_rcTabs.left;
    for (const CUxTabStripButton* button : m_buttonHandles)
      if (button->width() > 0) buttonsRight = std::max(buttonsRight, button->geometry().right() + 1);
    if (m_rcSplitter.left > buttonsRight) {
      m_rcTabs.right = m_rcSplitter.left;
    } else {
      m_rcSplitter = {};
      if (bar.left < buttonsRight) bar = {};
    }
  }
  m_sharedScrollBar->setGeometry(bar.toQRect());
  m_sharedScrollBar->show();
}

void CUxTabWnd::LayoutTabs() {
  const int visible = GetVisibleTabsNum();
  if (visible == 0 || (!m_bSharedScrollBar && rowHidden())) return;
  const int H = m_bSharedScrollBar ? m_cyTabs : GetTabsHeight();
  if (H == 0) return;
  if (m_bHideIfSingle && visible < 2) {
    for (auto& tab : m_tabRecords) tab->m_rcTab = {};
    return;
  }
  if (m_bScrollButtonsOnDemand && m_buttons[BtnLeft] && m_buttons[BtnLeft]->isHidden()) m_rcTabs.left = m_nBorder;
  const bool top = m_nTabsSide == TabsAtTop;
  const int O = m_bSlanted ? H - kTextMargin - 1 : 0;
  MeasuringDc dc(m_bFlatStyle ? m_fontFlatBold : globalData().fontRegular);
  int x = m_rcTabs.left - m_xScroll;
  m_cxAllTabs = 0;
  bool first = true;
  for (auto& tab : m_tabRecords) {
    if (!tab->m_bShown) {
      tab->m_nNeededWidth = 0;
      tab->m_rcTab = {};
      continue;
    }
    const int image = tab->m_nImage >= 0 && m_hTabImages ? m_szTabImage.cx : 0;
    int full = (tab->m_bNoLabel ? 0 : dc->getTextExtent(tab->m_strLabel).cx) + kTextMargin + 8 + image;
    // The label starts a little further from the image than the margin: room for that too, or
    // every label with an image is cut short.
    if (image > 0) full += kImageGapExtra;
    if (m_bSlanted) full += H + 2 * kTextMargin;
    tab->m_nNeededWidth = full;
    Rect r{x, m_rcTabs.top, x + full, m_rcTabs.bottom - 2};
    if (top) r = r.offset(0, 2);
    setToolRect(tab->m_nID, tab->m_bTipAlways ? r : Rect{});
    if (m_bFlatStyle) r.right += H / 2;
    tab->m_rcTab = r;
    x += full + 1 - O;
    m_cxAllTabs += full + 1 - (first ? 0 : O);
    first = false;
  }
  if (!m_bFlatStyle && !m_bHasScrollButtons && x >= m_rcTabs.right) squeezeTabs(visible);
  else m_cxAllTabs += H / 2;
}

void CUxTabWnd::squeezeTabs(int visible) {
  const int areaWidth = m_rcTabs.width();
  const int average = areaWidth / visible;
  int room = 0, wide = 0;
  for (const auto& tab : m_tabRecords) {
    if (!tab->m_bShown) continue;
    if (tab->m_nNeededWidth < average) room += average - tab->m_nNeededWidth;
    else ++wide;
  }
  if (wide == 0) return;
  const int share = average + room / wide;
  const bool top = m_nTabsSide == TabsAtTop;
  int x = m_rcTabs.left;
  for (auto& tab : m_tabRecords) {
    if (!tab->m_bShown) continue;
    const int image = tab->m_nImage >= 0 && m_hTabImages ? m_szTabImage.cx : 0;
    int w = std::min(tab->m_nNeededWidth, share);
    if (share < kTextMargin + image) w = (areaWidth + 2 * m_nBorder) / visible;
    if (tab->m_bNoLabel || tab->m_strLabel.empty()) w = image + 8;
    Rect r{x, m_rcTabs.top, x + w, m_rcTabs.bottom - 2};
    if (top) r = r.offset(0, 2);
    tab->m_rcTab = r;
    setToolRect(tab->m_nID, w < tab->m_nNeededWidth || tab->m_bTipAlways ? r : Rect{});
    x += w + (room > 0 ? 1 : 0);
  }
}

void CUxTabWnd::ClampScrollOffset() {
  if (!m_bHasScrollButtons) {
    m_xScroll = 0;
    return;
  }
  if (GetVisibleTabsNum() == 0) {
    m_xScroll = m_xScrollMax = 0;
    if (m_bScrollButtonsOnDemand)
      for (CUxTabStripButton* button : m_buttonHandles) button->hide();
    updateButtonStates();
    return;
  }
  m_xScrollMax = std::max(0, m_cxAllTabs - m_rcTabs.width());
  const int old = m_xScroll;
  m_xScroll = std::clamp(m_xScroll, 0, m_xScrollMax);
  if (m_bScrollButtonsOnDemand) {
    const bool show = m_xScroll > 0 || m_xScroll < m_xScrollMax;
    for (CUxTabStripButton* button : m_buttonHandles) button->setVisible(show);
  }
  if (old != m_xScroll) {
    LayoutTabs();
    redrawNow(m_rcTabs);
  }
  updateButtonStates();
}

void CUxTabWnd::updateButtonStates() {
  if (m_bFlatStyle || !m_bHasScrollButtons) return;
  bool left = m_xScroll > 0;
  bool right = m_xScroll < m_xScrollMax;
  if (m_bSlanted) {
    const CUxTabRecord* last = record(m_nTabCount - 1);
    left = m_nFirstShown > 0;
    right = last && last->m_rcTab.right > m_rcTabs.right && m_nFirstShown < m_nTabCount - 1;
  }
  for (auto [which, on] : {std::pair{BtnLeft, left}, std::pair{BtnRight, right}}) {
    CUxTabStripButton* button = m_buttons[which];
    if (!button || button->isEnabled() == on) continue;
    button->setEnabled(on);
    if (!on) button->OnCancelMode();
  }
}

void CUxTabWnd::onButtonClick(int which) {
  const int H = GetTabsHeight();
  int offset = m_xScroll;
  int first = m_nFirstShown;
  switch (which) {
    case BtnLeft:
      if (!m_bSlanted) {
        offset -= kScrollStep;
      } else if (first >= 1) {
        offset -= record(first - 1)->m_rcTab.width() - H + kTextMargin + 2;
        --first;
      }
      break;
    case BtnRight:
      if (!m_bSlanted) {
        offset += kScrollStep;
      } else if (first < m_nTabCount) {
        offset += record(first)->m_rcTab.width() - H + kTextMargin + 1;
        ++first;
      }
      break;
    case BtnHome: offset = 0; break;
    case BtnEnd: offset = m_xScrollMax; break;
    case BtnClose:
      if (QWidget* window = GetActiveTabWindow()) window->close();
      return;
    default: return;
  }
  scrollTo(offset, first);
}

void CUxTabWnd::scrollTo(int offset, int firstShown) {
  offset = std::max(0, offset);
  if (!m_bSlanted) offset = std::min(offset, m_xScrollMax);
  if (offset == m_xScroll && firstShown == m_nFirstShown) return;
  m_xScroll = offset;
  m_nFirstShown = firstShown;
  LayoutTabs();
  updateButtonStates();
  update();
}

bool CUxTabWnd::ScrollTabIntoView(int index) {
  if (!m_bHasScrollButtons || m_rcTabs.width() < 1) return true;
  const CUxTabRecord* tab = record(index);
  if (!tab) return false;
  Rect r = tab->m_rcTab;
  if (!tab->m_bShown || (r.left >= m_rcTabs.left && r.right <= m_rcTabs.right) || r.width() > m_rcTabs.width())
    return true;
  const int H = GetTabsHeight();
  if (r.right > m_rcTabs.right) {
    if (!m_bSlanted) {
      m_xScroll += r.right - m_rcTabs.right;
    } else {
      int first = m_nFirstShown;
      while (r.right > m_rcTabs.right) {
        if (first >= m_nTabCount) return false;
        const int step = record(first)->m_rcTab.width() - H + kTextMargin + 1;
        if (step <= 0) return false;
        m_xScroll += step;
        r = r.offset(-step, 0);
        ++first;
      }
      m_nFirstShown = first;
    }
  } else if (r.left < m_rcTabs.left) {
    m_xScroll -= m_rcTabs.left - r.left;
    if (m_bSlanted) m_nFirstShown = index;
  }
  LayoutTabs();
  ClampScrollOffset();
  update();
  return true;
}

int CUxTabWnd::TabFromPoint(Point point) const {
  if (!m_rcTabs.contains(point)) return -1;
  if (m_bSlanted) {
    if (const CUxTabRecord* active = record(m_nActive); active && active->m_bShown && active->m_rcTab.contains(point)) {
      const Rect& r = active->m_rcTab;
      const int h = r.height(), dx = point.x - r.left, dy = point.y - r.top;
      if (m_nActive > 0 && point.x < r.left + h && dx * dx + dy * dy < h * h / 2)
        for (int i = m_nActive - 1; i >= 0; --i)
          if (m_tabRecords[size_t(i)]->m_bShown) return i;
      return m_nActive;
    }
  }
  for (int i = 0; i < m_nTabCount; ++i) {
    const CUxTabRecord& tab = *m_tabRecords[size_t(i)];
    if (tab.m_bShown && tab.m_rcTab.contains(point) && !(m_bSlanted && i == m_nActive)) return i;
  }
  return -1;
}

// The shared scroll bar.

bool CUxTabWnd::SyncSharedScrollBar() {
  if (!m_sharedScrollBar) return false;
  auto* area = qobject_cast<QAbstractScrollArea*>(GetActiveTabWindow());
  QScrollBar* own = area ? area->horizontalScrollBar() : nullptr;
  if (!own || own->maximum() <= own->minimum()) {
    m_sharedScrollBar->setEnabled(false);
    return false;
  }
  m_sharedScrollBar->setEnabled(true);
  m_sharedScrollBar->setRange(own->minimum(), own->maximum());
  m_sharedScrollBar->setPageStep(own->pageStep());
  m_sharedScrollBar->setSingleStep(own->singleStep());
  m_sharedScrollBar->setValue(own->value());
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return true;
}
