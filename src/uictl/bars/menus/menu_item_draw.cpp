// A menu button drawn and measured as one item of a popup menu: image column with check mark,
// label, shortcut after the tab, and the submenu arrow.
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QApplication>

using namespace platform;

namespace {

constexpr unsigned kFirstSystemCommand = 0xF000;
constexpr unsigned kLastSystemCommand = 0xF1F0;
constexpr unsigned kScMaximize = 0xF030;

// The window commands' pictures in the library's glyph strip, grey when the command is disabled.
int systemCommandGlyph(unsigned command, bool disabled) {
  switch (command) {
    case kScMinimize: return disabled ? kGlyphMinimizeBarDisabled : kGlyphMinimizeBar;
    case kScClose: return disabled ? kGlyphCloseBoxDisabled : kGlyphCloseBox;
    case kScRestore: return disabled ? kGlyphRestoreBoxDisabled : kGlyphRestoreBox;
    case kScMaximize: return disabled ? kGlyphMaximizeDisabled : kGlyphMaximize;
    default: return -1;
  }
}

int checkGlyph(bool radio, bool disabled) {
  if (radio) return disabled ? kGlyphRadioDisabled : kGlyphRadio;
  return disabled ? kGlyphCheckDisabled : kGlyphCheck;
}

// The frame whose accelerators a menu item shows: the one that opened the popup chain.
const AcceleratorSource* acceleratorFrameOf(QWidget* itemBar) {
  QWidget* window = itemBar;
  // Popups open from popups; a chain deeper than any menu is cut short.
  for (int depth = 0; depth < 64; ++depth) {
    auto* popup = dynamic_cast<CUxPopupMenu*>(window ? window->window() : nullptr);
    if (!popup) break;
    window = popup->GetParentWnd();
  }
  if (const auto* frame = dynamic_cast<const AcceleratorSource*>(GetTopFrame(window))) return frame;
  return dynamic_cast<const AcceleratorSource*>(QApplication::activeWindow());
}

}  // namespace

bool CUxToolbarMenuButton::g_bShowShortcuts = false;

void CUxToolbarMenuButton::takeShortcutFromAccelerators() {
  if (!g_bShowShortcuts || !hasRealCommand()) return;
  if (m_nCommandId >= kFirstSystemCommand && m_nCommandId < kLastSystemCommand) return;
  if (const size_t tab = m_strText.find(L'\t'); tab != std::wstring::npos) m_strText.resize(tab);
  const AcceleratorSource* frame = acceleratorFrameOf(m_pWndParent);
  std::wstring key;
  if (FindAcceleratorText(m_nCommandId, key, frame, true) || FindAcceleratorText(m_nCommandId, key, frame, false))
    m_strText += L'\t' + key;
}

Size CUxToolbarMenuButton::menuItemSize(Dc* dc, const Size& cell) {
  if (m_nStyle & kStyleSeparator) return {cell.cx, 8};
  takeShortcutFromAccelerators();
  const Size glyph = arrowGlyphSize();
  const int arrow = glyph.cx - 1;
  Size size = CUxToolbarButton::OnCalculateSize(dc, cell, true);
  size.cx += arrow + cell.cx + 6;
  if (auto* bar = dynamic_cast<CUxToolBar*>(m_pWndParent)) size.cy = bar->GetRowHeight();
  return size;
}

void CUxToolbarMenuButton::DrawMenuItem(Dc* dc, const Rect& rect, ToolbarImages* images, bool customizeMode,
                                        bool highlight, bool grayDisabledButtons) {
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  const GlobalDrawData& data = globalData();
  auto* bar = dynamic_cast<CUxPopupMenuBar*>(m_pWndParent);
  const bool disabled = IsDisabledIn(customizeMode);
  const bool checked = m_nStyle & kStyleChecked;
  const int m = manager->GetMenuImageMargin();
  const Size imageSize = bar ? bar->GetCurrentMenuImageSize() : CUxToolBar::GetMenuImageSize();
  const Size glyph = MenuImages::GlyphSize();

  Rect column{rect.left + m, rect.top, rect.left + 2 * m + imageSize.cx, rect.bottom};
  column = {column.left - (m + 1) / 2, column.top + 1, column.right + (m + 1) / 2, column.bottom - 1};

  const int image = GetImage() >= 0 ? GetImage() : (m_iUserImage >= 0 ? m_iUserImage : m_iImage);
  // A user tool shows its program's icon in the image column, unless the user gave it an image.
  const UserToolsLookup* tools = (m_bUserImage && m_iUserImage >= 0) ? nullptr : userToolsLookup();
  const bool toolIcon = tools && tools->HasTool(m_nCommandId);
  const bool withImage =
      images && (image >= 0 || toolIcon) && !GetCommandManager().IsMenuItemWithoutImage(m_nCommandId);

  if (highlight) {
    const int from = (checked || withImage) ? column.right : rect.left;
    manager->OnHighlightMenuItem(dc, this, {from, rect.top, rect.right - 1, rect.bottom}, 2);
  }
  if (withImage) {
    const Size drawn = images->GetImageSize();
    const bool pressedShift = checked && !customizeMode && !manager->bShadowHighlightedImages;
    const int x = column.left + (column.width() - drawn.cx) / 2 + (pressedShift ? 1 : 0);
    const int y = column.top + (column.height() - drawn.cy) / 2 + (pressedShift ? 1 : 0);
    const bool shadowed = highlight && !checked && !disabled && manager->bShadowHighlightedImages;
    const bool iconDrawn = toolIcon && tools->DrawToolIcon(m_nCommandId, dc, Rect::fromSize(x, y, drawn.cx, drawn.cy));
    if (iconDrawn) {
      // The program's icon stands for the strip image.
    } else if (shadowed) {
      // The image lifts off its shadow, as on a toolbar.
      images->Draw(dc, x, y, image, false, false, false, true);
      images->Draw(dc, x - 1, y - 1, image);
    } else {
      images->Draw(dc, x, y, image, false, disabled && grayDisabledButtons);
    }
    if (checked) manager->OnDrawButtonBorder(dc, this, column, ButtonPressed);
    else if (highlight) manager->OnDrawButtonBorder(dc, this, column, ButtonHighlighted);
  } else if (checked) {
    FillInterior(dc, column, highlight);
    MenuImages::DrawCentred(dc, checkGlyph(m_bRadio, disabled), column);
  } else if (m_nCommandId >= kFirstSystemCommand && m_nCommandId < kLastSystemCommand) {
    if (const int id = systemCommandGlyph(m_nCommandId, disabled); id >= 0) {
      const Rect inner = column.deflated(m, m);
      MenuImages::DrawCentred(dc, id, inner);
      if (highlight) dc->draw3dRect(inner, data.clrBtnHighlight, data.clrBtnShadow);
    }
  }

  const bool isDefault = bar && bar->m_uiDefaultMenuCmdId != 0 && bar->m_uiDefaultMenuCmdId == m_nCommandId && !m_bMenuOnly;
  const Font previous = dc->selectFont(isDefault ? data.fontBold : data.fontRegular);
  const COLORREF colour = highlight ? (disabled ? data.clrBtnFace : data.clrHighlightText)
                                    : (disabled ? data.clrGrayText : data.clrBtnText);
  dc->setBkMode(Transparent);
  std::wstring label = m_strText, shortcut;
  if (const size_t tab = label.find(L'\t'); tab != std::wstring::npos) {
    shortcut = label.substr(tab + 1);
    label.resize(tab);
  }
  Rect text{column.right + 3 * m - 4, rect.top, rect.right - 3 - glyph.cx, rect.bottom};
  if (!m_bWholeText) {
    while (!label.empty() && dc->getTextExtent(stripPrefixes(label + L"...").visible).cx > text.width()) label.pop_back();
    label += L"...";
  }
  auto drawLabels = [&](const Rect& area, COLORREF c) {
    dc->setTextColor(c);
    Rect labelRect = area;
    dc->drawText(label, labelRect, DtSingleLine | DtVCenter);
    if (!shortcut.empty()) {
      Rect shortcutRect = area;
      dc->drawText(shortcut, shortcutRect, DtSingleLine | DtVCenter | DtRight | DtNoPrefix);
    }
  };
  if (disabled && !highlight && manager->bEmbossDisabledImage) drawLabels(text.offset(1, 1), data.clrBtnHighlight);
  drawLabels(text, colour);
  if (m_nCommandId == kSubMenuCommand || m_bDrawDownArrow || m_bMenuOnly) {
    const Rect arrow{rect.right - glyph.cx - 3, rect.top, rect.right - 3, rect.bottom};
    // A right-to-left menu opens its sub-menus to the left.
    const bool rtl = m_pWndParent && m_pWndParent->layoutDirection() == Qt::RightToLeft;
    const int id = rtl ? (disabled ? kGlyphArrowLeftDisabled : kGlyphArrowLeft)
                       : (disabled ? kGlyphArrowRightDisabled : kGlyphArrowRight);
    MenuImages::DrawCentred(dc, id, arrow);
  }
  dc->selectFont(previous);
}
