// One colour cell of the colour bar: its drawing and tooltip.
#include "platform/settings/archive.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/colour/color_bar.h"

#include <cstdio>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CColorButton, CUxToolbarButton, kNoSchema, createInstance<CColorButton>)

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
  // The face as the visual manager draws a toolbar button's: the current colour's cell checked,
  // a held cell pressed, the cell under the pointer hot. The caption is no command: no looks.
  if (!IsDocumentCaption) {
    CUxVisualManager* manager = CUxVisualManager::GetInstance();
    const unsigned style = m_nStyle;
    if (Highlighted) m_nStyle |= kStyleChecked;
    FillInterior(dc, rect, highlight);
    if (m_nStyle & (kStyleChecked | kStylePressed)) manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
    else if (highlight && !disabled) manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
    m_nStyle = style;
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
  if ((m_nStyle & kStyleDisabled) || !info || !toolbarClassData().bShowTooltips) return false;
  info->text = TipText();
  info->rect = m_rect;
  return !info->text.empty();
}

std::map<COLORREF, std::wstring>& colorBarMap() {
  static std::map<COLORREF, std::wstring> names;
  return names;
}

void serializeColorBarMap(Archive& ar) {
  std::map<COLORREF, std::wstring>& names = colorBarMap();
  if (ar.IsStoring()) {
    ar.writeCount(static_cast<uint32_t>(names.size()));
    for (const auto& [colour, name] : names) {
      ar.writeU32(colour);
      ar.writeString(name);
    }
    return;
  }
  // Read whole before anything changes: a damaged archive throws and leaves the names as they were.
  std::map<COLORREF, std::wstring> read;
  for (uint32_t n = ar.readCount(); n > 0; --n) {
    const COLORREF colour = ar.readU32();
    read[colour] = ar.readString();
  }
  names = std::move(read);
}
