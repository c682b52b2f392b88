// How a button draws itself: the steps in their fixed order over a back buffer that is then
// shown, so that what is painted is exactly what the drawing layer produced.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/buttons/button.h"
#include "uictl/frames/buttons/button_tooltip.h"

#include <QPainter>
#include <algorithm>

using namespace platform;

namespace {

Font stockGuiFont() {
  const SystemMetricsProvider& system = systemMetrics();
  return Font::create(system.defaultGuiFont().value_or(system.menuFont()));
}

}  // namespace

void CUxButton::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  buffer.fill(toPixel(globalData().clrBtnFace));
  Dc dc(buffer);
  DrawItem(&dc);
  QPainter(this).drawImage(0, 0, buffer);
}

void CUxButton::DrawItem(Dc* dc) {
  const unsigned state = itemState();
  Rect rect = Rect::fromSize(0, 0, width(), height());
  OnFillBackground(dc, rect);
  OnDrawBorder(dc, rect, state);
  OnDraw(dc, rect, state);
  if ((state & OdsFocus) && m_bDrawFocusRect) OnDrawFocusRect(dc, rect);
}

Font CUxButton::SelectFont(Dc* dc) { return dc->selectFont(m_font.isNull() ? stockGuiFont() : m_font); }

Size CUxButton::SizeToContent(bool calculateOnly) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  Dc dc(scratch);
  SelectFont(&dc);
  const std::wstring label = text().toStdWString();
  const Size textSize = dc.getTextExtent(label);
  Size size{m_sizeImage.cx + textSize.cx + 10, std::max(textSize.cy, m_sizeImage.cy) + 10};
  if (!label.empty()) size.cx += 10;
  if (!calculateOnly) resize(size.cx, size.cy);
  return size;
}

void CUxButton::OnFillBackground(Dc* dc, const Rect& rect) {
  GlobalDrawData& g = globalData();
  if (m_bTransparent) g.DrawParentBackground(this, dc, &rect);
  else if (m_clrFace == kNoColor) dc->fillRect(rect, g.brBtnFace);
  else dc->fillSolidRect(rect, m_clrFace);
  if (m_bChecked && m_bHighlightChecked && !(m_bPushed && m_bHot)) DrawManager(*dc).HighlightRect(rect);
}

void CUxButton::OnDrawBorder(Dc* dc, Rect& rect, unsigned state) {
  if (m_nBorderStyle == BorderNone) {
    rect = rect.deflated(2, 2);
    return;
  }
  if (bBordersByVisualManager && CUxVisualManager::GetInstance()->OnDrawPushButtonBorder(dc, rect, this, state)) {
    rect = rect.deflated(2, 2);
    return;
  }
  const GlobalDrawData& g = globalData();
  const bool pressed = (m_bPushed && m_bHot) || (state & OdsSelected) || m_bChecked;
  if (!pressed) {
    if (m_nBorderStyle == BorderFlat && !m_bHot) {
      rect = rect.deflated(2, 2);
      return;
    }
    dc->draw3dRect(rect, g.clrBtnHighlight, g.clrBtnDarkShadow);
    rect = rect.deflated(1, 1);
    if (m_nBorderStyle == BorderStandard || (m_nBorderStyle == BorderSemiFlat && m_bHot))
      dc->draw3dRect(rect, g.clrBtnLight, g.clrBtnShadow);
    rect = rect.deflated(1, 1);
    return;
  }
  dc->draw3dRect(rect, g.clrBtnDarkShadow, g.clrBtnHighlight);
  rect = rect.deflated(1, 1);
  if (m_nBorderStyle != BorderFlat) dc->draw3dRect(rect, g.clrBtnShadow, g.clrBtnLight);
  rect = rect.deflated(1, 1).offset(m_sizePressedOffset.cx, m_sizePressedOffset.cy);
}

void CUxButton::OnDrawFocusRect(Dc* dc, const Rect& rect) {
  const Rect focus = rect.deflated(2, 2);
  const COLORREF face = m_clrFace == kNoColor ? globalData().clrBtnFace : m_clrFace;
  dc->draw3dRect(focus, face, face);
  dc->drawFocusRect(focus);
}

void CUxButton::OnDraw(Dc* dc, const Rect& rect, unsigned state) {
  const std::wstring label = text().toStdWString();
  Rect textRect = rect;
  Rect imageRect = rect;
  if (m_sizeImage.cx > 0 && m_sizeImage.cy > 0) {
    const int top = rect.top + std::max(0, (rect.height() - m_sizeImage.cy) / 2);
    if (label.empty()) {
      const int left = rect.left + std::max(0, (rect.width() - m_sizeImage.cx) / 2);
      imageRect = Rect::fromSize(left, top, m_sizeImage.cx, m_sizeImage.cy);
    } else if (m_bImageOnRight) {
      imageRect = Rect::fromSize(rect.right - 5 - m_sizeImage.cx, top, m_sizeImage.cx, m_sizeImage.cy);
      textRect.right = imageRect.left - 5;
    } else {
      imageRect = Rect::fromSize(rect.left + 5, top, m_sizeImage.cx, m_sizeImage.cy);
      textRect.left = imageRect.right + 5;
    }
    drawImage(dc, state, imageRect);
  }
  if (label.empty()) return;

  const Font previous = SelectFont(dc);
  const GlobalDrawData& g = globalData();
  COLORREF colour = m_clrText == kNoColor ? g.clrBtnText : m_clrText;
  if (m_bHot && m_clrHotText != kNoColor) colour = m_clrHotText;
  unsigned flags = DtSingleLine | DtVCenter | DtEndEllipsis;
  if (m_nTextAlign == TextLeft) {
    flags |= DtLeft;
    textRect.left += 5;
  } else if (m_nTextAlign == TextRight) {
    flags |= DtRight;
    textRect.right -= 5;
  } else {
    flags |= DtCenter;
  }
  if (m_bTooltipRecheck) {
    SetTooltip(dc->getTextExtent(label).cx > textRect.width() ? label.c_str() : nullptr);
    m_bTooltipRecheck = false;
  }
  if ((state & OdsDisabled) && m_bGrayDisabled) {
    {
      TextScope raised(dc, g.clrBtnHighlight);
      OnDrawText(dc, textRect.offset(1, 1), label, flags, state);
    }
    colour = g.clrGrayText;
  }
  {
    TextScope scope(dc, colour);
    OnDrawText(dc, textRect, label, flags, state);
  }
  dc->selectFont(previous);
}

void CUxButton::OnDrawText(Dc* dc, const Rect& rect, const std::wstring& text, unsigned flags, unsigned) {
  Rect r = rect;
  dc->drawText(text, r, flags);
}

void CUxButton::drawImage(Dc* dc, unsigned state, const Rect& imageRect) {
  const bool greyed = (state & OdsDisabled) && m_bGrayDisabled;
  if (m_nStdGlyph != -1) {
    const int glyph = greyed && m_nStdGlyphDisabled != -1 ? m_nStdGlyphDisabled : m_nStdGlyph;
    MenuImages::Draw(dc, glyph, imageRect.topLeft());
    return;
  }
  auto choose = [&](int normal) -> const std::vector<QImage>* {
    const auto& disabled = m_imageLists[static_cast<size_t>(normal + 2)];
    const auto& hot = m_imageLists[static_cast<size_t>(normal + 1)];
    if (greyed && !disabled.empty()) return &disabled;
    if (m_bHot && !hot.empty()) return &hot;
    return &m_imageLists[static_cast<size_t>(normal)];
  };
  const std::vector<QImage>* list = choose(m_bChecked ? ImagesCheckedNormal : ImagesNormal);
  if (list->empty() && m_bChecked) list = choose(ImagesNormal);
  if (!list->empty()) dc->drawImage(imageRect.left, imageRect.top, list->front());
}

void CUxButton::CreateDisabledImage(const QImage& bitmap, bool checked) {
  auto& list = m_imageLists[checked ? ImagesCheckedDisabled : ImagesDisabled];
  list.clear();
  if (bitmap.isNull()) return;
  ToolbarImages strip;
  strip.SetImageSize({bitmap.width(), bitmap.height()});
  if (strip.AddImage(bitmap) < 0) return;
  // True-colour pictures are greyed, palette ones embossed, as the strip draws disabled images.
  strip.nBitsPerPixel = bitmap.depth();
  QImage grey(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
  grey.fill(toPixel(globalData().clrBtnFace));
  Dc dc(grey);
  ImageDrawState pass;
  if (!strip.PrepareDrawImage(pass)) return;
  strip.Draw(&dc, 0, 0, 0, false, true);
  strip.EndDrawImage(pass);
  list.push_back(grey);
}
