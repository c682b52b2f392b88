#include "uictl/bars/buttons/system_menu_buttons.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QWidget>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarSystemMenuButton, CUxToolbarMenuButton, kVersionableSchema | 1,
                                createInstance<CUxToolbarSystemMenuButton>)
KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarMenuButtonsButton, CUxToolbarButton, kNoSchema,
                                createInstance<CUxToolbarMenuButtonsButton>)

CUxToolbarSystemMenuButton::CUxToolbarSystemMenuButton(MenuHandle systemMenu, const QIcon& icon)
    : CUxToolbarMenuButton(0, systemMenu, -1), m_hSysMenuIcon(icon), m_hSystemMenu(systemMenu) {}

void CUxToolbarSystemMenuButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarMenuButton::CopyFrom(source);
  if (const auto* other = dynamic_cast<const CUxToolbarSystemMenuButton*>(&source)) {
    m_hSysMenuIcon = other->m_hSysMenuIcon;
    m_hSystemMenu = other->m_hSystemMenu;
  }
}

Size CUxToolbarSystemMenuButton::OnCalculateSize(Dc*, const Size& sizeDefault, bool) {
  return {getSystemMetrics(SmCxSmIcon), sizeDefault.cy};
}

void CUxToolbarSystemMenuButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool, bool, bool, bool, bool) {
  if (m_hSysMenuIcon.isNull()) return;
  Size icon{getSystemMetrics(SmCxSmIcon), getSystemMetrics(SmCySmIcon)};
  // Large-font systems have small icons taller than the caption buttons beside them.
  if (icon.cy > getSystemMetrics(SmCySmSize)) icon = {16, 16};
  const QImage image = m_hSysMenuIcon.pixmap(QSize(icon.cx, icon.cy))
                           .toImage()
                           .scaled(icon.cx, icon.cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  dc->drawImage(rect.left, rect.top + (rect.height() - icon.cy) / 2, image);
}

void CUxToolbarSystemMenuButton::OnCancelMode() {
  // The popup is closed, not only forgotten: left open it would reach back into this button once
  // the button is gone, and hot tracking would open a second menu beside it.
  if (CUxPopupMenu* popup = m_pPopupMenu) {
    if (popup->IsInCommand()) return;
    m_pPopupMenu = nullptr;
    if (CUxToolBar::IsCustomizeMode() && popup->GetMenuBar()) CreateFromMenuBar(*popup->GetMenuBar());
    popup->SetParentButton(nullptr);
    popup->m_bAutoDestroyParent = false;
    popup->close();
  }
  m_bClosing = false;
}

MenuHandle CUxToolbarSystemMenuButton::ExportToMenu() const {
  const MenuHandle menu = CUxToolbarMenuButton::ExportToMenu();
  if (!menu) return menu;
  for (int i = 0, count = getMenuItemCount(m_hSystemMenu); i < count; ++i) {
    const unsigned id = getMenuItemId(m_hSystemMenu, i);
    if (id == 0 || id == kMenuError) continue;
    const unsigned state = getMenuState(m_hSystemMenu, static_cast<unsigned>(i), MfByPosition);
    checkMenuItem(menu, id, MfByCommand | (state & MfChecked));
    enableMenuItem(menu, id, MfByCommand | (state & (MfDisabled | MfGrayed)));
  }
  return menu;
}

void CUxToolbarSystemMenuButton::OnDblClick(QWidget* wnd) {
  if (CUxToolBar::IsCustomizeMode()) return;
  OnCancelMode();
  // The nearest frame that hosts MDI children; a floating bar's own little frame is passed by.
  UxMdiChildHost* host = nullptr;
  for (QWidget* w = wnd; w && !host; w = w->parentWidget()) host = dynamic_cast<UxMdiChildHost*>(w);
  if (!host) return;
  const MenuHandle systemMenu = host->ActiveChildSystemMenu();
  const unsigned state = getMenuState(systemMenu, kScClose, MfByCommand);
  if (state == kMenuError || (state & (MfDisabled | MfGrayed))) return;
  host->SendActiveChildSysCommand(kScClose);
}

void CUxToolbarMenuButtonsButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarButton::CopyFrom(source);
  if (const auto* other = dynamic_cast<const CUxToolbarMenuButtonsButton*>(&source))
    m_uiSystemCommand = other->m_uiSystemCommand;
}

Size CUxToolbarMenuButtonsButton::OnCalculateSize(Dc*, const Size&, bool) {
  return {getSystemMetrics(SmCxMenuSize), getSystemMetrics(SmCyMenuSize)};
}

void CUxToolbarMenuButtonsButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool, bool, bool highlight, bool,
                                         bool) {
  CUxVisualManager::GetInstance()->OnDrawMenuSystemButton(dc, rect, m_uiSystemCommand, m_nStyle, highlight);
}
