// Menu buttons and their popups: clicking opens and closes them, a toolbar's hot tracking moves
// the open menu from button to button, and the chevron and show-all items build and answer theirs.
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/buttons/system_menu_buttons.h"
#include "uictl/bars/toolbar/tasks_pane.h"
#include "uictl/bars/combos/toolbar_combo_box.h"
#include "uictl/bars/commands/user_tools.h"
#include "uictl/bars/commands/virtual_keys.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QCursor>

using namespace platform;

namespace {

bool insideArrowZone(const CUxToolbarMenuButton& button, CUxToolBar* bar, bool largeIcons) {
  const QPoint cursor = bar->mapFromGlobal(QCursor::pos());
  const Point point = bar->WidgetToClient(cursor);
  Rect zone = button.m_rect;
  const Size extra = CUxVisualManager::GetInstance()->GetButtonExtraSize();
  if (button.m_bExtraSize) zone = zone.inflated(extra.cx, extra.cy);
  const int k = largeIcons ? 2 : 1;
  const Size glyph = MenuImages::GlyphSize();
  if (button.m_bHorzArrow) zone.left = zone.right - (glyph.cx * k + extra.cx + 2);
  else zone.top = zone.bottom - (glyph.cy * k + extra.cy + 2);
  return zone.contains(point);
}

}  // namespace

// Menu button.

void CUxToolbarMenuButton::redrawWithShadow() {
  auto* bar = dynamic_cast<CUxToolBar*>(m_pWndParent);
  if (!bar) return;
  const int depth = CUxVisualManager::GetInstance()->nMenuShadowDepth;
  const Rect r = m_rect.inflated(depth, depth);
  bar->update(QRect(bar->ClientToWidget({r.left, r.top}), QSize(r.width(), r.height())));
}

bool CUxToolbarMenuButton::OnClick(QWidget* wnd, bool delay) {
  auto* bar = dynamic_cast<CUxToolBar*>(wnd);
  m_bClickedOnMenu = !hasRealCommand();
  if (m_bDrawDownArrow && !delay && !m_bMenuMode && hasRealCommand() && !m_bMenuOnly) {
    m_bClickedOnMenu = bar && insideArrowZone(*this, bar, CUxToolBar::g_bLargeIcons);
    // Beside the arrow the click is the button's own command.
    if (!m_bClickedOnMenu) return false;
  }
  if (!m_bClickedOnMenu && hasRealCommand() && !m_bDrawDownArrow && !m_bMenuOnly) return false;

  if (m_pPopupMenu) {
    CUxPopupMenu* open = m_pPopupMenu;
    open->m_bAutoDestroyParent = false;
    m_pPopupMenu = nullptr;
    open->close();
  } else if (auto* popupBar = dynamic_cast<CUxPopupMenuBar*>(wnd); popupBar && delay && !CUxToolBar::IsCustomizeMode()) {
    popupBar->StartPopupMenuTimer(this);
  } else {
    if (bar && bar->IsMenuMode() && !dynamic_cast<CUxPopupMenuBar*>(bar)) {
      if (CUxToolbarMenuButton* dropped = bar->GetDroppedDownMenu(); dropped && dropped != this) dropped->OnCancelMode();
    }
    if (!OpenPopupMenu(wnd)) return false;
  }
  if (bar && bar->IsMenuMode() && !dynamic_cast<CUxPopupMenuBar*>(bar)) bar->SetHot(m_pPopupMenu ? this : nullptr);
  redrawWithShadow();
  return true;
}

CUxPopupMenu* CUxToolbarMenuButton::CreatePopupMenu() { return new CUxPopupMenu; }

bool CUxToolbarMenuButton::OpenPopupMenu(QWidget* wnd) {
  if (m_pPopupMenu) return false;
  if (!wnd) wnd = m_pWndParent;
  if (!wnd) return false;
  MenuHandle menu = ExportToMenu();
  if (!menu && !IsEmptyMenuAllowed()) return false;
  CUxPopupMenu* popup = CreatePopupMenu();
  if (popup->GetMenuItemCount() > 0 && menu) {
    destroyMenu(menu);
    menu = {};
  }
  auto* bar = dynamic_cast<CUxToolBar*>(wnd);
  const Rect r = m_rect;
  const QPoint topLeft = bar ? wnd->mapToGlobal(bar->ClientToWidget({r.left, r.top})) : wnd->mapToGlobal(QPoint(r.left, r.top));
  const QPoint bottomRight = topLeft + QPoint(r.width(), r.height());
  QPoint at;
  if (auto* parentPopup = dynamic_cast<CUxPopupMenuBar*>(wnd) ? dynamic_cast<CUxPopupMenu*>(wnd->window()) : nullptr) {
    // Beside the parent menu itself: its shadow lies within its window.
    const bool rtl = wnd->layoutDirection() == Qt::RightToLeft;
    at = {rtl ? parentPopup->x() - 1 : parentPopup->x() + parentPopup->GetFinalSize().cx + 1, topLeft.y() - 2};
  } else if (!bar || !bar->IsMenuMode() || (bar->GetBarStyle() & CbrsOrientHorz)) {
    if (m_bOpenRight) at = {bottomRight.x() - 2, topLeft.y()};
    else if (popup->m_bRightAlign) at = {bottomRight.x() - 2, bottomRight.y() - 1};
    else at = {topLeft.x(), bottomRight.y() - 1};
  } else {
    at = {bottomRight.x(), topLeft.y()};
  }
  popup->SetParentButton(this);
  m_pPopupMenu = popup;
  QPointer<CUxPopupMenu> guard(popup);
  if (!popup->Create(wnd, at.x(), at.y(), menu, false, false)) {
    if (guard) {
      guard->SetParentButton(nullptr);
      guard->close();
    }
    m_pPopupMenu = nullptr;
    return false;
  }
  if (m_pWndMessage) popup->SetMessageWnd(m_pWndMessage);
  else if (auto* parentPopup = dynamic_cast<CUxPopupMenu*>(wnd->window()); parentPopup && parentPopup != popup)
    popup->SetMessageWnd(parentPopup->GetMessageWnd());
  return true;
}

void CUxToolbarMenuButton::OnCancelMode() {
  if (CUxPopupMenu* popup = m_pPopupMenu) {
    if (popup->IsInCommand()) return;
    m_pPopupMenu = nullptr;
    for (int i = 0; i < popup->GetMenuItemCount(); ++i)
      if (CUxToolbarMenuButton* item = popup->GetMenuItem(i)) item->OnCancelMode();
    popup->m_bAutoDestroyParent = false;
    popup->SetParentButton(nullptr);
    if (CUxToolBar::IsCustomizeMode() && popup->GetMenuBar()) CreateFromMenuBar(*popup->GetMenuBar());
    popup->close();
  }
  redrawWithShadow();
  m_bClosing = false;
}

bool CUxToolbarMenuButton::OnBeforeDrag() const {
  if (CUxPopupMenu* popup = m_pPopupMenu)
    for (int i = 0; i < popup->GetMenuItemCount(); ++i)
      if (CUxToolbarMenuButton* item = popup->GetMenuItem(i)) item->OnCancelMode();
  return true;
}

void CUxToolbarMenuButton::UpdateOwnerMenus() {
  CUxPopupMenu* popup = m_pPopupMenu;
  if (popup && popup->GetMenuBar()) CreateFromMenuBar(*popup->GetMenuBar());
}

void CUxToolbarMenuButton::CreateFromMenuBar(const CUxPopupMenuBar& bar) {
  const MenuHandle edited = bar.ExportToMenu();
  CreateFromMenu(edited);
  destroyMenu(edited);
}

// Chevron.

CUxPopupMenu* CCustomizeButton::CreatePopupMenu() {
  auto* popup = new CUxPopupMenu;
  CUxToolBar* bar = m_pWndParentToolbar;
  if (bar && bar->IsLocked()) popup->GetMenuBar()->m_pRelatedToolbar = bar;
  popup->m_bRightAlign = m_bMenuRightAlign;
  m_itemSources.clear();
  std::vector<std::unique_ptr<CUxToolbarMenuButton>> items;
  auto& hidden = m_lstInvisibleButtons;
  for (size_t i = 0; i < hidden.size(); ++i) {
    CUxToolbarButton* button = hidden[i];
    const bool separator = (button->m_nStyle & kStyleSeparator) || button->m_nCommandId == 0;
    if (separator) {
      if (i == 0 || i + 1 == hidden.size() || items.empty()) continue;
      auto item = std::make_unique<CUxToolbarMenuButton>();
      item->m_nStyle = kStyleSeparator;
      items.push_back(std::move(item));
      continue;
    }
    std::unique_ptr<CUxToolbarMenuButton> item;
    if (auto* menuButton = dynamic_cast<CUxToolbarMenuButton*>(button)) {
      std::unique_ptr<CObject> object = menuButton->GetRuntimeClass()->createObject();
      item.reset(dynamic_cast<CUxToolbarMenuButton*>(object.release()));
      if (item) item->CopyFrom(*menuButton);
    }
    if (!item) {
      const int image = (bar && !bar->IsLocked()) ? button->GetImage() : -1;
      item = std::make_unique<CUxToolbarMenuButton>(button->m_nCommandId, MenuHandle{}, image, button->m_strText.c_str(),
                                                    button->m_bUserImage);
    }
    // A combo box is listed under its command's label, not under what it shows.
    if (item->m_strText.empty() || dynamic_cast<CUxToolbarComboBoxButton*>(button))
      commandShortLabel(button->m_nCommandId, item->m_strText);
    item->m_bShowText = true;
    m_itemSources.emplace_back(item.get(), button);
    items.push_back(std::move(item));
  }
  if (m_iCustomizeCmdId > 0) {
    if (!hidden.empty()) {
      auto item = std::make_unique<CUxToolbarMenuButton>();
      item->m_nStyle = kStyleSeparator;
      items.push_back(std::move(item));
    }
    items.push_back(std::make_unique<CUxToolbarMenuButton>(static_cast<unsigned>(m_iCustomizeCmdId), MenuHandle{}, -1,
                                                           m_strCustomizeText.c_str()));
  }
  for (auto& item : items) {
    const bool separator = item->m_nStyle & kStyleSeparator;
    const CUxToolbarButton* made = item.get();
    const int index = separator ? popup->GetMenuBar()->InsertSeparator() : popup->GetMenuBar()->InsertButton(std::move(item));
    if (CUxToolbarButton* inserted = popup->GetMenuBar()->GetButton(index); inserted && !separator) {
      inserted->m_bShowText = true;
      for (auto& source : m_itemSources)
        if (source.first == made) source.first = inserted;
    }
  }
  if (bar) popup->SetMessageWnd(bar->GetOwner() ? bar->GetOwner() : bar->parentWidget());
  return popup;
}

bool CCustomizeButton::InvokeHiddenButton(QWidget* menuBar, const CUxToolbarButton* item) {
  CUxToolBar* bar = m_pWndParentToolbar;
  auto* popupBar = dynamic_cast<CUxToolBar*>(menuBar);
  if (!bar || !popupBar || popupBar->ButtonToIndex(item) < 0) return false;
  CUxToolbarButton* hidden = nullptr;
  for (const auto& [madeItem, source] : m_itemSources)
    if (madeItem == item) hidden = source;
  if (!hidden || bar->ButtonToIndex(hidden) < 0) return false;
  if (bar->OnSendCommand(hidden)) return true;
  const unsigned command = hidden->m_nCommandId;
  if (command == 0 || command == kSubMenuCommand) return true;
  commandUsage().AddCmd(command);
  if (!hidden->OnClickUp() && !CUxUserToolsManager::InvokeToolOf(command)) CUxToolBar::sendCommand(bar->GetOwner(), command, 0);
  return true;
}

// Show-all item.

bool CUxShowAllButton::OnClick(QWidget* wnd, bool delay) {
  auto* bar = dynamic_cast<CUxPopupMenuBar*>(wnd);
  if (!bar) return false;
  if (!delay) {
    if (CUxPopupMenu* popup = bar->GetPopup()) popup->ShowAllCommands();
  } else if (showAllOnPause()) {
    bar->StartPopupMenuTimer(this, 2);
  }
  return true;
}

bool CUxShowAllButton::OnToolHitTest(const QWidget*, ToolInfo* info) const {
  if (!info) return false;
  std::wstring text = libraryString(kStringShowAllTip);
  const std::wstring keys = acceleratorKeyText({static_cast<uint8_t>(FVirtKey | FControl), VkDown, 0});
  if (const size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, keys);
  info->text = text;
  info->id = 0;
  return true;
}

// Tasks pane.

CUxPopupMenu* CTasksPaneMenuButton::CreatePopupMenu() {
  auto* popup = new CUxPopupMenu;
  popup->m_bRightAlign = true;
  if (m_pTasksPane) popup->SetMessageWnd(m_pTasksPane);
  return popup;
}

// Toolbar menu tracking.

CUxToolbarMenuButton* CUxToolBar::GetDroppedDownMenu(int* index) const {
  for (int i = 0; i < GetCount(); ++i) {
    auto* button = dynamic_cast<CUxToolbarMenuButton*>(GetButton(i));
    if (button && button->m_pPopupMenu) {
      if (index) *index = i;
      return button;
    }
  }
  if (index) *index = -1;
  return nullptr;
}

void CUxToolBar::OnSetHotButton(int hot) {
  if (hot == m_iHot && hot >= 0) hot = -1;
  const bool customize = toolbarClassData().bCustomizeMode;
  CUxToolbarMenuButton* dropped = GetDroppedDownMenu();
  CUxToolbarButton* button = GetButton(hot);
  if (!button) {
    m_iHot = -1;
    // Losing the hot button closes a dropped menu only while customising: a click that opens a
    // menu clears the hot button right afterwards.
    if (dropped && customize && !g_bAltCustomizing) dropped->OnCancelMode();
    return;
  }
  m_iHot = hot;
  if (dropped) {
    if (button == dropped) {
      if (customize) dropped->OnCancelMode();
    } else {
      dropped->OnCancelMode();
      auto* menuButton = dynamic_cast<CUxToolbarMenuButton*>(button);
      if (menuButton && !(customize && dynamic_cast<CUxToolbarSystemMenuButton*>(button)) &&
          !(button->m_nStyle & kStyleDisabled))
        menuButton->OnClick(this, true);
    }
  }
  if (customize && m_rectDrag.isEmpty() && !(button->m_nStyle & kStyleSeparator)) m_iSelected = hot;
  if (dropped || customize) update();
}

void CUxToolBar::PrevMenu() { stepMenu(-1); }

void CUxToolBar::NextMenu() { stepMenu(1); }

void CUxToolBar::stepMenu(int direction) {
  int start = -1;
  if (!GetDroppedDownMenu(&start)) return;
  const int count = GetCount();
  for (int step = 1; step < count; ++step) {
    const int index = ((start + direction * step) % count + count) % count;
    auto* button = dynamic_cast<CUxToolbarMenuButton*>(GetButton(index));
    if (!button || (button->m_nStyle & kStyleDisabled)) continue;
    m_iHighlighted = index;
    OnSetHotButton(index);
    if (button->m_pPopupMenu) button->m_pPopupMenu->OnKeyDown(VkHome);
    update();
    return;
  }
}

bool CUxToolBar::DropDownMenu(CUxToolbarButton* button) {
  auto* menuButton = dynamic_cast<CUxToolbarMenuButton*>(button);
  if (!menuButton || !menuButton->OnClick(this, false)) return false;
  if (menuButton->m_pPopupMenu) menuButton->m_pPopupMenu->OnKeyDown(VkHome);
  SetHot(menuButton);
  return true;
}
