// The visual manager's operations for the panes and buttons of the frames library: caption
// buttons, the outlook bar's areas, owner-drawn and colour buttons, and task groups.
#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

using namespace platform;

namespace {
constexpr int kCaptionButtonMargin = 5;
}  // namespace

Size CaptionButton::GetSize() {
  const Size glyph = MenuImages::GlyphSize();
  return {glyph.cx + kCaptionButtonMargin, glyph.cy + kCaptionButtonMargin};
}

Rect CaptionButton::GetRect() const {
  const Size size = m_bHidden ? Size{} : GetSize();
  return Rect::fromSize(m_ptOrg.x, m_ptOrg.y, size.cx, size.cy);
}

void CUxVisualManager::OnDrawCaptionButton(Dc* dc, const CaptionButton& button, bool active, bool horizontal,
                                           bool maximized) {
  const Rect rect = button.GetRect();
  int glyph;
  if (button.m_nHit == CaptionButton::kHitClose) glyph = kGlyphClose;
  else if (active) glyph = horizontal ? kGlyphArrowLeft : maximized ? kGlyphArrowUp : kGlyphCloseSmall;
  else glyph = horizontal ? kGlyphArrowDown : maximized ? kGlyphMaximize : kGlyphScrollUp;

  const bool pushedAndHot = button.m_bPushed && button.m_bFocused;
  const int shift = pushedAndHot ? 1 : 0;
  MenuImages::Draw(dc, glyph, {rect.left + 2 + shift, rect.top + 2 + shift});

  const GlobalDrawData& g = globalData();
  if (pushedAndHot) {
    dc->draw3dRect(rect, g.clrBarDarkShadow, g.clrBarLight);
    dc->draw3dRect(rect.deflated(1, 1), g.clrBarDarkShadow, g.clrBarHighlight);
    return;
  }
  Rect frame = rect;
  if (bFlatStyle) {
    if (!(button.m_bPushed || button.m_bFocused) || glyph == kGlyphMaximize || glyph == kGlyphArrowUp) return;
  } else {
    dc->draw3dRect(frame, g.clrBarLight, g.clrBarDarkShadow);
    frame = frame.deflated(1, 1);
  }
  dc->draw3dRect(frame, g.clrBarHighlight, g.clrBarShadow);
}

// The caption lies on the bars' shadow colour, which has no text colour of its own: the window
// colour stands out from it on the classic faces, and a shade that does so on any other.
COLORREF CUxVisualManager::GetCaptionBarTextColor(CUxCaptionBar*) {
  return keptReadableOnSysColor(getSysColor(ColorWindow), ColorBtnShadow);
}

bool CUxVisualManager::OnFillOutlookPageButton(Dc*, CUxButton*, const Rect&, COLORREF&) { return false; }

bool CUxVisualManager::OnDrawOutlookPageButtonBorder(Dc*, CUxButton*, const Rect&, int) { return false; }

void CUxVisualManager::OnFillOutlookBarArea(Dc* dc, const Rect& rect, CUxOutlookBar*) {
  dc->fillRect(rect, globalData().brBarFace);
}

void CUxVisualManager::OnDrawOwnerButtonBorder(Dc* dc, Rect& rect, UxOwnerDrawnBorder* button, unsigned state) {
  if (button) button->OnDrawBorder(dc, rect, state);
}

void CUxVisualManager::OnFillOutlookBarCaption(Dc* dc, const Rect& rect) {
  dc->fillRect(rect, globalData().brBarFace);
  dc->draw3dRect(rect, globalData().clrBarHighlight, globalData().clrBarShadow);
}

void CUxVisualManager::OnFillOutlookPageCaption(Dc* dc, const Rect& rect, COLORREF& textColor) {
  const GlobalDrawData& g = globalData();
  dc->fillSolidRect(rect, g.clrBarFace);
  dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarShadow);
  textColor = g.clrBarText;
}

bool CUxVisualManager::OnDrawPushButtonBorder(Dc*, const Rect&, CUxButton*, unsigned) { return false; }

bool CUxVisualManager::OnDrawColorButtonArrow(Dc*, const Rect&, CUxColorButton*, bool, bool, bool) { return false; }

bool CUxVisualManager::OnDrawColorButtonBorder(Dc*, const Rect&, CUxColorButton*, bool) { return false; }

void CUxVisualManager::OnDrawTaskGroupCaption(Dc* dc, const UxTaskGroupLook& group, bool hot, bool showGlyph) {
  GlobalDrawData& g = globalData();
  const Rect& caption = group.rectCaption;
  dc->fillSolidRect(caption, group.special ? g.clrHighlight : g.clrBtnFace);

  const bool withIcon = !group.icon.isNull() && group.iconSize.cx < caption.width() - caption.height();
  if (withIcon) {
    const QImage icon = group.icon.pixmap(group.iconSize.cx, group.iconSize.cy).toImage();
    dc->drawImage(caption.left + 1, caption.bottom - group.iconSize.cy, icon);
  }

  Rect text = caption;
  text.left += withIcon ? group.iconSize.cx + 10
                        : (group.captionMarginX == -1 ? nTaskGroupCaptionMarginX : group.captionMarginX);
  text.top += group.captionMarginY == -1 ? nTaskGroupCaptionMarginY : group.captionMarginY;
  {
    TextScope scope(dc, getSysColor(group.special ? ColorWindow : ColorWindowText), g.fontBold);
    dc->drawText(group.caption, text, DtSingleLine);
  }

  if (!showGlyph || group.caption.empty()) return;
  const Size glyph = MenuImages::GlyphSize();
  const Size square{glyph.cx + 4, glyph.cy + 4};
  const Rect box = Rect::fromSize(caption.right - square.cx - 4, caption.top + (caption.height() - square.cy) / 2,
                                  square.cx, square.cy);
  if (hot) dc->draw3dRect(box, getSysColor(ColorWindow), g.clrBtnShadow);
  MenuImages::DrawCentred(dc, group.collapsed ? kGlyphArrowDown : kGlyphScrollUp, box);
}

void CUxVisualManager::OnDrawTask(Dc* dc, const UxTaskLook& task, const std::vector<QImage>* images, bool hot) {
  GlobalDrawData& g = globalData();
  const Rect& r = task.rect;
  if (task.separator) {
    const Pen old = dc->selectPen(g.penBarFace);
    const int mid = (r.top + r.bottom) / 2;
    dc->moveTo(r.left, mid);
    dc->lineTo(r.right, mid);
    dc->selectPen(old);
    return;
  }
  int imageWidth = 0;
  if (images && task.image >= 0 && task.image < static_cast<int>(images->size())) {
    const QImage& image = (*images)[static_cast<size_t>(task.image)];
    dc->drawImage(r.left, r.top + (r.height() - image.height()) / 2, image);
    imageWidth = image.width();
  }
  const Font& font = task.hasCommand && task.enabled && hot ? g.fontUnderline : g.fontRegular;
  const COLORREF colour = task.hasCommand && !task.enabled ? g.clrGrayText : getSysColor(ColorWindowText);
  Rect text = r;
  text.left += imageWidth + (task.iconTextGap == -1 ? nTaskIconTextGap : task.iconTextGap);
  TextScope scope(dc, colour, font);
  dc->drawText(task.text, text, DtSingleLine | DtVCenter);
}
