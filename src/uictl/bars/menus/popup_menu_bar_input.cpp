// The popup menu bar under mouse and keys: highlight with delayed opening and closing of
// submenus, tracking across the popup chain, the release that chooses an item, keyboard
// navigation and mnemonics.
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/commands/virtual_keys.h"

#include <QCursor>
#include <QToolTip>

using namespace platform;

namespace {

// Set while a key moves the highlight: an open submenu then closes at once.
bool g_keyNavigation = false;

class KeyNavigation {
 public:
  KeyNavigation() : previous_(g_keyNavigation) { g_keyNavigation = true; }
  ~KeyNavigation() { g_keyNavigation = previous_; }

 private:
  bool previous_;
};

bool opensSubMenu(const CUxToolbarButton* button) {
  const auto* item = dynamic_cast<const CUxToolbarMenuButton*>(button);
  return item && (item->m_nCommandId == kSubMenuCommand || item->m_nCommandId == 0 || item->m_bMenuOnly ||
                  !item->m_listCommands.empty());
}

bool cursorOver(const CUxToolBar* bar, const CUxToolbarButton* button) {
  return button && button->m_rect.contains(bar->WidgetToClient(bar->mapFromGlobal(QCursor::pos())));
}

int closePeriod() { return std::max(0, CUxPopupMenuBar::m_nMenuShowDelay - 1); }

}  // namespace

CUxToolbarMenuButton* CUxPopupMenuBar::openSubMenuItem() const {
  for (int i = 0; i < GetCount(); ++i)
    if (auto* item = dynamic_cast<CUxToolbarMenuButton*>(GetButton(i)); item && item->m_pPopupMenu) return item;
  return nullptr;
}

void CUxPopupMenuBar::OnSetHotButton(int hot) {
  if (hot == -1 && m_iHot >= 0 && cursorOver(this, GetButton(m_iHot))) {
    m_iHighlighted = m_iHot;
    return;
  }
  m_iHot = GetButton(hot) ? hot : -1;
  CUxToolbarMenuButton* open = openSubMenuItem();
  auto* item = dynamic_cast<CUxToolbarMenuButton*>(GetButton(hot));
  if (open && open == item) {
    if (m_pDelayedClosePopupMenuButton == open) {
      open->m_bClosing = false;
      m_pDelayedClosePopupMenuButton = nullptr;
      m_closeTimer.stop();
    }
  } else if (open) {
    if (IsCustomizeMode() || g_keyNavigation) {
      open->OnCancelMode();
      CUxPopupMenu* popup = GetPopup();
      if (popup) CUxPopupMenu::ActivatePopupMenu(popup->GetTopFrame(), popup);
    } else if (m_pDelayedClosePopupMenuButton != open) {
      open->m_bClosing = true;
      m_pDelayedClosePopupMenuButton = open;
      m_closeTimer.start(closePeriod());
      InvalidateButton(ButtonToIndex(open));
    }
  }
  if (item && item != open && (item->m_nCommandId == kSubMenuCommand || dynamic_cast<CUxShowAllButton*>(item)))
    item->OnClick(this, true);
  // The pointer reached this submenu: its parent item stays open.
  if (CUxPopupMenu* popup = GetPopup(); popup && hot >= 0) {
    if (CUxPopupMenu* parentPopup = popup->GetParentPopupMenu()) {
      CUxPopupMenuBar* parentBar = parentPopup->GetMenuBar();
      if (parentBar && parentBar->m_pDelayedClosePopupMenuButton == popup->GetParentButton())
        parentBar->RestoreDelayedSubMenu();
    }
  }
}

void CUxPopupMenuBar::StartPopupMenuTimer(CUxToolbarMenuButton* button, int delayFactor) {
  m_openTimer.stop();
  m_pDelayedPopupMenuButton = button;
  if (button && button == m_pDelayedClosePopupMenuButton) {
    RestoreDelayedSubMenu();
    m_pDelayedPopupMenuButton = nullptr;
    return;
  }
  m_openTimer.start(std::max(0, m_nMenuShowDelay) * delayFactor);
}

void CUxPopupMenuBar::onOpenTimer() {
  QToolTip::hideText();
  if (CUxToolbarMenuButton* closing = m_pDelayedClosePopupMenuButton) {
    if (cursorOver(this, closing)) return;
    m_closeTimer.stop();
    m_pDelayedClosePopupMenuButton = nullptr;
    closing->OnCancelMode();
  }
  CUxToolbarMenuButton* scheduled = m_pDelayedPopupMenuButton;
  m_pDelayedPopupMenuButton = nullptr;
  if (!scheduled || ButtonToIndex(scheduled) != m_iHighlighted || ButtonToIndex(scheduled) < 0) return;
  if (dynamic_cast<CUxShowAllButton*>(scheduled)) {
    if (CUxPopupMenu* popup = GetPopup()) popup->ShowAllCommands();
    return;
  }
  scheduled->OpenPopupMenu(this);
}

void CUxPopupMenuBar::onCloseTimer() {
  CUxToolbarMenuButton* closing = m_pDelayedClosePopupMenuButton;
  if (!closing || cursorOver(this, closing)) return;
  m_pDelayedClosePopupMenuButton = nullptr;
  closing->OnCancelMode();
  if (CUxPopupMenu* popup = GetPopup()) CUxPopupMenu::ActivatePopupMenu(popup->GetTopFrame(), popup);
}

void CUxPopupMenuBar::CloseDelayedSubMenu() {
  CUxToolbarMenuButton* closing = m_pDelayedClosePopupMenuButton;
  if (!closing) return;
  m_closeTimer.stop();
  m_pDelayedClosePopupMenuButton = nullptr;
  closing->OnCancelMode();
}

void CUxPopupMenuBar::RestoreDelayedSubMenu() {
  CUxToolbarMenuButton* closing = m_pDelayedClosePopupMenuButton;
  if (!closing) return;
  closing->m_bClosing = false;
  const int old = m_iHighlighted;
  m_iHot = m_iHighlighted = ButtonToIndex(closing);
  m_pDelayedClosePopupMenuButton = nullptr;
  InvalidateButton(old);
  InvalidateButton(m_iHighlighted);
  m_closeTimer.stop();
}

CUxToolBar* CUxPopupMenuBar::FindDestBar(const QPoint& screen) {
  CUxPopupMenu* popup = GetPopup();
  for (CUxPopupMenu* p = popup; p; p = p->GetParentPopupMenu()) {
    CUxPopupMenuBar* bar = p->GetMenuBar();
    if (bar && QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size()).contains(screen)) return bar;
    if (!p->GetParentPopupMenu()) {
      CUxToolBar* parentBar = p->GetParentToolBar();
      if (parentBar && QRect(parentBar->mapToGlobal(QPoint(0, 0)), parentBar->size()).contains(screen)) return parentBar;
    }
  }
  return nullptr;
}

bool CUxPopupMenuBar::forwardOutside(QEvent::Type type, Point point, unsigned flags) {
  const QPoint widget = ClientToWidget(point);
  if (rect().contains(widget)) return false;
  const QPoint screen = mapToGlobal(widget);
  CUxToolBar* dest = FindDestBar(screen);
  if (!dest || dest == this) return false;
  const Point there = dest->WidgetToClient(dest->mapFromGlobal(screen));
  if (type == QEvent::MouseMove) dest->OnMouseMove(flags, there);
  else if (type == QEvent::MouseButtonPress) dest->OnLButtonDown(flags, there);
  else dest->OnLButtonUp(flags, there);
  return true;
}

void CUxPopupMenuBar::OnMouseMove(unsigned flags, Point point) {
  if (m_bFirstMove) {
    m_bFirstMove = false;
    return;
  }
  if (!IsCustomizeMode() && forwardOutside(QEvent::MouseMove, point, flags)) return;
  CUxToolBar::OnMouseMove(flags, point);
}

void CUxPopupMenuBar::OnLButtonDown(unsigned flags, Point point) {
  if (!IsCustomizeMode() && forwardOutside(QEvent::MouseButtonPress, point, flags)) return;
  m_bFirstClick = false;
  m_bAcceptLButtonUp = true;
  CUxToolBar::OnLButtonDown(flags, point);
}

void CUxPopupMenuBar::OnLButtonUp(unsigned flags, Point point) {
  if (IsCustomizeMode()) {
    CUxToolBar::OnLButtonUp(flags, point);
    return;
  }
  if (!rect().contains(ClientToWidget(point))) {
    if (!m_bFirstClick) {
      QPointer<CUxPopupMenuBar> self(this);
      forwardOutside(QEvent::MouseButtonRelease, point, flags);
      if (self) {
        if (CUxPopupMenu* popup = GetPopup()) popup->close();
      }
    }
    return;
  }
  if (m_iButtonCapture < 0) m_iButtonCapture = m_iHighlighted;
  m_bFirstClick = false;
  if (m_bAcceptLButtonUp) CUxToolBar::OnLButtonUp(flags, point);
  else m_iButtonCapture = -1;
}

void CUxPopupMenuBar::OnLButtonDblClk(unsigned flags, Point point) {
  if (opensSubMenu(GetButton(HitTest(point)))) return;
  CUxToolBar::OnLButtonDblClk(flags, point);
}

int CUxPopupMenuBar::nextEligible(int from, int step) const {
  const int count = GetCount();
  if (count == 0) return -1;
  int index = from;
  for (int tries = 0; tries < count; ++tries) {
    index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
    const CUxToolbarButton* button = GetButton(index);
    if (!(button->m_nStyle & kStyleSeparator) && !button->m_rect.isEmpty()) return index;
  }
  return -1;
}

void CUxPopupMenuBar::highlightByKey(int index) {
  if (index < 0 || index == m_iHighlighted) return;
  const int old = m_iHighlighted;
  m_iHighlighted = index;
  {
    const KeyNavigation keys;
    OnSetHotButton(index);
  }
  InvalidateButton(old);
  InvalidateButton(index);
  if (IsCustomizeMode()) m_iSelected = index;
  if (GetButton(index)->m_nCommandId != kSubMenuCommand) ShowCommandMessageString(GetButton(index)->m_nCommandId);
}

bool CUxPopupMenuBar::OnKey(unsigned key) {
  switch (key) {
    case VkTab:
      return OnKey(isShiftDown() ? VkUp : VkDown);
    case VkDown:
      highlightByKey(nextEligible(m_iHighlighted, 1));
      return true;
    case VkUp:
      highlightByKey(nextEligible(m_iHighlighted, -1));
      return true;
    case VkHome:
      highlightByKey(nextEligible(-1, 1));
      return true;
    case VkEnd:
      highlightByKey(nextEligible(-1, -1));
      return true;
    case VkReturn: {
      auto* item = dynamic_cast<CUxToolbarMenuButton*>(GetButton(m_iHighlighted));
      if (!item) return true;
      if (opensSubMenu(item) && item->OpenPopupMenu(this)) {
        if (item->m_pPopupMenu) item->m_pPopupMenu->OnKeyDown(VkHome);
        return true;
      }
      sendIdlePrompt(GetOwner());
      OnSendCommand(item);
      return true;
    }
    default:
      break;
  }
  if (IsCustomizeMode() || isControlDown()) return false;
  const unsigned character = TranslateShortcutChar(key);
  if (character == 0) return false;
  const wchar_t upper = static_cast<wchar_t>(QChar(static_cast<char16_t>(character)).toUpper().unicode());
  if (auto found = m_AcellKeys.find(upper); found != m_AcellKeys.end()) {
    auto* item = dynamic_cast<CUxToolbarMenuButton*>(found->second);
    if (!item) return false;
    if (opensSubMenu(item)) {
      highlightByKey(ButtonToIndex(item));
      if (!item->m_pPopupMenu) item->OpenPopupMenu(this);
      if (item->m_pPopupMenu) item->m_pPopupMenu->OnKeyDown(VkHome);
    } else if (item->m_nStyle & kStyleDisabled) {
      InvokeMenuCommand(0, item);
    } else {
      OnSendCommand(item);
    }
    return true;
  }
  if (recentlyUsedMenus() && !m_bAreAllCommandsShown) {
    if (auto hidden = m_HiddenItemsAccel.find(upper); hidden != m_HiddenItemsAccel.end()) {
      InvokeMenuCommand(hidden->second, nullptr);
      return true;
    }
  }
  return false;
}
