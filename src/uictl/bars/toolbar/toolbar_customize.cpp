// Customise mode of toolbars: switching it, the context menu of customise commands and what
// each command does to the selected button, and which menu commands count as rarely used.
#include "platform/windows/menu_handles.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"
#include "uictl/bars/commands/user_tools.h"

#include <QApplication>
#include <QMenu>

using namespace platform;

namespace {

constexpr unsigned kNoCommand = 0xFFFFFFFFu;

ToolbarMenuTracker& tracker() {
  static ToolbarMenuTracker current;
  return current;
}

void fillMenu(QMenu& target, MenuHandle menu) {
  const int count = getMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const unsigned state = getMenuState(menu, static_cast<unsigned>(i), MfByPosition);
    if (isSeparatorState(state)) {
      target.addSeparator();
      continue;
    }
    const QString text = QString::fromStdWString(getMenuString(menu, static_cast<unsigned>(i), MfByPosition));
    if (MenuHandle sub = getSubMenu(menu, i)) {
      fillMenu(*target.addMenu(text), sub);
      continue;
    }
    QAction* action = target.addAction(text);
    action->setData(getMenuItemId(menu, i));
    action->setEnabled(!(state & (MfGrayed | MfDisabled)));
    action->setCheckable(state & MfChecked);
    action->setChecked(state & MfChecked);
  }
}

unsigned trackWithQMenu(MenuHandle menu, const QPoint& screen, QWidget* owner) {
  QMenu popup(owner);
  fillMenu(popup, menu);
  const QAction* chosen = popup.exec(screen);
  return chosen ? chosen->data().toUInt() : 0;
}

void setItem(MenuHandle menu, unsigned id, bool grey) {
  if (grey) enableMenuItem(menu, id, MfByCommand | MfGrayed);
}

}  // namespace

// A button asked to show its text takes its command's label when it has none; without one
// there is nothing to show, which the user hears.
bool CUxToolBar::hasTextOrBeep(CUxToolbarButton* button) {
  if (button->m_strText.empty()) SetDefaultButtonText(button);
  if (!button->m_strText.empty()) return true;
  QApplication::beep();
  return false;
}

bool CUxToolBar::askAppearance(CUxToolbarButton& button) {
  const ButtonAppearanceOpener& open = buttonAppearanceOpener();
  return open && open(button, *this, IsPureMenuButton(&button));
}

void setToolbarMenuTracker(ToolbarMenuTracker replacement) { tracker() = std::move(replacement); }

MenuHandle loadCustomizeMenu() {
  MenuHandle bar = createMenu();
  MenuHandle popup = createPopupMenu();
  appendMenu(popup, MfString, kCmdToolbarReset, L"リセット(&R)");
  appendMenu(popup, MfString, kCmdCopyImage, L"ボタン イメージのコピー(&C)");
  appendMenu(popup, MfSeparator, 0);
  appendMenu(popup, MfString, kCmdDeleteButton, L"削除(&D)");
  appendMenu(popup, MfString, kCmdAppearance, L"ボタンの外観(&A)...");
  appendMenu(popup, MfSeparator, 0);
  appendMenu(popup, MfString, kCmdImageOnly, L"イメージのみ(&I)");
  appendMenu(popup, MfString, kCmdTextOnly, L"テキストのみ(&T)");
  appendMenu(popup, MfString, kCmdImageAndText, L"イメージとテキスト(&X)");
  appendMenu(popup, MfSeparator, 0);
  appendMenu(popup, MfString, kCmdBeginGroup, L"グループの始まり(&G)");
  appendMenu(popup, MfString, kCmdNewMenu, L"新しいメニュー(&N)");
  appendMenu(bar, MfPopup, popup.id(), L"ツールバー");
  return bar;
}

bool CUxToolBar::IsCustomizeMode() { return toolbarClassData().bCustomizeMode; }

bool CUxToolBar::SetCustomizeMode(bool set) {
  if (toolbarClassData().bCustomizeMode == set) return false;
  std::vector<CUxToolBar*> done;
  // A bar may create or destroy bars while it switches: the walk starts again on a change.
  for (bool restart = true; restart;) {
    restart = false;
    const std::vector<CUxToolBar*> bars = GetAllToolbars();
    for (CUxToolBar* bar : bars) {
      if (std::find(done.begin(), done.end(), bar) != done.end()) continue;
      done.push_back(bar);
      bar->OnCustomizeMode(set);
      if (GetAllToolbars() != bars) {
        restart = true;
        break;
      }
    }
  }
  toolbarClassData().bCustomizeMode = set;
  for (CUxToolBar* bar : GetAllToolbars()) {
    // A chevron's hidden buttons come back while customising (and go again after), so that they
    // can be selected and dragged.
    if (bar->m_pCustomizeBtn) bar->AdjustLayout();
    bar->update();
  }
  if (!set) g_pSelToolBar = nullptr;
  return true;
}

void CUxToolBar::OnCustomizeMode(bool set) {
  m_iButtonCapture = m_iHighlighted = m_iSelected = -1;
  unsetCursor();
  for (auto& button : m_Buttons) {
    button->OnCancelMode();
    if (!(button->m_nStyle & kStyleDisabled)) button->EnableWindow(!set);
  }
}

void CUxToolBar::setSelection(int index) {
  if (g_pSelToolBar && g_pSelToolBar != this) {
    g_pSelToolBar->m_iSelected = -1;
    g_pSelToolBar->update();
  }
  g_pSelToolBar = this;
  m_iSelected = index;
  update();
}

void CUxToolBar::OnContextMenu(Point screen) {
  const bool customize = toolbarClassData().bCustomizeMode;
  if (m_bLocked && customize) {
    QApplication::beep();
    return;
  }
  OnSetHotButton(-1);
  if (!customize) {
    sendPopupMenuRequest(window(), this, screen.x, screen.y);
    return;
  }
  setFocus();
  if (screen == Point{-1, -1}) {
    const QPoint corner = mapToGlobal(ClientToWidget({5, 5}));
    screen = {corner.x(), corner.y()};
  }
  const int hit = HitTest(WidgetToClient(mapFromGlobal(QPoint(screen.x, screen.y))));
  CUxToolbarButton* button = GetButton(hit);
  if (!button || !button->IsEditable()) {
    setSelection(-1);
    return;
  }
  setSelection(hit);
  if (!button->CanBeStored()) return;
  const MenuHandle bar = loadCustomizeMenu();
  const MenuHandle popup = getSubMenu(bar, 0);
  setItem(popup, kCmdToolbarReset, button->m_bLocked);
  unsigned command = 0;
  if (EnableContextMenuItems(button, popup)) {
    const ToolbarMenuTracker track = tracker() ? tracker() : trackWithQMenu;
    command = track(popup, QPoint(screen.x, screen.y), this);
  }
  destroyMenu(bar);
  if (command != 0) OnCustomizeCommand(command);
}

bool CUxToolBar::EnableContextMenuItems(CUxToolbarButton* button, MenuHandle popup) {
  if (!button->EnableCustomizeItems(&popup)) {
    setItem(popup, kCmdCopyImage, !button->m_bShowImage || button->GetImage() < 0);
    setItem(popup, kCmdToolbarReset, button->m_nCommandId == 0 || button->m_nCommandId == kNoCommand);
    const bool labelBelow = button->m_bTextBelow && IsHorizontal();
    unsigned checked = kCmdImageOnly;
    if (button->m_bShowText || labelBelow) checked = button->m_bShowImage ? kCmdImageAndText : kCmdTextOnly;
    checkMenuItem(popup, checked, MfByCommand | MfChecked);
    setItem(popup, kCmdImageOnly, labelBelow);
    if (IsPureMenuButton(button)) {
      for (unsigned id : {kCmdImageOnly, kCmdTextOnly, kCmdImageAndText}) setItem(popup, id, true);
      button->m_bShowText = true;
    }
  }
  // Without the appearance dialog nothing can choose an image or name a new menu.
  if (!buttonAppearanceOpener()) {
    for (unsigned id : {kCmdAppearance, kCmdNewMenu}) setItem(popup, id, true);
    if (button->GetImage() < 0)
      for (unsigned id : {kCmdImageOnly, kCmdImageAndText}) setItem(popup, id, true);
  }
  const int index = ButtonToIndex(button);
  const CUxToolbarButton* before = GetButton(index - 1);
  if (before && (before->m_nStyle & kStyleSeparator)) checkMenuItem(popup, kCmdBeginGroup, MfByCommand | MfChecked);
  setItem(popup, kCmdBeginGroup, index == 0);
  return true;
}

void CUxToolBar::OnCustomizeCommand(unsigned command) {
  CUxToolbarButton* button = GetButton(m_iSelected);
  if (!button) return;
  const UserToolsLookup* tools = userToolsLookup();
  const bool userTool = tools && tools->HasTool(button->m_nCommandId);
  switch (command) {
    case kCmdToolbarReset: {
      if (!userTool) {
        auto found = defaultImages().find(button->m_nCommandId);
        if (found != defaultImages().end() && found->second >= 0) {
          button->m_bUserImage = false;
          button->SetImage(found->second);
          button->m_bShowImage = true;
        } else {
          button->m_bShowImage = false;
        }
        button->m_bShowText = m_bMenuMode || !button->m_bShowImage;
        SetDefaultButtonText(button);
      }
      AdjustLayout();
      GetCommandManager().ClearUserCmdImage(button->m_nCommandId);
      update();
      break;
    }
    case kCmdCopyImage:
      if (userTool) {
        if (const CUxUserTool* tool = CUxUserToolsManager::ToolOf(button->m_nCommandId)) tool->CopyIconToClipboard();
      } else if (!button->m_bUserImage) {
        imagesFor(kImages).CopyImageToClipboard(button->m_iImage);
      } else if (ToolbarImages* user = userImages()) {
        user->CopyImageToClipboard(button->m_iUserImage);
      }
      break;
    case kCmdDeleteButton:
      RemoveButton(m_iSelected);
      m_iSelected = -1;
      AdjustLayout();
      break;
    case kCmdAppearance:
      if (button->m_strText.empty()) SetDefaultButtonText(button);
      if (askAppearance(*button)) {
        AdjustLayout();
        update();
      }
      break;
    case kCmdImageOnly: {
      const bool showText = button->m_bShowText, showImage = button->m_bShowImage;
      button->m_bShowText = false;
      button->m_bShowImage = true;
      // Without an image the dialog asks for one; a Cancel leaves the button as it was.
      if (button->GetImage() < 0 && !askAppearance(*button)) {
        button->m_bShowText = showText;
        button->m_bShowImage = showImage;
      }
      AdjustLayout();
      break;
    }
    case kCmdTextOnly:
      button->m_bShowText = true;
      button->m_bShowImage = false;
      if (!hasTextOrBeep(button)) {
        button->m_bShowText = false;
        button->m_bShowImage = true;
      }
      AdjustLayout();
      break;
    case kCmdImageAndText: {
      const bool showText = button->m_bShowText, showImage = button->m_bShowImage;
      button->m_bShowText = button->m_bShowImage = true;
      if (button->GetImage() < 0 && !askAppearance(*button)) {
        button->m_bShowText = showText;
        button->m_bShowImage = showImage;
      }
      if (!hasTextOrBeep(button)) button->m_bShowText = false;
      AdjustLayout();
      break;
    }
    case kCmdBeginGroup: {
      const CUxToolbarButton* before = GetButton(m_iSelected - 1);
      if (before && (before->m_nStyle & kStyleSeparator)) {
        RemoveButton(m_iSelected - 1);
      } else if (m_iSelected > 0) {
        const int at = m_iSelected;
        ++m_iSelected;
        InsertSeparator(at);
      }
      AdjustLayout();
      break;
    }
    case kCmdNewMenu: {
      auto menu = std::make_unique<CUxToolbarMenuButton>();
      menu->m_bShowText = true;
      menu->m_bShowImage = false;
      if (!askAppearance(*menu)) break;
      const int at = InsertButton(std::move(menu), m_iSelected);
      if (at < 0) break;
      m_iSelected = at;
      AdjustLayout();
      update();
      GetButton(at)->OnClick(this, false);
      break;
    }
    default:
      break;
  }
}

bool CUxToolBar::IsCommandRarelyUsed(unsigned command) {
  if (toolbarClassData().bCustomizeMode || command == 0 || command == kNoCommand) return false;
  if (IsStandardCommand(command) || basicCommands().empty() || IsBasicCommand(command)) return false;
  return !commandUsage().IsFrequentlyUsed(command);
}

void CUxToolBar::AddBasicCommand(unsigned command) {
  if (!IsBasicCommand(command)) basicCommands().push_back(command);
}
