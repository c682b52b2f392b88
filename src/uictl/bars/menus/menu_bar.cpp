#include "uictl/bars/menus/menu_bar.h"

#include "platform/windows/mouse_capture.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/menus/menu_hash.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/bars/commands/virtual_keys.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>

using namespace platform;

namespace {

constexpr int kShowAllDelayMs = 5000;

bool isWindowButton(const CUxToolbarButton* button) { return dynamic_cast<const CUxToolbarMenuButtonsButton*>(button); }

}  // namespace

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxMenuBar, CUxToolBar, kNoSchema, createInstance<CUxMenuBar>)

CUxMenuBar::CUxMenuBar(QWidget* parent) : CUxToolBar(parent) {
  m_bMenuMode = true;
  m_showAllTimer.setSingleShot(true);
  connect(&m_showAllTimer, &QTimer::timeout, this, [this] {
    int index = -1;
    CUxToolbarMenuButton* open = GetDroppedDownMenu(&index);
    if (!open || !open->m_pPopupMenu || !open->m_rect.contains(WidgetToClient(mapFromGlobal(QCursor::pos())))) return;
    if (!open->m_pPopupMenu->GetMenuBar()->AreAllCommandsShown()) open->m_pPopupMenu->ShowAllCommands();
  });
}

CUxMenuBar::~CUxMenuBar() {
  stopWatchingDockDrag();
  if (m_hMenu && m_hMenu != m_hDefaultMenu) destroyMenu(m_hMenu);
}

void CUxMenuBar::SetShowAllCommands(bool on) { menuBarShowAllCommands() = on; }

void CUxMenuBar::measureSystemButton() {
  const int side = getSystemMetrics(SmCxMenuSize);
  // The caption glyph sits inside the square less its frame.
  m_szSystemButton = {std::max(1, side - 2), std::max(1, getSystemMetrics(SmCyMenuSize) - 4)};
}

bool CUxMenuBar::Create(QWidget* parent, unsigned style, unsigned id) {
  m_pParentWnd = parent;
  return CUxToolBar::Create(parent, style, id);
}

bool CUxMenuBar::CreateEx(QWidget* parent, unsigned ctrlStyle, unsigned style, Rect borders, unsigned id) {
  m_pParentWnd = parent;
  if (!CUxToolBar::CreateEx(parent, ctrlStyle, style | CbrsHideInplace, borders, id)) return false;
  if (MenuBarFrame* host = frame()) host->SetMenuBar(this);
  measureSystemButton();
  return true;
}

void CUxMenuBar::OnGlobalFontsChanged() {
  CUxToolBar::OnGlobalFontsChanged();
  measureSystemButton();
}

std::vector<DocumentMenu> CUxMenuBar::documentMenus() const {
  if (!m_bAutoDocMenus || !frame()) return {};
  std::vector<DocumentMenu> menus = frame()->DocumentMenus();
  std::erase_if(menus, [](const DocumentMenu& document) { return !document.menu; });
  return menus;
}

std::vector<std::unique_ptr<CUxToolbarButton>> CUxMenuBar::itemsOf(MenuHandle menu) {
  std::vector<std::unique_ptr<CUxToolbarButton>> items;
  for (int i = 0, count = getMenuItemCount(menu); i < count; ++i) {
    const unsigned position = static_cast<unsigned>(i);
    const std::wstring text = getMenuString(menu, position, MfByPosition);
    const MenuHandle sub = getSubMenu(menu, i);
    const unsigned id = sub ? kSubMenuCommand : getMenuItemId(menu, i);
    std::unique_ptr<CUxToolbarButton> item;
    if (!sub && id == 0) {
      item = std::make_unique<CUxToolbarButton>();
      item->m_nStyle = kStyleSeparator;
    } else if (sub) {
      item = std::make_unique<CUxToolbarMenuButton>(0, sub, -1, text.c_str());
      item->m_bShowText = true;
    } else {
      item = std::make_unique<CUxToolbarButton>(id, -1, text.c_str());
      item->m_bShowText = true;
    }
    items.push_back(std::move(item));
  }
  return items;
}

void CUxMenuBar::buildFromMenu(MenuHandle menu) {
  m_hListMenu = menu;
  RemoveAllButtons();
  for (auto& item : itemsOf(menu)) {
    if (item->m_nStyle & kStyleSeparator) InsertSeparator();
    else InsertButton(std::move(item));
  }
}

void CUxMenuBar::showList(MenuHandle menu) {
  m_hListMenu = menu;
  if (!menuHash().LoadMenuBar(menu, this)) buildFromMenu(menu);
}

void CUxMenuBar::takeOriginalItemsFromDefaultMenu() {
  m_OrigButtons = itemsOf(m_hDefaultMenu);
}

void CUxMenuBar::withShownListStored(const std::function<void()>& work) {
  const bool maximized = m_bMaximizeMode;
  removeMaximizeButtons();
  if (m_hMenu) menuHash().SaveMenuBar(m_hMenu, this);
  {
    const QScopedValueRollback swapped(m_bListSwapped, true);
    work();
  }
  if (m_hMenu) showList(m_hMenu);
  if (maximized) setMaximizeMode(true);
  AdjustLayout();
  if (MenuBarFrame* host = frame()) host->RecalcLayout();
  update();
}

void CUxMenuBar::SetDefaultMenuResId(unsigned id) {
  m_uiDefaultMenuResId = id & 0xFFFF;
  m_uiOriginalResID = m_uiDefaultMenuResId;
}

void CUxMenuBar::Serialize(Archive& ar) {
  // A damaged list throws out of here: the flag goes back all the same.
  const QScopedValueRollback serializing(m_bSerializing, true);
  CUxToolBar::Serialize(ar);
}

void CUxMenuBar::ReloadFromResource() {
  if (m_bSerializing || m_bListSwapped) {
    // A damaged stored list, or a reset asked for while the bar holds another menu's list (the
    // frame answering a reset notice): that list starts again from its menu, and the caller
    // stores it.
    if (m_hListMenu) buildFromMenu(m_hListMenu);
    return;
  }
  withShownListStored([this] {
    for (const DocumentMenu& document : documentMenus()) {
      const MenuHandle fresh = frame()->LoadDocumentMenu(document.resourceId);
      if (!fresh) continue;
      buildFromMenu(fresh);
      menuHash().SaveMenuBar(fresh, this);
      frame()->SetDocumentMenu(document.resourceId, fresh);
      menuHash().RemoveMenu(document.menu);
      if (m_hMenu == document.menu) m_hMenu = fresh;
      destroyMenu(document.menu);
    }
    if (!m_hDefaultMenu) return;
    menuHash().RemoveMenu(m_hDefaultMenu);
    buildFromMenu(m_hDefaultMenu);
    menuHash().SaveMenuBar(m_hDefaultMenu, this);
    OnDefaultMenuLoaded(m_hDefaultMenu);
  });
}

void CUxMenuBar::ResetAllImages() {
  if (m_bSerializing || m_bListSwapped) {
    CUxToolBar::ResetAllImages();
    return;
  }
  withShownListStored([this] {
    std::vector<MenuHandle> menus;
    for (const DocumentMenu& document : documentMenus()) menus.push_back(document.menu);
    menus.push_back(m_hDefaultMenu);
    if (std::find(menus.begin(), menus.end(), m_hMenu) == menus.end()) menus.push_back(m_hMenu);
    for (const MenuHandle menu : menus) {
      if (!menu || !menuHash().LoadMenuBar(menu, this)) continue;
      m_hListMenu = menu;
      CUxToolBar::ResetAllImages();
      menuHash().SaveMenuBar(menu, this);
    }
  });
}

bool CUxMenuBar::SmartUpdate(const std::vector<CUxToolbarButton*>& previous) {
  bool changed = previous.size() != m_OrigButtons.size();
  for (size_t i = 0; !changed && i < previous.size(); ++i) changed = !m_OrigButtons[i]->CompareWith(*previous[i]);
  m_bResourceWasChanged = changed;
  return changed;
}

void CUxMenuBar::CreateFromMenu(MenuHandle menu, bool defaultMenu, bool forceUpdate) {
  if (hasFocus() && m_pParentWnd) m_pParentWnd->setFocus();
  if (menu == m_hMenu && !IsCustomizeMode() && !forceUpdate) {
    setMaximizeMode(frame() && frame()->ActiveMdiChild().maximized);
    update();
    return;
  }
  removeMaximizeButtons();
  if (m_hMenu) menuHash().SaveMenuBar(m_hMenu, this);
  m_bMaximizeMode = false;
  m_hMenu = menu;
  if (defaultMenu) m_hDefaultMenu = menu;
  showList(menu);
  setMaximizeMode(frame() && frame()->ActiveMdiChild().maximized);
  AdjustLayout();
  if (MenuBarFrame* host = frame()) host->RecalcLayout();
}

void CUxMenuBar::removeMaximizeButtons() {
  if (!m_bMaximizeMode) return;
  for (int i = 0; i < m_nSystemButtonsNum; ++i) RemoveButton(GetCount() - 1 - (m_pCustomizeBtn ? 1 : 0));
  if (dynamic_cast<CUxToolbarSystemMenuButton*>(GetButton(0))) RemoveButton(0);
  m_nSystemButtonsNum = 0;
  m_bMaximizeMode = false;
}

void CUxMenuBar::setMaximizeMode(bool maximized) {
  removeMaximizeButtons();
  MenuBarFrame* host = frame();
  if (!maximized || !host || !host->IsMdiFrame()) {
    AdjustLayout();
    return;
  }
  const MdiChildState child = host->ActiveMdiChild();
  InsertButton(std::make_unique<CUxToolbarSystemMenuButton>(child.systemMenu, child.icon), 0);
  const int end = m_pCustomizeBtn ? GetCount() - 1 : -1;
  auto add = [&](unsigned command, bool disabled) {
    auto button = std::make_unique<CUxToolbarMenuButtonsButton>(command);
    if (disabled) button->m_nStyle |= kStyleDisabled;
    InsertButton(std::move(button), end < 0 ? -1 : GetCount() - 1);
    ++m_nSystemButtonsNum;
  };
  if (child.minimizeBox) add(kScMinimize, false);
  if (child.maximizeBox) add(kScRestore, false);
  const unsigned close = getMenuState(child.systemMenu, kScClose, MfByCommand);
  add(kScClose, close != kMenuError && (close & (MfGrayed | MfDisabled)));
  m_bMaximizeMode = true;
  AdjustLayout();
  host->RecalcLayout();
  update();
}

int CUxMenuBar::GetRowHeight() const {
  const Size menuButton = toolbarClassData().sizeMenuButton;
  int height = m_bHaveButtons ? GetButtonSize().cy : (menuButton.cy > 0 ? menuButton.cy : 22) - 2;
  GlobalDrawData& data = globalData();
  return std::max(height, IsHorizontal() ? data.nTextHeight : data.TextHeightVert());
}

int CUxMenuBar::GetColumnWidth() const {
  const Size menuButton = toolbarClassData().sizeMenuButton;
  return m_bHaveButtons ? GetButtonSize().cx : (menuButton.cx > 0 ? menuButton.cx : 23) - 2;
}

int CUxMenuBar::CalcMaxButtonHeight() {
  m_bHaveButtons = false;
  for (const auto& button : m_Buttons) {
    if (isWindowButton(button.get()) || dynamic_cast<CUxToolbarSystemMenuButton*>(button.get())) continue;
    if (button->m_bShowImage && button->GetImage() >= 0) m_bHaveButtons = true;
  }
  return GetRowHeight();
}

Size CUxMenuBar::CalcLayout(unsigned mode, int length) {
  OnSetHotButton(-1);
  CalcMaxButtonHeight();
  const bool mruQuery = (mode & LmHorz) && (mode & LmMruWidth);
  // While the bar is dragged it is measured for docking even when it floats.
  const bool dragged = m_pDockContext && m_pDockContext->IsTracking();
  if (mruQuery || (IsFloating() && !dragged)) {
    const Size size = CUxToolBar::CalcLayout(mode, length);
    RebuildAccelerationKeys();
    return size;
  }
  QRect area = frame() ? frame()->DockingRect() : QRect();
  if (area.isEmpty()) {
    QWidget* owner = GetOwner();
    area = owner ? owner->contentsRect() : QRect(0, 0, width(), height());
  }
  Rect inset;
  CalcInsideRect(inset, !(mode & LmVertDock) && (mode & LmHorz));
  Size size;
  if ((mode & LmVertDock) || !(mode & LmHorz)) {
    size = {CalcSize(true).cx - inset.left + inset.right, area.height()};
  } else {
    const int inner = std::max(1, area.width() + inset.left - inset.right);
    wrapToolBar(inner, 0x7fff);
    size = {area.width(), CalcSize(false).cy - inset.top + inset.bottom};
  }
  RebuildAccelerationKeys();
  return size;
}

CUxToolBar::TrailingButtons CUxMenuBar::trailingButtons(bool horizontal) const {
  if (!m_bMaximizeMode || m_nSystemButtonsNum == 0) return {};
  const int side = horizontal ? m_szSystemButton.cx : m_szSystemButton.cy;
  return {m_nSystemButtonsNum, m_nSystemButtonsNum * (side + 1)};
}

void CUxMenuBar::AdjustLocations() {
  CUxToolBar::AdjustLocations();
  if (!m_bMaximizeMode || m_nSystemButtonsNum == 0) return;
  const Rect client = ClientRect();
  const bool horizontal = IsHorizontal();
  const int last = GetCount() - 1 - (m_pCustomizeBtn ? 1 : 0);
  int edge = horizontal ? client.right : client.bottom;
  // The chevron stays last: the window buttons end one pixel before it.
  if (m_pCustomizeBtn && !m_pCustomizeBtn->m_bHidden && !m_pCustomizeBtn->m_rect.isEmpty())
    edge = (horizontal ? m_pCustomizeBtn->m_rect.left : m_pCustomizeBtn->m_rect.top) - 1;
  for (int i = last; i > last - m_nSystemButtonsNum; --i) {
    CUxToolbarButton* button = GetButton(i);
    Rect r;
    if (horizontal) {
      const int top = client.top + (client.height() - m_szSystemButton.cy) / 2;
      r = {edge - m_szSystemButton.cx, top, edge, top + m_szSystemButton.cy};
      edge = r.left - 1;
    } else {
      const int left = client.left + (client.width() - m_szSystemButton.cx) / 2;
      r = {left, edge - m_szSystemButton.cy, left + m_szSystemButton.cx, edge};
      edge = r.top - 1;
    }
    button->SetRect(r);
  }
}

int CUxMenuBar::FindDropIndex(Point point, Rect& marker) const {
  const int index = CUxToolBar::FindDropIndex(point, marker);
  return m_bMaximizeMode ? std::min(index, ordinaryCount()) : index;
}

bool CUxMenuBar::OnSendCommand(const CUxToolbarButton* button) {
  const auto* windowButton = dynamic_cast<const CUxToolbarMenuButtonsButton*>(button);
  if (!windowButton) return false;
  MenuBarFrame* host = frame();
  if (!host || !host->IsMdiFrame()) QApplication::beep();
  else host->SendActiveChildSysCommand(windowButton->m_uiSystemCommand);
  return true;
}

void CUxMenuBar::OnSetHotButton(int hot) {
  CUxToolBar::OnSetHotButton(hot);
  if (GetDroppedDownMenu()) m_showAllTimer.start(kShowAllDelayMs);
  else SetShowAllCommands(false);
}

bool CUxMenuBar::PreTranslateKey(int key) {
  if (GetDroppedDownMenu() || m_iHighlighted < 0) return CUxToolBar::PreTranslateKey(key);
  const int ordinary = ordinaryCount();
  switch (virtualKeyOf(key)) {
    case VkReturn:
    case VkDown: {
      CUxToolbarButton* button = GetButton(m_iHighlighted);
      if (!DropDownMenu(button) && virtualKeyOf(key) == VkReturn) SendButtonCommand(button);
      return true;
    }
    case VkEscape:
      Deactivate();
      RestoreFocus();
      SetShowAllCommands(false);
      return CUxToolBar::PreTranslateKey(key);
    case VkLeft:
    case VkRight: {
      if (ordinary <= 0) return true;
      const int step = virtualKeyOf(key) == VkLeft ? -1 : 1;
      int index = m_iHighlighted;
      for (int tries = 0; tries < ordinary; ++tries) {
        index = ((index + step) % ordinary + ordinary) % ordinary;
        if (!(GetButton(index)->m_nStyle & kStyleSeparator)) break;
      }
      const int old = m_iHighlighted;
      m_iHighlighted = index;
      InvalidateButton(old);
      InvalidateButton(index);
      return true;
    }
    default:
      if (const unsigned vk = virtualKeyOf(key)) return TranslateChar(vk);
      return false;
  }
}

void CUxMenuBar::focusInEvent(QFocusEvent* event) {
  CUxToolBar::focusInEvent(event);
  if (GetDroppedDownMenu()) return;
  sendIdlePrompt(GetOwner());
  if (m_iHighlighted < 0 && GetCount() > 0) {
    m_iHighlighted = m_bMaximizeMode ? 1 : 0;
    InvalidateButton(m_iHighlighted);
  }
}

void CUxMenuBar::OnLButtonDown(unsigned flags, Point point) {
  if (HitTest(point) < 0 && GetDroppedDownMenu()) return;
  CUxToolBar::OnLButtonDown(flags, point);
  if (m_pDockContext && m_pDockContext->IsTracking()) watchDockDrag();
}

void CUxMenuBar::watchDockDrag() {
  if (m_dockDragHook) return;
  m_dockDragHook = installMouseHook([this](QWidget*, QMouseEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease || event->button() != Qt::LeftButton) return false;
    // A floated menu bar starts on the work area of the screen it was dragged on.
    const QPoint centre = mapToGlobal(rect().center());
    QScreen* screen = QGuiApplication::screenAt(centre);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen && m_pDockContext) m_pDockContext->m_ptWorkAreaOrigin = screen->availableGeometry().topLeft();
    stopWatchingDockDrag();
    return false;
  });
}

void CUxMenuBar::stopWatchingDockDrag() {
  if (m_dockDragHook) removeMouseHook(m_dockDragHook);
  m_dockDragHook = 0;
}

void CUxMenuBar::moveEvent(QMoveEvent* event) {
  stopWatchingDockDrag();
  CUxToolBar::moveEvent(event);
}

void CUxMenuBar::OnLButtonDblClk(unsigned flags, Point point) {
  auto* button = dynamic_cast<CUxToolbarMenuButton*>(GetButton(HitTest(point)));
  if (button && !dynamic_cast<CUxToolbarSystemMenuButton*>(button) && !IsCustomizeMode() && recentlyUsedMenus() &&
      commandUsage().HasEnoughInformation()) {
    SetShowAllCommands(true);
    button->OnCancelMode();
    button->OnClick(this, false);
    return;
  }
  CUxToolBar::OnLButtonDblClk(flags, point);
}

bool CUxMenuBar::SetDefaultButtonText(CUxToolbarButton* button) {
  std::function<bool(MenuHandle)> find = [&](MenuHandle menu) {
    for (int i = 0, count = getMenuItemCount(menu); i < count; ++i) {
      if (const MenuHandle sub = getSubMenu(menu, i)) {
        if (find(sub)) return true;
      } else if (getMenuItemId(menu, i) == button->m_nCommandId) {
        button->m_strText = getMenuString(menu, static_cast<unsigned>(i), MfByPosition);
        return true;
      }
    }
    return false;
  };
  if (button && find(m_hMenu)) return true;
  return CUxToolBar::SetDefaultButtonText(button);
}

bool CUxMenuBar::SaveState(const std::wstring& profileName, int index, unsigned) {
  const std::wstring profile = UxGetRegPath(kMenuBarProfile, profileName);
  bool saved = true;
  withShownListStored([&] {
    // Each document menu under its template's resource id, the default menu under 0.
    for (const DocumentMenu& document : documentMenus()) {
      if (!menuHash().LoadMenuBar(document.menu, this)) continue;
      m_hListMenu = document.menu;
      m_OrigButtons = itemsOf(document.menu);
      saved = CUxToolBar::SaveState(profile, index, document.resourceId) && saved;
    }
    if (!m_hDefaultMenu || !menuHash().LoadMenuBar(m_hDefaultMenu, this)) return;
    m_hListMenu = m_hDefaultMenu;
    takeOriginalItemsFromDefaultMenu();
    saved = CUxToolBar::SaveState(profile, index, 0) && saved;
  });
  return saved;
}

bool CUxMenuBar::LoadState(const std::wstring& profileName, int index, unsigned) {
  const std::wstring profile = UxGetRegPath(kMenuBarProfile, profileName);
  bool loaded = false;
  // One menu's saved titles; the frame is told when there are none, or the menu changed since.
  auto loadMenu = [&](MenuHandle menu, unsigned resourceId, unsigned barId) {
    showList(menu);
    m_OrigButtons = itemsOf(menu);
    m_bResourceWasChanged = false;
    const bool found = CUxToolBar::LoadState(profile, index, barId);
    if ((!found || IsResourceChanged()) && m_pParentWnd) {
      RegisteredMessageEvent reset(UXTOOLBAR_RESETMENU, resourceId, 0);
      QCoreApplication::sendEvent(m_pParentWnd, &reset);
    }
    menuHash().SaveMenuBar(menu, this);
    return found;
  };
  withShownListStored([&] {
    for (const DocumentMenu& document : documentMenus())
      loadMenu(document.menu, document.resourceId, document.resourceId);
    if (m_hDefaultMenu) loaded = loadMenu(m_hDefaultMenu, m_uiDefaultMenuResId, 0);
  });
  return loaded;
}
