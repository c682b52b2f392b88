#include "uictl/bars/toolbar/customize_button.h"

#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CCustomizeButton, CUxToolbarMenuButton, kVersionableSchema | 1,
                                createInstance<CCustomizeButton>)
KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxShowAllButton, CUxToolbarMenuButton, kNoSchema, createInstance<CUxShowAllButton>)

namespace {

constexpr unsigned kPressedOrChecked = kStylePressed | kStyleChecked;

void drawCentred(Dc* dc, int glyph, const Rect& cell, bool shifted) {
  const Size size = MenuImages::GlyphSize();
  const int shift = shifted ? 1 : 0;
  MenuImages::Draw(dc, glyph, {cell.left + (cell.width() - size.cx) / 2 + shift, cell.top + (cell.height() - size.cy) / 2 + shift});
}

}  // namespace

CCustomizeButton::CCustomizeButton(int customizeCmdId, const std::wstring& customizeText)
    : m_iCustomizeCmdId(customizeCmdId), m_strCustomizeText(customizeText) {}

void CCustomizeButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarMenuButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CCustomizeButton*>(&source);
  if (!other) return;
  m_iCustomizeCmdId = other->m_iCustomizeCmdId;
  m_strCustomizeText = other->m_strCustomizeText;
  m_bIsEmpty = other->m_bIsEmpty;
  m_bUseExtraSize = other->m_bUseExtraSize;
  m_bMenuRightAlign = other->m_bMenuRightAlign;
}

void CCustomizeButton::ForgetButton(const CUxToolbarButton* button) {
  std::erase(m_lstInvisibleButtons, button);
  std::erase_if(m_itemSources, [button](const auto& source) { return source.second == button; });
}

void CCustomizeButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  m_pWndParentToolbar = dynamic_cast<CUxToolBar*>(parent);
  m_pWndParent = parent;
  m_bShowText = false;
  m_bIsEmpty = false;
}

Size CCustomizeButton::OnCalculateSize(Dc*, const Size& sizeDefault, bool horizontal) {
  if (m_bIsEmpty) return {};
  if (m_strText.empty()) m_strText = libraryString(kStringChevronText);
  if (m_pWndParentToolbar && m_pWndParentToolbar->IsFloating()) return {};
  const int margin = CUxVisualManager::GetInstance()->GetCustomizeButtonMargin();
  const Size glyph = MenuImages::GlyphSize();
  return horizontal ? Size{glyph.cx + 2 * margin, sizeDefault.cy} : Size{sizeDefault.cx, glyph.cy + 2 * margin};
}

void CCustomizeButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool horizontal, bool customizeMode,
                              bool highlight, bool, bool) {
  if (m_bMenuMode) return;
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  const bool open = IsDroppedDown();
  FillInterior(dc, rect, highlight || open);
  const int margin = manager->GetCustomizeButtonMargin();
  const Size glyph = MenuImages::GlyphSize();
  const bool shifted = ((m_nStyle & kPressedOrChecked) || open) && !manager->bFlatMenus;
  if (m_iCustomizeCmdId > 0) {
    const Rect cell = horizontal ? Rect{rect.left, rect.bottom - 2 * margin - glyph.cy, rect.right, rect.bottom}
                                 : Rect{rect.left, rect.top, rect.left + glyph.cx + 2 * margin, rect.bottom};
    drawCentred(dc, horizontal ? kGlyphArrowDown : kGlyphArrowRight, cell, shifted);
  }
  if (!m_lstInvisibleButtons.empty()) {
    const Rect cell = horizontal ? Rect{rect.left, rect.top, rect.right, rect.top + 2 * margin + glyph.cy}
                                 : Rect{rect.right - glyph.cx - 2 * margin, rect.top, rect.right, rect.bottom};
    drawCentred(dc, horizontal ? kGlyphChevron : kGlyphShowAll, cell, shifted);
  }
  if (customizeMode) return;
  if ((m_nStyle & kPressedOrChecked) || open)
    manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
  else if (highlight && !(m_nStyle & (kStyleChecked | kStyleDisabled | kStyleIndeterminate)))
    manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
}

void CCustomizeButton::OnCancelMode() {
  CUxToolbarMenuButton::OnCancelMode();
  if ((m_sizeExtra.cx != 0 || m_sizeExtra.cy != 0) && m_pWndParentToolbar)
    m_pWndParentToolbar->InvalidateButton(m_pWndParentToolbar->ButtonToIndex(this));
}

void CUxShowAllButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool, bool, bool highlight, bool, bool) {
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  FillInterior(dc, rect, highlight);
  manager->OnDrawShowAllMenuItems(dc, rect.deflated(0, 1));
  if (m_nStyle & kPressedOrChecked) manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
  else if (highlight) manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
}

Size CUxShowAllButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool) {
  return {50, CUxVisualManager::GetInstance()->GetShowAllMenuItemsHeight(dc, sizeDefault)};
}

bool& showAllOnPause() {
  static bool on = true;
  return on;
}
