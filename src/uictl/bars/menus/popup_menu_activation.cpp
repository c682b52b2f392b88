// An open popup menu towards the rest of the program: announcing itself to its frame and owner,
// the keyboard, closing alone or with its parents, showing all commands, and tidying at the end.
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/commands/virtual_keys.h"

#include <QCloseEvent>
#include <QKeyEvent>

using namespace platform;

namespace {

PopupMenuOwnerHook* ownerHookOf(QWidget* owner) { return dynamic_cast<PopupMenuOwnerHook*>(owner); }

}  // namespace

bool CUxPopupMenu::ActivatePopupMenu(QWidget* topFrame, CUxPopupMenu* popup) {
  if (popup) {
    if (PopupMenuOwnerHook* owner = ownerHookOf(popup->m_pMessageWnd)) owner->SetActiveMenu(popup);
  }
  if (auto* frame = dynamic_cast<PopupMenuFrameHook*>(topFrame)) {
    if (!frame->OnShowPopupMenu(popup)) {
      if (popup && !popup->m_bInCloseMenu) popup->CloseMenu(false);
      return false;
    }
  }
  m_pActivePopupMenu = popup;
  if (popup && popup->m_pParentBtn && popup->m_wndMenuBar && !popup->m_wndMenuBar->AreAllCommandsShown()) {
    CUxPopupMenuBar* bar = popup->m_wndMenuBar;
    if (!dynamic_cast<CUxShowAllButton*>(bar->GetButton(bar->GetCount() - 1)))
      bar->InsertButton(std::make_unique<CUxShowAllButton>());
  }
  return true;
}

void CUxPopupMenu::writeBackEditedItems() {
  if (!CUxToolBar::IsCustomizeMode()) return;
  for (CUxPopupMenu* popup = this; popup; popup = popup->GetParentPopupMenu()) {
    if (popup->m_pParentBtn && popup->m_wndMenuBar) popup->m_pParentBtn->CreateFromMenuBar(*popup->m_wndMenuBar);
  }
}

void CUxPopupMenu::CloseMenu(bool setFocusToBar) {
  if (m_bDestroyed) return;
  m_bInCloseMenu = true;
  writeBackEditedItems();
  CUxPopupMenu* parentPopup = GetParentPopupMenu();
  if (parentPopup) {
    m_bAutoDestroyParent = false;
    ActivatePopupMenu(GetTopFrame(), parentPopup);
  } else {
    // The menu mode ends here, whichever popup of the chain held it (or none yet, when the frame
    // refused this one after the owner had heard of it): the owner lets its popup go too.
    ActivatePopupMenu(GetTopFrame(), nullptr);
    if (PopupMenuOwnerHook* owner = ownerHookOf(m_pMessageWnd)) owner->SetActiveMenu(nullptr);
    if (CUxToolBar* bar = GetParentToolBar(); bar && setFocusToBar) bar->setFocus();
  }
  close();
}

void CUxPopupMenu::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!m_bDestroyed) OnDestroy();
  hide();
  deleteLater();
}

void CUxPopupMenu::OnDestroy() {
  m_bDestroyed = true;
  m_scrollTimer.stop();
  if (m_wndMenuBar) {
    // An item on its way out of the menu as a move (not a copy) has left it.
    CUxPopupMenuBar& items = *m_wndMenuBar;
    if (items.m_pDragButton && items.m_ptStartDrag != Point{-1, -1} && !items.m_bIsDragCopy)
      if (const int index = items.ButtonToIndex(items.m_pDragButton); index >= 0) items.RemoveButton(index);
    m_wndMenuBar->CloseDelayedSubMenu();
    // Submenus go with their parent.
    for (int i = 0; i < m_wndMenuBar->GetCount(); ++i)
      if (auto* item = dynamic_cast<CUxToolbarMenuButton*>(m_wndMenuBar->GetButton(i)); item && item->m_pPopupMenu) {
        item->m_pPopupMenu->m_bAutoDestroyParent = false;
        item->m_pPopupMenu->close();
      }
  }
  const bool customize = CUxToolBar::IsCustomizeMode();
  CUxToolBar* parentBar = nullptr;
  if (CUxToolbarMenuButton* button = m_pParentBtn) {
    writeBackEditedItems();
    CUxPopupMenu* parentPopup = GetParentPopupMenu();
    parentBar = GetParentToolBar();
    button->m_pPopupMenu = nullptr;
    button->m_bClickedOnMenu = false;
    m_pParentBtn = nullptr;
    if (parentBar) parentBar->InvalidateButton(parentBar->ButtonToIndex(button));
    if (parentPopup && m_bAutoDestroyParent && !customize) {
      QPointer<CUxPopupMenu> parent(parentPopup);
      QMetaObject::invokeMethod(parentPopup, [parent] { if (parent) parent->close(); }, Qt::QueuedConnection);
    }
  } else if (!m_bButtonsMenu) {
    // A context menu ends the whole-menu look; a button's menu leaves it to the menu bar, which
    // ends it once no menu is left dropped down, so that the next title opens whole too.
    menuBarShowAllCommands() = false;
  }
  if (m_pActivePopupMenu == this) {
    if (PopupMenuOwnerHook* owner = ownerHookOf(m_pMessageWnd)) owner->SetActiveMenu(nullptr);
    m_pActivePopupMenu = nullptr;
  }
  QWidget* topFrame = GetTopFrame();
  if (auto* frame = dynamic_cast<PopupMenuFrameHook*>(topFrame)) frame->OnClosePopupMenu();
  if (!customize && topFrame && !m_pActivePopupMenu && parentBar && !parentBar->hasFocus()) parentBar->Deactivate();
}

void CUxPopupMenu::OnActivateApp(bool active) {
  if (active || m_bDestroyed || CUxToolBar::IsCustomizeMode() || IsInCommand()) return;
  QPointer<CUxPopupMenu> self(this);
  QMetaObject::invokeMethod(this, [self] { if (self) self->close(); }, Qt::QueuedConnection);
}

void CUxPopupMenu::ShowAllCommands() {
  if (!m_pParentBtn || !m_wndMenuBar) return;
  m_wndMenuBar->OnCancelMode();
  menuBarShowAllCommands() = true;
  menuSoundPlay(2);
  hide();
  m_bmpShadowRight = m_bmpShadowBottom = {};
  m_ptLocation = m_ptLocationInitial;
  if (!InitMenuBar()) return;
  UpdateShadow(false);
  show();
  if (CUxToolBar* bar = GetParentToolBar()) bar->InvalidateButton(bar->ButtonToIndex(m_pParentBtn));
}

void CUxPopupMenu::keyPressEvent(QKeyEvent* event) {
  if (const unsigned key = virtualKeyOf(event->key())) OnKeyDown(key);
  else QWidget::keyPressEvent(event);
}

void CUxPopupMenu::OnKeyDown(unsigned key) {
  if (!m_wndMenuBar || m_bDestroyed) return;
  const bool customize = CUxToolBar::IsCustomizeMode();
  CUxToolBar* parentBar = GetParentToolBar();
  switch (key) {
    case VkEscape:
      CloseMenu(true);
      return;
    case VkLeft:
      if (parentBar) parentBar->PrevMenu();
      else if (m_pParentBtn && m_pParentBtn->m_pPopupMenu) CloseMenu(false);
      return;
    case VkRight: {
      CUxToolbarMenuButton* item = GetSelItem();
      if (item && (item->m_nCommandId == kSubMenuCommand || item->m_nCommandId == 0 || item->m_bMenuOnly) &&
          item->OpenPopupMenu()) {
        if (item->m_pPopupMenu) item->m_pPopupMenu->OnKeyDown(VkHome);
        return;
      }
      if (parentBar && !dynamic_cast<CUxPopupMenuBar*>(parentBar)) parentBar->NextMenu();
      else if (CUxPopupMenu* parentPopup = GetParentPopupMenu()) parentPopup->OnKeyDown(VkRight);
      return;
    }
    case VkDown:
      if (isControlDown() && !m_wndMenuBar->AreAllCommandsShown()) {
        ShowAllCommands();
        return;
      }
      [[fallthrough]];
    case VkUp:
    case VkHome:
    case VkEnd:
    case VkReturn: {
      if (customize) return;
      QPointer<CUxPopupMenu> self(this);
      m_wndMenuBar->OnKey(key);
      if (self && key != VkReturn && m_bScrollable) scrollHighlightedIntoView();
      return;
    }
    default:
      m_wndMenuBar->OnKey(key);
      return;
  }
}

void CUxPopupMenu::scrollHighlightedIntoView() {
  const CUxToolbarButton* item = m_wndMenuBar->GetButton(m_wndMenuBar->GetHighlightedButton());
  const int row = m_wndMenuBar->GetRowHeight();
  if (!item || row == 0) return;
  const Rect client = m_wndMenuBar->ClientRect();
  int delta = 0;
  if (item->m_rect.top < client.top) delta = (item->m_rect.top - client.top) / row - 1;
  else if (item->m_rect.bottom > client.bottom) delta = (item->m_rect.bottom - client.bottom) / row + 1;
  else return;
  const int limit = m_wndMenuBar->GetCount() - (height() / row - 2) - 1;
  const int offset = std::max(0, std::min(m_wndMenuBar->GetOffset() + delta, limit));
  m_wndMenuBar->SetOffset(offset);
  if (RecalcScrollButtons(false)) RecalcScrollButtons(false);
}
