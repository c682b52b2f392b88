// The popup menu bar's items: import from and export to menu handles, the column layout, the
// rarely used runs, the insertion mark, and choosing an item.
#include "uictl/bars/menus/popup_menu_bar.h"

#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/menus/tear_off_ids.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QCursor>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxPopupMenuBar, CUxToolBar, kNoSchema, createInstance<CUxPopupMenuBar>)

namespace {

constexpr int kSeparatorHeight = 8;
constexpr int kEmptyWidth = 52;
constexpr int kEmptyHeight = 22;
constexpr int kShortcutGap = 10;
constexpr int kDefaultShowDelay = 500;
constexpr unsigned kMaxShowDelay = 5000;

bool isSeparator(const CUxToolbarButton* button) { return button->m_nStyle & kStyleSeparator; }

}  // namespace

int CUxPopupMenuBar::m_nMenuShowDelay = -1;

bool& recentlyUsedMenus() {
  static bool on = true;
  return on;
}

bool& menuBarShowAllCommands() {
  static bool on = false;
  return on;
}

bool isHiddenMenuCommand(unsigned command) {
  return !menuBarShowAllCommands() && recentlyUsedMenus() && commandUsage().HasEnoughInformation() &&
         CUxToolBar::IsCommandRarelyUsed(command);
}

void CUxPopupMenuBar::ReadMenuShowDelay() {
  m_nMenuShowDelay = kDefaultShowDelay;
  CUxRegistry registry(false, true);
  std::wstring value;
  if (!registry.Open(L"Control Panel\\Desktop") || !registry.Read(L"MenuShowDelay", value)) return;
  // The leading decimal number counts; anything above the limit (negative ones too) is the limit.
  size_t i = 0;
  const bool negative = !value.empty() && value[0] == L'-';
  if (negative || (!value.empty() && value[0] == L'+')) ++i;
  unsigned long long number = 0;
  for (; i < value.size() && value[i] >= L'0' && value[i] <= L'9'; ++i) {
    number = number * 10 + static_cast<unsigned>(value[i] - L'0');
    if (number > kMaxShowDelay) break;
  }
  m_nMenuShowDelay = (negative && number != 0) || number > kMaxShowDelay ? static_cast<int>(kMaxShowDelay)
                                                                         : static_cast<int>(number);
}

CUxPopupMenuBar::CUxPopupMenuBar(QWidget* parent) : CUxToolBar(parent) {
  m_bMenuMode = true;
  m_openTimer.setSingleShot(true);
  m_closeTimer.setSingleShot(true);
  connect(&m_openTimer, &QTimer::timeout, this, [this] { onOpenTimer(); });
  connect(&m_closeTimer, &QTimer::timeout, this, [this] { onCloseTimer(); });
  if (m_nMenuShowDelay < 0) ReadMenuShowDelay();
}

CUxPopupMenuBar::~CUxPopupMenuBar() { stopTimers(); }

CUxPopupMenu* CUxPopupMenuBar::GetPopup() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* popup = dynamic_cast<CUxPopupMenu*>(w)) return popup;
  return nullptr;
}

void CUxPopupMenuBar::stopTimers() {
  m_openTimer.stop();
  m_closeTimer.stop();
  m_pDelayedPopupMenuButton = m_pDelayedClosePopupMenuButton = nullptr;
}

void CUxPopupMenuBar::forgetButton(const CUxToolbarButton* button) {
  CUxToolBar::forgetButton(button);
  if (button == m_pDelayedPopupMenuButton) {
    m_openTimer.stop();
    m_pDelayedPopupMenuButton = nullptr;
  }
  if (button == m_pDelayedClosePopupMenuButton) {
    m_closeTimer.stop();
    m_pDelayedClosePopupMenuButton = nullptr;
  }
}

Size CUxPopupMenuBar::GetCurrentMenuImageSize() const {
  if (m_pRelatedToolbar && m_pRelatedToolbar->IsLocked()) return m_pRelatedToolbar->GetImageSize();
  return GetMenuImageSize();
}

bool CUxPopupMenuBar::ImportFromMenu(MenuHandle menu, bool showAllCommands) {
  RemoveAllButtons();
  m_bAreAllCommandsShown = true;
  m_HiddenItemsAccel.clear();
  if (!menu || !isMenu(menu)) return false;
  CUxPopupMenu* popup = GetPopup();
  QWidget* owner = popup ? popup->GetMessageWnd() : nullptr;
  QWidget* frame = popup ? popup->GetTopFrame() : GetTopFrame(this);
  if (auto* target = dynamic_cast<CommandTarget*>(owner ? owner : frame)) target->onInitPopup(menu);
  if (!isMenu(menu)) return false;

  const int count = getMenuItemCount(menu);
  bool previousWasSeparator = true;
  for (int i = 0; i < count; ++i) {
    const unsigned position = static_cast<unsigned>(i);
    const unsigned state = getMenuState(menu, position, MfByPosition);
    std::wstring text = getMenuString(menu, position, MfByPosition);
    if (isSeparatorState(state)) {
      if (!previousWasSeparator && i != count - 1) {
        InsertSeparator();
        previousWasSeparator = true;
      }
      continue;
    }
    const MenuHandle sub = getSubMenu(menu, i);
    const unsigned command = sub ? kSubMenuCommand : getMenuItemId(menu, i);
    // A sub-menu that can be torn off carries its id in its title, as the menu buttons read it.
    const unsigned tearOffId = sub ? takeTearOffId(text) : 0;
    if (!showAllCommands && isHiddenMenuCommand(command)) {
      if (IsCommandPermitted(command)) {
        m_bAreAllCommandsShown = false;
        const PrefixedText decoded = stripPrefixes(text);
        if (decoded.acceleratorIndex >= 0 && decoded.acceleratorIndex < static_cast<int>(decoded.visible.size())) {
          const QString letter =
              QString::fromStdWString(decoded.visible.substr(static_cast<size_t>(decoded.acceleratorIndex), 1)).toUpper();
          m_HiddenItemsAccel[static_cast<wchar_t>(letter.at(0).unicode())] = command;
        }
      }
      continue;
    }
    auto item = std::make_unique<CUxToolbarMenuButton>(command, sub, -1, text.c_str());
    item->SetTearOffId(tearOffId);
    if (state & (MfGrayed | MfDisabled)) item->m_nStyle |= kStyleDisabled;
    if (state & MfChecked) item->m_nStyle |= kStyleChecked;
    if (state & MfMenuBreak) item->m_nStyle |= kStyleMenuBreak;
    const int index = InsertButton(std::move(item));
    // An item takes its look from the bar it joins: whether it shows its image is set after.
    if (CUxToolbarButton* inserted = GetButton(index)) {
      inserted->m_bShowText = true;
      inserted->m_bShowImage = inserted->GetImage() >= 0;
    }
    previousWasSeparator = false;
  }
  // A separator never ends the list, even when hidden items followed it.
  while (GetCount() > 0 && isSeparator(GetButton(GetCount() - 1))) RemoveButton(GetCount() - 1);
  const unsigned defaultItem = getMenuDefaultItem(menu);
  m_uiDefaultMenuCmdId = defaultItem == kMenuError ? 0 : defaultItem;
  return true;
}

MenuHandle CUxPopupMenuBar::ExportToMenu() const {
  const MenuHandle menu = createPopupMenu();
  for (int i = 0; i < GetCount(); ++i) {
    const CUxToolbarButton* button = GetButton(i);
    if (isSeparator(button)) {
      appendMenu(menu, MfSeparator, 0);
      continue;
    }
    const auto* item = dynamic_cast<const CUxToolbarMenuButton*>(button);
    const unsigned breakFlag = (button->m_nStyle & kStyleMenuBreak) ? MfMenuBreak : 0u;
    if (item && item->m_nCommandId == kSubMenuCommand) {
      if (const MenuHandle sub = item->ExportToMenu())
        appendMenu(menu, MfPopup | breakFlag, sub.id(), titleWithTearOffId(item->m_strText, item->m_uiTearOffId));
      continue;
    }
    appendMenu(menu, MfString | breakFlag, button->m_nCommandId, button->m_strText);
  }
  if (m_uiDefaultMenuCmdId) setMenuDefaultItem(menu, m_uiDefaultMenuCmdId);
  return menu;
}

Size CUxPopupMenuBar::CalcSize(bool) {
  MeasuringDc dc(globalData().fontRegular);
  m_arColumns.clear();
  if (m_Buttons.empty()) {
    Size size{kEmptyWidth, kEmptyHeight};
    if (m_iMaxWidth > 0 && size.cx > m_iMaxWidth) size.cx = m_iMaxWidth;
    m_arColumns.push_back(size.cx);
    return size;
  }
  const Size image = GetCurrentMenuImageSize();
  const Size cell{image.cx + 2, std::max(image.cy + 2, globalData().nTextHeight)};
  const bool customize = IsCustomizeMode();
  int columnWidth = 0, columnHeight = 0, tallest = 0, edge = 0;
  for (auto& button : m_Buttons) {
    const bool isDefault = m_uiDefaultMenuCmdId != 0 && button->m_nCommandId == m_uiDefaultMenuCmdId;
    if (isDefault) dc->selectFont(globalData().fontBold);
    Size size = button->OnCalculateSize(dc.get(), cell, false);
    if (isDefault) dc->selectFont(globalData().fontRegular);
    if ((button->m_nStyle & kStyleMenuBreak) && !customize && columnHeight > 0) {
      tallest = std::max(tallest, columnHeight);
      edge += columnWidth + 1;
      m_arColumns.push_back(edge);
      columnWidth = columnHeight = 0;
    }
    if (isSeparator(button.get())) {
      size.cy = kSeparatorHeight;
    } else {
      const size_t tab = button->m_strText.find(L'\t');
      if (tab != std::wstring::npos && tab > 0) size.cx += kShortcutGap;
      button->m_bWholeText = m_iMaxWidth <= 0 || size.cx <= m_iMaxWidth - 2;
      columnWidth = std::max(columnWidth, size.cx);
    }
    columnHeight += size.cy;
  }
  tallest = std::max(tallest, columnHeight);
  Size size{edge + columnWidth + 2, tallest + 2};
  if (m_iMaxWidth > 0 && size.cx > m_iMaxWidth) size.cx = m_iMaxWidth;
  m_arColumns.push_back(size.cx);
  return size;
}

void CUxPopupMenuBar::AdjustLocations() {
  if (m_xSeparatorOffsetLeft == 0) {
    CUxToolbarMenuButton::GetMenuItemMetrics(m_xSeparatorOffsetLeft, m_xSeparatorOffsetRight);
  }
  const Rect client = ClientRect();
  const int row = GetRowHeight();
  const bool customize = IsCustomizeMode();
  const int firstY = client.top - row * m_iOffset + 1;
  int y = firstY, x = client.left;
  size_t column = 0;
  int right = (!m_arColumns.empty() && !customize) ? m_arColumns[0] : client.width();
  for (auto& button : m_Buttons) {
    if ((button->m_nStyle & kStyleMenuBreak) && !customize && y != firstY) {
      y = firstY;
      x = right + 1;
      if (column + 1 < m_arColumns.size()) right = m_arColumns[++column];
    }
    Rect rect;
    if (isSeparator(button.get())) {
      rect = {x + m_xSeparatorOffsetLeft, y, right - m_xSeparatorOffsetRight, y + kSeparatorHeight};
    } else {
      rect = {x, y, right, y + row};
    }
    if (rect != button->m_rect) {
      button->SetRect(rect);
      button->OnMove();
    }
    y += rect.height();
  }
  RebuildAccelerationKeys();
  if (HitTest(WidgetToClient(mapFromGlobal(QCursor::pos()))) >= 0) m_bAcceptLButtonUp = false;
}

void CUxPopupMenuBar::AdjustLayout() {
  AdjustLocations();
  update();
}

void CUxPopupMenuBar::SetOffset(int offset) {
  if (offset == m_iOffset) return;
  m_iOffset = offset;
  AdjustLocations();
  update();
}

int CUxPopupMenuBar::rarelyUsedEnd(int start) const {
  int end = start;
  while (end < GetCount()) {
    const CUxToolbarButton* button = GetButton(end);
    if (isSeparator(button)) {
      const CUxToolbarButton* next = GetButton(end + 1);
      if (!next || isSeparator(next) || !IsCommandRarelyUsed(next->m_nCommandId)) break;
    } else if (!IsCommandRarelyUsed(button->m_nCommandId)) {
      break;
    }
    ++end;
  }
  return end;
}

void CUxPopupMenuBar::OnFillBackground(Dc* dc) {
  CUxPopupMenu* popup = GetPopup();
  if (IsCustomizeMode() || !recentlyUsedMenus() || !popup || !popup->HasParentButton()) return;
  for (int i = 0; i < GetCount();) {
    const int end = isSeparator(GetButton(i)) ? i : rarelyUsedEnd(i);
    if (end == i) {
      ++i;
      continue;
    }
    const Rect first = GetButton(i)->m_rect;
    const int bottom = end < GetCount() ? GetButton(end)->m_rect.top : GetButton(end - 1)->m_rect.bottom;
    CUxVisualManager::GetInstance()->OnHighlightRarelyUsedMenuItems(dc, {first.left, first.top, first.right, bottom});
    i = end;
  }
}

int CUxPopupMenuBar::FindDropIndex(Point point, Rect& marker) const {
  const Rect client = ClientRect();
  if (m_Buttons.empty()) {
    marker = {client.left, client.top - 3, client.right, client.top + 3};
    return 0;
  }
  const int y = std::max(0, point.y);
  for (int i = 0; i < GetCount(); ++i) {
    const Rect r = GetButton(i)->m_rect;
    int line = -1, index = i;
    if (r.top > y) {
      line = r.top;
    } else if (y < r.bottom) {
      if (r.bottom - y < y - r.top) {
        line = r.bottom;
        index = i + 1;
      } else {
        line = r.top;
      }
    }
    if (line >= 0) {
      marker = {client.left, line - 3, client.right, line + 3};
      return index;
    }
  }
  marker = {client.left, client.bottom - 3, client.right, client.bottom + 3};
  return GetCount();
}

void CUxPopupMenuBar::DrawDragMarker(Dc* dc) {
  const Rect r = m_rectDrag;
  if (r.isEmpty()) return;
  for (int i = 0; i < 2; ++i) {
    const int y = r.top + r.height() / 2 + i - 1;
    dc->fillSolidRect({r.left, y, r.right, y + 1}, globalData().clrBtnText);
    dc->fillSolidRect({r.left + i, r.top + i, r.left + i + 1, r.bottom - i}, globalData().clrBtnText);
    dc->fillSolidRect({r.right - i - 1, r.top + i, r.right - i, r.bottom - i}, globalData().clrBtnText);
  }
}

void CUxPopupMenuBar::DrawSeparator(Dc* dc, const Rect& rect, bool) {
  CUxVisualManager::GetInstance()->OnDrawSeparator(dc, rect, false);
}

QWidget* CUxPopupMenuBar::GetCommandTarget() const {
  CUxPopupMenu* popup = GetPopup();
  if (popup && popup->GetMessageWnd()) return popup->GetMessageWnd();
  return CUxToolBar::GetCommandTarget();
}

unsigned CUxPopupMenuBar::OnDragOver(const QMimeData* data, unsigned keyState, Point point) {
  const auto* open = dynamic_cast<const CUxToolbarMenuButton*>(GetButton(HitTest(point)));
  if (open && open->m_pPopupMenu && !(keyState & MkControl)) return DropEffectNone;
  return CUxToolBar::OnDragOver(data, keyState, point);
}

std::unique_ptr<CUxToolbarButton> CUxPopupMenuBar::CreateDroppedButton(const QMimeData* data) {
  std::unique_ptr<CUxToolbarButton> button = CUxToolBar::CreateDroppedButton(data);
  if (!button) return nullptr;
  if (dynamic_cast<CUxToolbarMenuButton*>(button.get())) return button;
  const int image = button->m_bShowImage ? button->GetImage() : -1;
  auto item = std::make_unique<CUxToolbarMenuButton>(button->m_nCommandId, MenuHandle{}, image, button->m_strText.c_str(),
                                                     button->m_bUserImage);
  item->m_bShowText = true;
  item->m_bShowImage = button->m_bShowImage;
  if (item->m_strText.empty()) return nullptr;
  return item;
}

bool CUxPopupMenuBar::SetDefaultButtonText(CUxToolbarButton* button) {
  CUxPopupMenu* popup = GetPopup();
  if (CUxToolBar* parent = popup ? popup->GetParentToolBar() : nullptr; parent && parent->SetDefaultButtonText(button))
    return true;
  return CUxToolBar::SetDefaultButtonText(button);
}

int CUxPopupMenuBar::OnToolHitTest(Point point, ToolInfo* info) {
  CUxToolbarButton* button = GetButton(HitTest(point));
  if (!button || isSeparator(button)) return -1;
  if (info) {
    info->rect = button->m_rect;
    info->id = button->m_nCommandId;
    if (button->OnToolHitTest(this, info)) return static_cast<int>(info->id);
  }
  return static_cast<int>(button->m_nCommandId);
}

void CUxPopupMenuBar::SetButtonStyle(int index, unsigned style) {
  CUxToolbarButton* button = GetButton(index);
  if (!button || button->m_nStyle == style) return;
  const unsigned old = button->m_nStyle;
  button->m_nStyle = style;
  if ((old & kStylePressed) && (style & kStylePressed)) return;
  if ((old ^ style) == kStyleCheckBox) return;
  InvalidateButton(index);
}

bool CUxPopupMenuBar::EnableContextMenuItems(CUxToolbarButton* button, MenuHandle popup) {
  if (!IsCustomizeMode()) return false;
  CUxToolBar::EnableContextMenuItems(button, popup);
  enableMenuItem(popup, kCmdImageOnly, MfByCommand | MfGrayed);
  if (button->GetImage() >= 0) {
    enableMenuItem(popup, kCmdTextOnly, MfByCommand);
    enableMenuItem(popup, kCmdImageAndText, MfByCommand);
    const bool withoutImage = GetCommandManager().IsMenuItemWithoutImage(button->m_nCommandId);
    checkMenuItem(popup, kCmdTextOnly, MfByCommand | (withoutImage ? MfChecked : 0u));
    checkMenuItem(popup, kCmdImageAndText, MfByCommand | (withoutImage ? 0u : MfChecked));
  }
  return true;
}

void CUxPopupMenuBar::OnCustomizeCommand(unsigned command) {
  const CUxToolbarButton* selected = GetButton(m_iSelected);
  if (!selected || (command != kCmdTextOnly && command != kCmdImageAndText)) {
    CUxToolBar::OnCustomizeCommand(command);
    return;
  }
  GetCommandManager().MarkCommand(selected->m_nCommandId, command == kCmdImageAndText);
  AdjustLayout();
}

void CUxPopupMenuBar::OnIdleUpdateCmdUI() {
  RecalcDelayShow();
  if (isVisible()) UpdateItemStates();
}

void CUxPopupMenuBar::UpdateItemStates() {
  auto* commands = dynamic_cast<CommandTarget*>(GetCommandTarget());
  CUxPopupMenu* popup = GetPopup();
  if (!commands) commands = dynamic_cast<CommandTarget*>(popup ? popup->GetTopFrame() : GetTopFrame(this));
  if (commands) OnUpdateCmdUI(commands, false);
}

bool CUxPopupMenuBar::OnSendCommand(const CUxToolbarButton* button) {
  if ((button->m_nStyle & kStyleDisabled) || button->m_nCommandId == kSubMenuCommand) return true;
  auto* item = const_cast<CUxToolbarMenuButton*>(dynamic_cast<const CUxToolbarMenuButton*>(button));
  if (item && item->m_pPopupMenu) return true;
  if (item && item->OnSendMenuCommand()) return true;
  if (auto* showAll = dynamic_cast<CUxShowAllButton*>(item)) {
    showAll->OnClick(this, false);
    return true;
  }
  InvokeMenuCommand(button->m_nCommandId, item);
  return true;
}

void CUxPopupMenuBar::SetInCommand(bool inCommand) {
  for (CUxPopupMenu* popup = GetPopup(); popup; popup = popup->GetParentPopupMenu())
    if (CUxPopupMenuBar* bar = popup->GetMenuBar()) bar->m_bInCommand = inCommand;
  m_bInCommand = inCommand;
}

void CUxPopupMenuBar::InvokeMenuCommand(unsigned command, const CUxToolbarMenuButton* item) {
  CUxPopupMenu* popup = GetPopup();
  // Without an owner of its own the chain's frame takes the command, as the toolbars' commands.
  QWidget* owner = popup && popup->GetMessageWnd() ? popup->GetMessageWnd() : (popup ? popup->GetTopFrame() : GetOwner());
  sendIdlePrompt(owner);
  CUxPopupMenu* topPopup = popup;
  while (topPopup && topPopup->GetParentPopupMenu()) topPopup = topPopup->GetParentPopupMenu();
  CUxToolBar* parentBar = topPopup ? topPopup->GetParentToolBar() : nullptr;
  if (parentBar) parentBar->Deactivate();
  QPointer<CUxPopupMenuBar> self(this);
  if (command != 0) {
    SetInCommand(true);
    menuSoundPlay(1);
    auto* chevron = topPopup ? dynamic_cast<CCustomizeButton*>(topPopup->GetParentButton()) : nullptr;
    if (!(chevron && item && chevron->InvokeHiddenButton(this, item))) {
      commandUsage().AddCmd(command);
      // Posted: it runs once the popup chain has gone.
      if (!popup || !popup->PostCommand(command)) postCommand(owner, command, 0);
    }
  }
  if (!self) return;
  SetInCommand(false);
  if (popup) popup->close();
}
