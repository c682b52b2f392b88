// One colour cell of the colour bar: its drawing and tooltip.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/colour/color_bar.h"

#include <cstdio>

using namespace platform;

CColorButton::CColorButton(COLORREF color, bool automatic, bool other, const wchar_t* label, bool highlighted,
                           bool hideWhenDocked, bool customSample)
    : Color(color), Highlighted(highlighted), IsAutomatic(automatic), IsOther(other), HideWhenDocked(hideWhenDocked),
      IsCustomSample(customSample) {
  if (label) m_strText = label;
  m_bLocked = true;
}

CColorButton::CColorButton(const wchar_t* captionLabel, bool hideWhenDocked)
    : Color(kNoColor), IsDocumentCaption(true), HideWhenDocked(hideWhenDocked) {
  if (captionLabel) m_strText = captionLabel;
  m_bLocked = true;
}

void CColorButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  Bar = dynamic_cast<CUxColorBar*>(parent);
}

void CColorButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool, bool, bool highlight, bool, bool) {
  const GlobalDrawData& data = globalData();
  const bool disabled = (m_nStyle & kStyleDisabled) != 0;
  // The face: checked for the current colour, raised under the pointer.
  if (Highlighted) {
    dc->fillSolidRect(rect, data.clrBtnHighlight);
    dc->draw3dRect(rect, data.clrBarShadow, data.clrBarHighlight);
  } else if (highlight && !IsDocumentCaption && !disabled) {
    dc->draw3dRect(rect, data.clrBarHighlight, data.clrBarShadow);
  }
  Rect content = rect.deflated(2, 2);
  const auto frame = [&](const Rect& r) { dc->draw3dRect(r, data.clrBarShadow, data.clrBarShadow); };
  if (IsPlain()) {
    if (disabled) {
      dc->draw3dRect(content, data.clrBarHighlight, data.clrBarShadow);
    } else {
      dc->fillSolidRect(content, Color);
      frame(content);
    }
    return;
  }
  Rect text = content;
  if (IsAutomatic && Color != kNoColor) {
    Rect swatch = content.deflated(1, 1);
    swatch.right = swatch.left + swatch.height();
    if (!disabled) dc->fillSolidRect(swatch, Color);
    frame(swatch);
    text.left = swatch.right + 2;
  }
  const Font old = dc->selectFont(data.fontRegular);
  dc->setBkMode(Transparent);
  dc->setTextColor(disabled && !IsDocumentCaption ? data.clrGrayText : data.clrBarText);
  dc->drawText(m_strText, text, DtSingleLine | DtVCenter | DtEndEllipsis | (IsDocumentCaption ? 0u : DtCenter));
  dc->selectFont(old);
  if (IsAutomatic) frame(content);
}

std::wstring CColorButton::TipText() const {
  if (!IsPlain()) return m_strText;
  if (auto named = colorBarMap().find(Color); named != colorBarMap().end()) return named->second;
  wchar_t hex[32];
  std::swprintf(hex, 32, L"Hex={%02X,%02X,%02X}", redOf(Color), greenOf(Color), blueOf(Color));
  return hex;
}

bool CColorButton::OnToolHitTest(const QWidget*, ToolInfo* info) const {
  if ((m_nStyle & kStyleDisabled) || !info) return false;
  info->text = TipText();
  info->rect = m_rect;
  return !info->text.empty();
}

std::map<COLORREF, std::wstring>& colorBarMap() {
  static std::map<COLORREF, std::wstring> names;
  return names;
}
