// Where the parts of the outlook bar go: the caption strip, the page buttons above and below
// the active one, the work area with its command buttons and scroll buttons, and the bar's
// thickness.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/outlook/outlook_bar.h"

using namespace platform;

namespace {
constexpr int kSplitterWidth = 3;
}  // namespace

Font CUxOutlookBar::captionFont() const { return m_fontCaption.isNull() ? globalData().fontRegular : m_fontCaption; }

bool CUxOutlookBar::dockedAtStart() const {
  return (GetBarStyle() & (CbrsAlignLeft | CbrsAlignTop)) != 0;
}

void CUxOutlookBar::recalcSplitter() {
  m_rectSplitter = {};
  if (!m_bEnableSplitter) return;
  const Rect client = ClientRect();
  // The strip runs along the edge that faces the rest of the window.
  if (isVerticalBar()) {
    m_rectSplitter = dockedAtStart() ? Rect{client.right - kSplitterWidth, client.top, client.right, client.bottom}
                                     : Rect{client.left, client.top, client.left + kSplitterWidth, client.bottom};
  } else {
    m_rectSplitter = dockedAtStart() ? Rect{client.left, client.bottom - kSplitterWidth, client.right, client.bottom}
                                     : Rect{client.left, client.top, client.right, client.top + kSplitterWidth};
  }
}

Rect CUxOutlookBar::GetPageArea() const {
  Rect area = ClientRect();
  if (m_rectCaption.isEmpty()) return area;
  if (isVerticalBar()) {
    area.top = m_rectCaption.bottom;
    if (!dockedAtStart()) area = area.offset(3, 0);
  } else {
    area.left = m_rectCaption.right;
    if (dockedAtStart()) area = area.offset(0, -3);
  }
  return area;
}

Size CUxOutlookBar::CalcFixedLayout(bool, bool horizontal) {
  int thickness = m_nBarThickness;
  if (thickness == -1) {
    thickness = 2 * (horizontal ? m_csImage.cy : m_csImage.cx) + 10;
    if (m_bTextLabels) {
      MeasuringDc measure(globalData().fontRegular);
      for (const auto& button : m_Buttons) {
        Rect label{0, 0, 1, 1};
        measure->drawText(button->m_strText, label, DtCalcRect | DtWordBreak);
        thickness = std::max(thickness, horizontal ? label.height() : label.width());
      }
    }
    // Asked before any image is in (the first show asks), the answer is not kept.
    if (m_OutlookImages.GetCount() > 0) m_nBarThickness = thickness;
  }
  return horizontal ? Size{32767, thickness} : Size{thickness, 32767};
}

void CUxOutlookBar::AdjustLayout() {
  int textHeight = globalData().nTextHeight + 4;
  if (!m_fontCaption.isNull()) textHeight = MeasuringDc(m_fontCaption)->getTextMetrics().height + 8;
  // A page button also holds its large page image.
  const int imageHeight = m_largePageImages.empty() ? 0 : m_sizeLargePageImage.cy;
  m_nPageButtonHeight = std::max(textHeight, imageHeight) + 2;

  m_rectCaption = {};
  if (m_bCaption || m_bPageButtonMode) {
    const Rect client = ClientRect();
    Rect caption = client.deflated(1, 1);
    if (isVerticalBar()) {
      caption.bottom = caption.top + textHeight + 2;
      if (m_bEnableSplitter) {
        if (dockedAtStart()) caption.right -= 4;
        else caption.left += 4;
      }
    } else {
      caption.right = caption.left + textHeight + 3;
      if (m_bEnableSplitter) {
        if (dockedAtStart()) caption.bottom -= 3;
        else caption.top += 3;
      }
    }
    if (caption.intersected(client) == caption) m_rectCaption = caption;
  }
  // What the toolbar does, without asking for a thickness: it is fixed once the images are in.
  for (auto& button : m_Buttons) button->m_bTextBelow = m_bTextLabels;
  updateGeometry();
  AdjustLocations();
  update();
}

void CUxOutlookBar::AdjustLocations() {
  if (!m_bCreated) return;
  m_pBtnClose->OnCancelMode();
  const bool vertical = isVerticalBar();
  const Size glyph = CUxButton::GetStdImageSize();
  const Size scroll{glyph.cx + 2, glyph.cy + 2};

  Rect area = GetPageArea();
  const bool caption = !m_rectCaption.isEmpty();
  if (vertical) {
    area.left += 2;
    area.right -= 2 + (m_bEnableSplitter ? 3 : 0);
    area.bottom -= 1;
    if (caption) area.top += 1;
  } else {
    area.top += 1 + (m_bEnableSplitter ? 3 : 0);
    area.bottom -= 1;
    area.right -= 1;
    if (caption) area.left += 1;
  }
  Size standard = vertical ? Size{area.width(), m_csImage.cy} : Size{m_csImage.cx, area.height()};
  const Size extra = CUxVisualManager::GetInstance()->GetButtonExtraSize();
  standard.cx += extra.cx;
  standard.cy += extra.cy;

  m_rectToolBar = m_rectGripper = {};
  if (m_bPageButtonMode) placeLargePageButtons(area);
  // Page buttons: down to the active one at the top, the rest at the bottom.
  size_t active = m_Pages.size();
  for (size_t i = 0; i < m_Pages.size(); ++i)
    if (static_cast<int>(m_Pages[i]->m_nPageID) == m_nActivePageID) active = i;
  const size_t lastOnTop = active == m_Pages.size() ? m_Pages.size() : active + 1;
  const Font font = captionFont();
  for (size_t i = 0; i < m_Pages.size() && !m_bPageButtonMode; ++i) {
    CUxOutlookBarPage& page = *m_Pages[i];
    Rect place;
    if (i < lastOnTop) {
      place = {area.left, area.top, area.right, area.top + m_nPageButtonHeight};
      area.top += m_nPageButtonHeight;
    }
    if (page.m_btnPage) {
      page.m_btnPage->SetFont(font, false);
      page.m_btnPage->m_nTextAlign = CUxButton::TextCentre;
      page.m_btnPage->m_bChecked = false;
    }
    if (i < lastOnTop) page.SetButtonRect(place);
  }
  for (size_t i = m_Pages.size(); i > lastOnTop && !m_bPageButtonMode; --i) {
    m_Pages[i - 1]->SetButtonRect({area.left, area.bottom - m_nPageButtonHeight, area.right, area.bottom});
    area.bottom -= m_nPageButtonHeight;
  }

  const Rect work = area;
  const int margin = m_bEnableSplitter ? 10 : 5;
  const bool roomForScroll = work.width() > scroll.cx + 5 && work.height() > scroll.cy + 5;
  if (m_iFirstVisibleButton > 0 && roomForScroll) {
    const int x = vertical ? work.right - margin - scroll.cx : work.left + margin;
    m_pBtnUp->setGeometry(x, work.top + 5, scroll.cx, scroll.cy);
    m_pBtnUp->show();
  } else {
    m_pBtnUp->hide();
  }

  // Command buttons of the active page, one after another from the scrolled start.
  MeasuringDc measure(vertical ? globalData().fontRegular : globalData().fontVert);
  int position = (vertical ? work.top : work.left) - m_iScrollOffset;
  for (auto& button : m_Buttons) {
    if (!onActivePage(*button)) {
      button->SetRect({-1, -1, -1, -1});
      continue;
    }
    button->m_bTextBelow = m_bTextLabels;
    Size size = button->OnCalculateSize(measure.get(), standard, !vertical);
    if (vertical) {
      size.cx = std::min(size.cx, work.width() - 1);
      const int left = work.left + (work.width() - size.cx) / 2;
      button->SetRect(Rect::fromSize(left, position, size.cx, size.cy));
      position += size.cy + m_nExtraSpace;
    } else {
      size.cy = std::min(size.cy, work.height() - 1);
      const int top = work.top + (work.height() - size.cy) / 2;
      button->SetRect(Rect::fromSize(position, top, size.cx, size.cy));
      position += size.cx + m_nExtraSpace;
    }
  }

  if (CUxOutlookBarPage* page = FindPage(m_nActivePageID); page && page->m_hwndPage) {
    // The window may belong anywhere: it is placed over the work area wherever its parent is.
    QWidget* host = page->m_hwndPage->parentWidget();
    const QPoint origin = ClientToWidget(work.topLeft());
    const QPoint at = !host                       ? mapToGlobal(origin)
                      : host->isAncestorOf(this) ? mapTo(host, origin)
                                                  : host->mapFromGlobal(mapToGlobal(origin));
    page->m_hwndPage->setGeometry(QRect(at, QSize(work.width(), work.height())));
  }

  m_bScrollDown = position > (vertical ? work.bottom : work.right);
  if (m_bScrollDown && roomForScroll) {
    const int y = vertical ? work.bottom - scroll.cy - 5 : work.top + 5;
    m_pBtnDown->setGeometry(work.right - margin - scroll.cx, y, scroll.cx, scroll.cy);
    m_pBtnDown->show();
  } else {
    m_pBtnDown->hide();
  }

  const int side = (vertical ? m_rectCaption.height() : m_rectCaption.width()) - 6;
  if (!m_rectCaption.isEmpty() && m_bEnableCloseButton && !m_bPageButtonMode && side > 0 &&
      side + 6 <= (vertical ? m_rectCaption.width() : m_rectCaption.height())) {
    const Rect close = vertical ? Rect::fromSize(m_rectCaption.right - 3 - side, m_rectCaption.top + 3, side, side)
                                : Rect::fromSize(m_rectCaption.left + 3, m_rectCaption.top + 3, side, side);
    m_pBtnClose->setGeometry(close.toQRect());
    m_pBtnClose->show();
  } else {
    m_pBtnClose->hide();
  }

  for (const auto& page : m_Pages)
    if (page->m_btnPage) page->m_btnPage->update();
  if (m_bPageButtonMode) {
    m_pWndToolBar->setGeometry(ClientToWidget(m_rectToolBar.topLeft()).x(), ClientToWidget(m_rectToolBar.topLeft()).y(),
                               m_rectToolBar.width(), m_rectToolBar.height());
    m_pWndToolBar->show();
    m_pWndToolBar->Rebuild(m_nVisibleLargePageButtons);
  } else {
    m_pWndToolBar->hide();
  }
  m_pBtnUp->update();
  m_pBtnDown->update();
  m_rectWorkArea = work;
  m_iHighlighted = m_iHot = -1;
}

void CUxOutlookBar::resizeEvent(QResizeEvent* event) {
  CUxToolBar::resizeEvent(event);
  recalcSplitter();
  AdjustLayout();
  // Taller again: scroll back while the active page's last button would end above the bottom.
  const CUxToolbarButton* last = GetVisibleButton(GetVisibleButtonCount() - 1);
  while (last && m_iScrollOffset > 0 && m_iFirstVisibleButton > 0 &&
         (isVerticalBar() ? last->m_rect.bottom < m_rectWorkArea.bottom : last->m_rect.right < m_rectWorkArea.right))
    ScrollUp();
}

void CUxOutlookBar::placeLargePageButtons(Rect& area) {
  const Size icon = PageIconSize();
  const int rowHeight = icon.cy * (g_bLargeIcons ? 2 : 1) + 12;
  m_rectToolBar = {area.left, area.bottom - rowHeight, area.right, area.bottom};
  area.bottom -= rowHeight;

  const int h = m_nPageButtonHeight, count = GetPageCount();
  m_nMaxLargePageButtons = std::clamp(h > 0 ? (area.height() - h) / (2 * h) : count, 0, count);
  if (m_nVisibleLargePageButtons == -1) m_nVisibleLargePageButtons = count;
  m_nVisibleLargePageButtons = std::clamp(m_nVisibleLargePageButtons, 0, m_nMaxLargePageButtons);
  int top = area.bottom - m_nVisibleLargePageButtons * h;
  for (int i = 0; i < count; ++i) {
    CUxOutlookBarPage& page = *m_Pages[static_cast<size_t>(i)];
    if (page.m_btnPage) {
      page.m_btnPage->SetFont(captionFont(), false);
      page.m_btnPage->m_nTextAlign = CUxButton::TextLeft;
      page.m_btnPage->m_bChecked = static_cast<int>(page.m_nPageID) == m_nActivePageID;
    }
    if (i >= m_nVisibleLargePageButtons) {
      page.SetButtonRect({});
      continue;
    }
    page.SetButtonRect({area.left, top, area.right, top + h});
    top += h;
  }
  area.bottom -= m_nVisibleLargePageButtons * h;
  m_rectGripper = {area.left, area.bottom - 8, area.right, area.bottom};
  area.bottom = m_rectGripper.top;
}
