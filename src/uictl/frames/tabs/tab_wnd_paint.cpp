// Painting of the tab window into a back buffer: the frame round the window area, the tabs
// through the visual manager (inactive ones from the last, then the active one on top), the drop
// marker of a drag and the shared scroll bar's splitter.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/tabs/tab_wnd.h"

#include <QPainter>

using namespace platform;

namespace {
void line(Dc* dc, int x1, int y1, int x2, int y2) {
  dc->moveTo(x1, y1);
  dc->lineTo(x2, y2);
}
}  // namespace

void CUxTabWnd::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  if (buffer.isNull()) return;
  Dc dc(buffer);
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  UxTabFrameColors colours;
  manager->GetTabFrameColors(Look(), colours);

  const Rect client = clientRect();
  const bool top = m_nTabsSide == TabsAtTop;
  const Rect frame = top ? Rect{client.left, m_rcTabs.bottom, client.right, client.bottom}
                         : Rect{client.left, client.top, client.right, m_rcTabs.top};
  // What lies under the tabs' windows; a strip without tabs shows the plain face unless its
  // owner covers it anyway.
  dc.fillRect(client, !m_bNoErase && m_nTabCount == 0 ? globalData().brBtnFace : colours.faceBrush);
  if (!manager->OnEraseTabsFrame(&dc, frame, Look())) dc.fillRect(frame, colours.faceBrush);
  manager->OnEraseTabsArea(&dc, m_rcTabs, Look());
  paintBorder(&dc, colours);
  paintTabs(&dc, colours);

  if (!m_rcSplitter.isEmpty()) {
    dc.fillRect(m_rcSplitter, colours.faceBrush);
    Rect edge = m_rcSplitter;
    dc.drawEdge(edge, EdgeRaised, BfRect);
  }
  if (m_bFlatStyle && m_xScroll > 0) {
    const Pen old = dc.selectPen(Pen::solid(colours.dark));
    if (top) line(&dc, m_rcTabs.left, m_rcTabs.bottom, m_rcTabs.left, m_rcTabs.top + 2);
    else line(&dc, m_rcTabs.left, m_rcTabs.top, m_rcTabs.left, m_rcTabs.bottom - 2);
    dc.selectPen(old);
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void CUxTabWnd::paintBorder(Dc* dc, const UxTabFrameColors& colours) {
  const int B = m_nBorder;
  const bool top = m_nTabsSide == TabsAtTop;
  const Rect area = m_rcChild;
  if (B == 0) {
    dc->frameRect(area, Brush::solid(colours.dark));
    return;
  }
  const Rect band = area.inflated(B, B);
  dc->fillRect({band.left, band.top, area.left, band.bottom}, colours.faceBrush);
  dc->fillRect({area.right, band.top, band.right, band.bottom}, colours.faceBrush);
  if (top) {
    dc->fillRect({band.left, m_rcTabs.bottom, band.right, area.top}, colours.faceBrush);
    dc->fillRect({band.left, area.bottom, band.right, band.bottom}, colours.faceBrush);
  } else {
    dc->fillRect({band.left, band.top, band.right, area.top}, colours.faceBrush);
    dc->fillRect({band.left, area.bottom, band.right, m_rcTabs.top}, colours.faceBrush);
  }
  const Pen old = dc->selectPen(Pen::solid(colours.dark));
  if (m_bFlatStyle) {
    const int y = top ? area.top - 1 : area.bottom;
    line(dc, area.left - 1, y, area.right + 1, y);
  }
  if (m_bFramedBorder) {
    // A frame round the whole window and a sunken one round the window area; the frame flag
    // makes both a plain line.
    if (m_bFrameFlag) {
      dc->frameRect(clientRect(), Brush::solid(colours.dark));
      dc->frameRect(area.inflated(1, 1), Brush::solid(colours.dark));
    } else {
      dc->draw3dRect(clientRect(), colours.highlight, colours.darkShadow);
      dc->draw3dRect(area.inflated(1, 1), colours.dark, colours.highlight);
    }
  }
  if (m_bEdgeLine) {
    // Along the tabs' side that meets the window area; the active tab covers it and so opens.
    const int y = top ? m_rcTabs.bottom - 1 : m_rcTabs.top;
    dc->selectPen(Pen::solid(colours.black));
    line(dc, m_rcTabs.left, y, m_rcTabs.right, y);
  }
  dc->selectPen(old);
}

void CUxTabWnd::paintTabs(Dc* dc, const UxTabFrameColors& colours) {
  (void)colours;
  const GlobalDrawData& g = globalData();
  const int B = m_nBorder;
  if (m_rcTabs.width() <= 2 * B + 1 || m_rcTabs.height() <= 2 * B + 1) return;
  const Font oldFont = dc->selectFont(m_bFlatStyle ? m_fontFlat : g.fontRegular);
  dc->setBkMode(Transparent);
  const COLORREF oldText = dc->setTextColor(g.clrBarText);
  dc->setClipRect(m_rcTabs);
  for (int i = m_nTabCount - 1; i >= 0; --i) {
    if (i == m_nActive || m_tabRecords[size_t(i)]->m_rcTab.intersected(m_rcTabs).isEmpty()) continue;
    if (m_bFlatStyle) PaintTabFlat(dc, i, false);
    else PaintTab3D(dc, i, false);
  }
  if (m_bDragging && m_nDropIndex >= 0 && m_nTabCount > 0) {
    const int size = GetTabsHeight() / 2;
    const bool past = m_nDropIndex >= m_nTabCount;
    const Rect& tab = m_tabRecords[size_t(past ? m_nTabCount - 1 : m_nDropIndex)]->m_rcTab;
    PaintDropMarker(dc, past ? tab.right - size + 1 : tab.left, tab.top, tab.bottom, size);
  }
  if (const CUxTabRecord* active = record(m_nActive); active && active->m_bShown) {
    if (!m_bFlatStyle) {
      PaintTab3D(dc, m_nActive, true);
    } else {
      const COLORREF back = m_clrFlatBack == kNoColor ? g.clrWindow : m_clrFlatBack;
      dc->selectFont(m_fontFlatBold);
      dc->setTextColor(m_clrFlatActiveText == kNoColor ? g.clrWindowText : m_clrFlatActiveText);
      PaintTabFlat(dc, m_nActive, true);
      // The active tab opens into the window area.
      const Rect& r = active->m_rcTab;
      const int y = m_nTabsSide == TabsAtTop ? r.bottom - 1 : r.top;
      const Pen old = dc->selectPen(Pen::solid(back));
      line(dc, r.left + 1, y, r.right, y);
      dc->selectPen(old);
    }
  }
  dc->setClipRect(std::nullopt);
  dc->setTextColor(oldText);
  dc->selectFont(oldFont);
}

void CUxTabWnd::PaintTab3D(Dc* dc, int index, bool active) {
  const CUxTabRecord* tab = record(index);
  if (!tab || !tab->m_bShown || (m_bSlanted && tab->m_rcTab.left < m_rcTabs.left)) return;
  CUxVisualManager::GetInstance()->OnDrawTab(dc, tab->m_rcTab, index, active, Look());
}

void CUxTabWnd::PaintTabFlat(Dc* dc, int index, bool active) {
  const CUxTabRecord* tab = record(index);
  if (!tab || !tab->m_bShown) return;
  CUxVisualManager::GetInstance()->OnDrawTab(dc, tab->m_rcTab, index, active, Look());
}

void CUxTabWnd::PaintDropMarker(Dc* dc, int x, int top, int bottom, int size) {
  if (!m_bFlatStyle) return;
  const Brush old = dc->selectBrush(Brush::solid(0));
  if (m_nTabsSide == TabsAtTop) dc->polygon({{x + size, top}, {x, top}, {x + size / 2, bottom - size}});
  else dc->polygon({{x, bottom}, {x + size, bottom}, {x + size / 2, top + size}});
  dc->selectBrush(old);
}
