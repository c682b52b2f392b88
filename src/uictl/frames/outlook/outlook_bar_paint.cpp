// Painting of the outlook bar into the toolbar's back buffer: its edge, the splitter strip, the
// caption, the work area and the command buttons that meet the area being painted.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/outlook/outlook_bar.h"

using namespace platform;

void CUxOutlookBar::DoPaint(Dc* dc) {
  Rect client = ClientRect();
  const Rect paint = (dc->clipRect() ? dc->clipRect()->intersected(client) : client).intersected(m_rectWorkArea);
  const GlobalDrawData& g = globalData();
  CUxVisualManager* manager = CUxVisualManager::GetInstance();

  if (!m_bFlatBorder) {
    dc->drawEdge(client, EdgeSunken, BfRect | BfAdjust);
  } else {
    dc->draw3dRect(client, g.clrBarFace, g.clrBarFace);
    client = client.deflated(1, 1);
    dc->draw3dRect(client, g.clrBarShadow, g.clrBarHighlight);
  }
  if (!m_rectSplitter.isEmpty()) dc->fillRect(m_rectSplitter, g.brBarFace);

  if (!m_rectCaption.isEmpty()) {
    std::wstring text = windowTitle().toStdWString();
    if (m_bPageButtonMode) {
      const CUxOutlookBarPage* page = FindPage(m_nActivePageID);
      text = page ? page->m_strName : std::wstring();
    }
    const Font old = dc->selectFont(IsHorizontal() ? g.fontVert : captionFont());
    dc->setTextColor(g.clrBarText);
    dc->setBkMode(Transparent);
    OnDrawCaption(dc, m_rectCaption, text, IsHorizontal());
    dc->selectFont(old);
  }
  if (!m_rectGripper.isEmpty()) manager->OnFillOutlookBarCaption(dc, m_rectGripper);

  const std::optional<Rect> previousClip = dc->clipRect();
  dc->setClipRect(previousClip ? previousClip->intersected(m_rectWorkArea) : m_rectWorkArea);
  const CUxOutlookBarPage* active = FindPage(m_nActivePageID);
  if (!active || !active->m_hwndPage) OnEraseWorkArea(dc, m_rectWorkArea);

  if (m_OutlookImages.clrTransparent != m_clrTransparentColor) m_OutlookImages.SetTransparentColor(m_clrTransparentColor);
  ImageDrawState state;
  ToolbarImages* images = m_OutlookImages.PrepareDrawImage(state, m_csImage) ? &m_OutlookImages : nullptr;
  const bool customize = toolbarClassData().bCustomizeMode;
  const Font oldFont = dc->selectFont(IsHorizontal() ? g.fontVert : g.fontRegular);
  for (int i = 0; i < GetCount(); ++i) {
    CUxToolbarButton* button = m_Buttons[static_cast<size_t>(i)].get();
    if (button->m_rect.intersected(paint).isEmpty()) continue;
    const bool highlighted = (i == m_iHighlighted || i == m_iButtonCapture) && (m_iButtonCapture == -1 || i == m_iButtonCapture);
    button->OnDraw(dc, button->m_rect, images, IsHorizontal(), customize, highlighted, true, true);
  }
  dc->selectFont(oldFont);
  if (images) images->EndDrawImage(state);
  if (customize && m_iSelected >= 0) {
    if (const CUxToolbarButton* selected = GetButton(m_iSelected)) {
      dc->draw3dRect(selected->m_rect, g.clrBarText, g.clrBarText);
      dc->draw3dRect(selected->m_rect.deflated(1, 1), g.clrBarText, g.clrBarText);
    }
  }
  if (customize && m_iDragIndex >= 0) DrawDragMarker(dc);
  dc->setClipRect(previousClip);
}

void CUxOutlookBar::OnDrawCaption(Dc* dc, Rect rect, const std::wstring& text, bool vertical) {
  const GlobalDrawData& g = globalData();
  if (m_bPageButtonMode) {
    COLORREF colour = g.clrBarText;
    CUxVisualManager::GetInstance()->OnFillOutlookPageCaption(dc, rect, colour);
    dc->setTextColor(colour);
  } else {
    dc->fillRect(rect, g.brBarFace);
    if (!m_bFlatBorder) {
      dc->draw3dRect(rect, g.clrBarShadow, g.clrBarDarkShadow);
      rect = rect.deflated(1, 1);
      dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarShadow);
    }
  }
  rect = rect.deflated(5, 0);
  if (vertical) dc->textOut(rect.left, rect.bottom - 3, text, &rect);
  else dc->drawText(text, rect, DtSingleLine | DtVCenter);
}

void CUxOutlookBar::OnEraseWorkArea(Dc* dc, const Rect& rect) {
  CUxVisualManager::GetInstance()->OnFillBarBackground(dc, this, rect, rect);
}

void CUxOutlookBar::FillWorkArea(Dc* dc, const Rect& rect) {
  if (!m_bBackImageUsable || m_BackImage.GetCount() == 0) {
    dc->fillSolidRect(rect, m_clrBackColor);
    return;
  }
  const Size tile = m_BackImage.GetImageSize();
  if (tile.cx <= 0 || tile.cy <= 0) return;
  ImageDrawState state;
  if (!m_BackImage.PrepareDrawImage(state)) return;
  for (int x = rect.left; x < rect.right; x += tile.cx)
    for (int y = rect.top; y < rect.bottom; y += tile.cy) m_BackImage.Draw(dc, x, y, 0);
  m_BackImage.EndDrawImage(state);
}
