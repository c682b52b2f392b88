#include "uictl/frames/outlook/outlook_page_toolbar.h"

#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/outlook/outlook_bar.h"

using namespace platform;

namespace {
constexpr int kIconOverlap = 2;

// What the chevron adds after the icons that did not fit.
struct PageButtonCommand {
  unsigned command;
  const wchar_t* label;
};
constexpr PageButtonCommand kPageButtonCommands[] = {
    {kCmdShowMorePageButtons, L"Show More buttons"},
    {kCmdShowFewerPageButtons, L"Show Fewer Buttons"},
};
}  // namespace

MenuHandle COutlookCustomizeButton::ExportToMenu() const {
  MenuHandle menu = CCustomizeButton::ExportToMenu();
  if (!menu) menu = createPopupMenu();
  if (getMenuItemCount(menu) > 0) appendMenu(menu, MfSeparator, 0);
  for (const PageButtonCommand& item : kPageButtonCommands) appendMenu(menu, MfString, item.command, item.label);
  return menu;
}

CUxPopupMenu* COutlookCustomizeButton::CreatePopupMenu() {
  CUxPopupMenu* popup = CCustomizeButton::CreatePopupMenu();
  CUxPopupMenuBar* items = popup->GetMenuBar();
  if (items->GetCount() > 0) items->InsertSeparator();
  for (const PageButtonCommand& item : kPageButtonCommands) {
    const int at = items->InsertButton(std::make_unique<CUxToolbarMenuButton>(item.command, MenuHandle{}, -1, item.label));
    if (CUxToolbarButton* inserted = items->GetButton(at)) inserted->m_bShowText = true;
  }
  return popup;
}

void COutlookCustomizeButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool, bool customizeMode,
                                     bool highlight, bool, bool) {
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  FillInterior(dc, rect, highlight || IsDroppedDown());
  // The chevron over a down arrow, the pair centred in the button.
  const Size glyph = MenuImages::GlyphSize();
  const int left = rect.left + (rect.width() - glyph.cx) / 2;
  const int top = rect.top + (rect.height() - 2 * glyph.cy) / 2;
  MenuImages::Draw(dc, kGlyphChevron, {left, top});
  MenuImages::Draw(dc, kGlyphArrowDown, {left, top + glyph.cy});
  if (customizeMode) return;
  if ((m_nStyle & (kStylePressed | kStyleChecked)) || IsDroppedDown()) manager->OnDrawButtonBorder(dc, this, rect, ButtonPressed);
  else if (highlight) manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
}

COutlookPageToolBar::COutlookPageToolBar(CUxOutlookBar* owner) : CUxToolBar(owner), m_pOwnerBar(owner) {
  m_bLocked = true;
}

int COutlookPageToolBar::PageOfButton(int index) const {
  const auto found = m_pageOfButton.find(index);
  return found == m_pageOfButton.end() ? -1 : static_cast<int>(found->second);
}

void COutlookPageToolBar::Rebuild(int firstPage) {
  RemoveAllButtons();
  m_pageOfButton.clear();
  const CUxOutlookBar& bar = *m_pOwnerBar;
  const bool small = !bar.m_smallPageImages.empty();
  const Size image = bar.PageIconSize();
  SetLockedSizes({image.cx + 6, image.cy + 14}, image);
  m_Images[kImages].Clear();
  m_Images[kImages].SetImageSize(image);
  const std::vector<QImage>& icons = small ? bar.m_smallPageImages : bar.m_largePageImages;
  auto chevron = std::make_unique<COutlookCustomizeButton>();
  chevron->OnChangeParentWnd(this);
  m_pCustomizeBtn = chevron.get();
  m_Buttons.push_back(std::move(chevron));
  for (int page = std::max(0, firstPage), n = 0; page < bar.GetPageCount(); ++page, ++n) {
    const CUxOutlookBarPage& source = *bar.m_Pages[static_cast<size_t>(page)];
    int icon = -1;
    if (page < static_cast<int>(icons.size())) icon = m_Images[kImages].AddImage(icons[static_cast<size_t>(page)]);
    const int at = InsertButton(std::make_unique<CUxToolbarButton>(kCmdFirstPageIcon + n, icon, source.m_strName.c_str(),
                                                                  false, true));
    if (at >= 0) m_pageOfButton[at] = source.m_nPageID;
  }
  AdjustLocations();
  update();
}

void COutlookPageToolBar::AdjustLocations() {
  const Rect client = ClientRect();
  int right = client.right;
  if (m_pCustomizeBtn) {
    m_pCustomizeBtn->GetInvisibleButtons().clear();
    const int width = MenuImages::GlyphSize().cx + 2 * CUxVisualManager::GetInstance()->GetCustomizeButtonMargin();
    m_pCustomizeBtn->SetEmpty(false);
    m_pCustomizeBtn->m_bHidden = false;
    m_pCustomizeBtn->SetRect({client.right - width, client.top, client.right, client.bottom});
    right -= width;
  }
  const int step = GetImageSize().cx + 10;
  int shown = 0;
  for (const auto& button : m_Buttons)
    if (button.get() != m_pCustomizeBtn) ++shown;
  const int total = shown > 0 ? shown * step - (shown - 1) * kIconOverlap : 0;
  int x = std::max(client.left, right - total);
  for (auto& button : m_Buttons) {
    if (button.get() == m_pCustomizeBtn) continue;
    const Rect place{x, client.top, x + step, client.bottom};
    const bool fits = place.right <= right;
    button->m_bHidden = !fits;
    button->SetRect(fits ? place : Rect{});
    if (!fits && m_pCustomizeBtn) m_pCustomizeBtn->GetInvisibleButtons().push_back(button.get());
    x += step - kIconOverlap;
  }
}

void COutlookPageToolBar::OnUpdateCmdUI(CommandTarget*, bool) {
  for (const auto& [index, page] : m_pageOfButton) {
    CUxToolbarButton* button = GetButton(index);
    if (!button) continue;
    unsigned style = button->m_nStyle & ~(kStyleChecked | kStyleDisabled);
    if (static_cast<int>(page) == m_pOwnerBar->GetActivePageID()) style |= kStyleChecked;
    SetButtonStyle(index, style);
  }
}

bool COutlookPageToolBar::OnSendCommand(const CUxToolbarButton* button) {
  const int page = PageOfButton(ButtonToIndex(button));
  if (page < 0) return false;
  m_pOwnerBar->SetActivePage(page, false);
  return true;
}

bool COutlookPageToolBar::GetButtonToolTipText(const CUxToolbarButton* button, std::wstring& text) {
  if (!button) return false;
  text = button->m_strText;
  return !text.empty();
}

void COutlookPageToolBar::OnMouseMove(unsigned flags, Point point) {
  if (HitTest(point) >= 0) setCursor(globalData().HandCursor());
  else unsetCursor();
  CUxToolBar::OnMouseMove(flags, point);
}

void COutlookPageToolBar::OnCustomizeMode(bool set) {
  CUxToolBar::OnCustomizeMode(set);
  setEnabled(!set);
}
