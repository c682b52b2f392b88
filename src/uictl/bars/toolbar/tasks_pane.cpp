#include "uictl/bars/toolbar/tasks_pane.h"

#include "platform/windows/command_target.h"
#include "uictl/bars/library_globals.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CTasksPaneMenuButton, CUxToolbarMenuButton, kVersionableSchema | 1,
                                createInstance<CTasksPaneMenuButton>)
KELVARA_IMPLEMENT_RUNTIME_CLASS(CTasksPaneToolBar, CUxToolBar, 1, createInstance<CTasksPaneToolBar>)

int CUxTasksPane::AddPage(const std::wstring& name) {
  m_arrMenuPositions.push_back(static_cast<int>(m_lstPages.size()));
  m_lstPages.push_back(name);
  if (m_iActivePage < 0) m_iActivePage = 0;
  return GetPageCount() - 1;
}

bool CUxTasksPane::SetActivePage(int page) {
  if (page < 0 || page >= GetPageCount()) return false;
  m_iActivePage = page;
  return true;
}

MenuHandle CUxTasksPane::CreatePagesMenu() const {
  const MenuHandle menu = createPopupMenu();
  // Switching pages is always offered in full, never as a rarely used command.
  CUxToolBar::AddBasicCommand(kTasksPanePagesCommand);
  for (const std::wstring& name : m_lstPages) appendMenu(menu, MfString, kTasksPanePagesCommand, name);
  if (m_iActivePage >= 0)
    checkMenuItem(menu, static_cast<unsigned>(m_arrMenuPositions[static_cast<size_t>(m_iActivePage)]),
                  MfByPosition | MfChecked);
  return menu;
}

void CTasksPaneMenuButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarMenuButton::OnChangeParentWnd(parent);
  // The bar is a child of the pane, never the pane itself.
  m_pTasksPane = nullptr;
  for (QWidget* w = parent; w && !m_pTasksPane; w = w->parentWidget()) m_pTasksPane = dynamic_cast<CUxTasksPane*>(w);
}

MenuHandle CTasksPaneMenuButton::ExportToMenu() const {
  return m_pTasksPane ? m_pTasksPane->CreatePagesMenu() : MenuHandle();
}

void CTasksPaneToolBar::AdjustLocations() {
  CUxToolBar::AdjustLocations();
  CTasksPaneMenuButton* menuButton = nullptr;
  CUxToolbarButton* closeButton = nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    CUxToolbarButton* button = GetButton(i);
    if (button->m_nStyle & kStyleSeparator) continue;
    if (auto* menu = dynamic_cast<CTasksPaneMenuButton*>(button)) menuButton = menu;
    if (button->GetImage() == 3) closeButton = button;
  }
  if (menuButton) {
    Rect rect = menuButton->m_rect;
    rect.right = std::max(rect.left + 3 * rect.height(), ClientRect().right - 1);
    menuButton->SetRect(rect);
  }
  if (closeButton && !closeButton->m_bHidden) {
    closeButton->m_bHidden = true;
    closeButton->OnShow(false);
  }
}

bool CTasksPaneToolBar::GetButtonToolTipText(const CUxToolbarButton* button, std::wstring& text) {
  if (!button) return CUxToolBar::GetButtonToolTipText(button, text);
  text = dynamic_cast<const CTasksPaneMenuButton*>(button) ? libraryString(kStringTasksPanePages) : button->m_strText;
  return true;
}

void CTasksPaneToolBar::OnIdleUpdateCmdUI() {
  CUxControlBar::RecalcDelayShow();
  if (!isVisible()) return;
  if (auto* target = dynamic_cast<CommandTarget*>(GetOwner())) OnUpdateCmdUI(target, true);
}
