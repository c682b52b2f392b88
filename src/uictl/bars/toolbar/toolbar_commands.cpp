// Commands of a toolbar's buttons: where they go, how the enable and check states come back
// through command-UI updates, the status prompts and the tooltips.
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMetaObject>
#include <QPointer>
#include <QToolTip>

using namespace platform;

namespace {

constexpr unsigned kIdleMessage = 0xE001;
constexpr unsigned kSystemCommandStrings = 0xEF00;
constexpr unsigned kMdiChildString = 0xEF1F;

bool isExcludedFromUpdates(unsigned id) {
  return id == 0 || (id >= 0xF000 && id < 0xF1F0) || id >= 0xFF00;
}

bool isUserToolCommand(unsigned id) {
  const UserToolsLookup* tools = userToolsLookup();
  return tools && tools->IsUserToolCmd(id);
}

QEvent::Type setMessageStringEvent() {
  static const QEvent::Type type = registerWindowMessage("WM_SETMESSAGESTRING");
  return type;
}

// The nearest of the widget and its ancestors that takes commands.
CommandTarget* nearestTarget(QWidget* widget) {
  for (; widget; widget = widget->parentWidget())
    if (auto* target = dynamic_cast<CommandTarget*>(widget)) return target;
  return nullptr;
}

// What a command-UI handler's answer does to one button of the bar.
class ToolbarCmdUI {
 public:
  ToolbarCmdUI(CUxToolBar* bar, int index) : bar_(bar), index_(index) {}

  void Enable(bool on) {
    const unsigned style = bar_->GetButtonStyle(index_);
    bar_->SetButtonStyle(index_, on ? style & ~kStyleDisabled : style | kStyleDisabled);
  }
  void SetCheck(int check) {
    if (check > 2) check = 1;
    unsigned style = bar_->GetButtonStyle(index_) & ~(kStyleChecked | kStyleIndeterminate);
    if (check == 1) style |= kStyleChecked;
    else if (check == 2) style |= kStyleIndeterminate;
    bar_->SetButtonStyle(index_, style | kStyleCheckBox);
  }
  void SetRadio(bool on) {
    SetCheck(on ? 1 : 0);
    if (CUxToolbarButton* button = bar_->GetButton(index_)) button->SetRadio();
  }
  void SetText(const std::wstring& text) {
    if (bar_->m_bNoTextUpdate) return;
    CUxToolbarButton* button = bar_->GetButton(index_);
    if (!button) return;
    const std::wstring cut = text.substr(0, text.find(L'\t'));
    if (cut == button->m_strText.substr(0, button->m_strText.find(L'\t'))) return;
    button->m_strText = cut;
    bar_->AdjustLayout();
  }

  // Asks the target about the button's command and applies the answer.
  void DoUpdate(CommandTarget* target, unsigned id, bool disableIfNoHandler) {
    CommandUi ui;
    ui.id = id;
    target->onUpdateCommandUi(ui);
    if (!ui.handled) {
      if (disableIfNoHandler) Enable(false);
      return;
    }
    if (ui.enableChanged) Enable(ui.enabled);
    if (ui.checkChanged) {
      if (ui.radio) SetRadio(ui.check != 0);
      else SetCheck(ui.check);
    }
    if (ui.textChanged) SetText(ui.text);
  }

 private:
  CUxToolBar* bar_;
  int index_;
};

}  // namespace

void CUxToolBar::OnUpdateCmdUI(CommandTarget* target, bool disableIfNoHandler) {
  if (!target) return;
  for (int i = 0; i < GetCount(); ++i) {
    const CUxToolbarButton* button = GetButton(i);
    if ((button->m_nStyle & kStyleSeparator) || isExcludedFromUpdates(button->m_nCommandId)) continue;
    // User tools have no handler of their own, and must stay usable.
    ToolbarCmdUI(this, i).DoUpdate(target, button->m_nCommandId, disableIfNoHandler && m_bDisableIfNoHandler &&
                                                                     !isUserToolCommand(button->m_nCommandId));
  }
  // Controls hosted by the buttons answer to their own ids.
  const bool disableControls = disableIfNoHandler && m_bDisableControlsIfNoHandler;
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    bool ok = false;
    const unsigned id = child->objectName().mid(2).toUInt(&ok);
    if (!ok || !child->objectName().startsWith(QStringLiteral("id")) || isExcludedFromUpdates(id)) continue;
    CommandUi ui;
    ui.id = id;
    target->onUpdateCommandUi(ui);
    if (ui.handled && ui.enableChanged) child->setEnabled(ui.enabled);
    else if (!ui.handled && disableControls) child->setEnabled(false);
  }
}

void CUxToolBar::UpdateButton(int index) {
  const CUxToolbarButton* button = GetButton(index);
  if (!button || (button->m_nStyle & kStyleSeparator) || isExcludedFromUpdates(button->m_nCommandId)) return;
  CommandTarget* target = dynamic_cast<CommandTarget*>(GetCommandTarget());
  if (!target) return;
  ToolbarCmdUI(this, index).DoUpdate(target, button->m_nCommandId,
                                     m_bDisableIfNoHandler && !isUserToolCommand(button->m_nCommandId));
}

void CUxToolBar::IdleUpdateAll() {
  for (CUxToolBar* bar : GetAllToolbars()) bar->OnIdleUpdateCmdUI();
}

void CUxToolBar::OnIdleUpdateCmdUI() {
  if (!isVisible()) return;
  if (CommandTarget* target = nearestTarget(GetOwner())) OnUpdateCmdUI(target, true);
}

QWidget* CUxToolBar::GetCommandTarget() const {
  QWidget* top = GetTopFrame(const_cast<CUxToolBar*>(this));
  if (top && (!m_bFrameTargetOnly || top->isWindow())) return top;
  return window();
}

void CUxToolBar::sendIdlePrompt(QWidget* to) {
  if (!to) return;
  RegisteredMessageEvent prompt(setMessageStringEvent(), kIdleMessage, 0);
  QCoreApplication::sendEvent(to, &prompt);
}

void CUxToolBar::ShowCommandMessageString(unsigned command) {
  if (isMouseHookSet()) return;
  if (command == 0xFFFFFFFFu) {
    sendIdlePrompt(GetOwner());
    return;
  }
  if (command >= 0xF000 && command < 0xF1F0) command = kSystemCommandStrings + (command - 0xF000) / 16;
  else if (command >= 0xFF00) command = kMdiChildString;
  if (QWidget* owner = GetOwner()) {
    RegisteredMessageEvent prompt(setMessageStringEvent(), command, 0);
    QCoreApplication::sendEvent(owner, &prompt);
  }
}

bool CUxToolBar::SendButtonCommand(CUxToolbarButton* button) {
  if (!button || button->m_nCommandId == 0 || button->m_nCommandId == 0xFFFFFFFFu) return false;
  menuSoundPlay(1);
  commandUsage().AddCmd(button->m_nCommandId);
  postCommand(GetOwner(), button->m_nCommandId, 0);
  return true;
}

void CUxToolBar::sendCommand(QWidget* to, unsigned id, int notifyCode) {
  if (auto* target = dynamic_cast<CommandTarget*>(to)) target->onCommand(id, notifyCode);
}

void CUxToolBar::postCommand(QWidget* to, unsigned id, int notifyCode) {
  if (!to) return;
  QPointer<QWidget> guard(to);
  QMetaObject::invokeMethod(
      to, [guard, id, notifyCode] { sendCommand(guard, id, notifyCode); }, Qt::QueuedConnection);
}

bool CUxToolBar::OnCommand(unsigned id, int notifyCode, QWidget* control) {
  if (toolbarClassData().bCustomizeMode && !m_bLocked) return false;
  constexpr unsigned kIdOk = 1, kIdCancel = 2;
  if (!control) {
    if (id == kIdCancel) {
      RestoreFocus();
      return true;
    }
    if (id != kIdOk) return false;
    control = QApplication::focusWidget();
    notifyCode = 0;
  }
  CUxToolbarButton* owner = nullptr;
  for (auto& button : m_Buttons)
    if (button->IsOwnerOf(control)) owner = button.get();
  if (!owner) return true;
  if (id != kIdOk && !owner->NotifyCommand(notifyCode)) return true;
  postCommand(GetOwner(), owner->m_nCommandId, notifyCode);
  return true;
}

bool CUxToolBar::GetButtonToolTipText(const CUxToolbarButton* button, std::wstring& text) {
  auto* hook = dynamic_cast<ButtonToolTipHook*>(GetTopFrame(this));
  ToolInfo info;
  if (!hook || !hook->OnButtonToolHitTest(button, &info)) return false;
  text = info.text;
  return !text.empty();
}

int CUxToolBar::OnToolHitTest(Point point, ToolInfo* info) {
  if (!toolbarClassData().bShowTooltips) return -1;
  const int hit = HitTest(point);
  CUxToolbarButton* button = GetButton(hit);
  if (!button || button->IsWindowVisible()) return -1;
  const unsigned id = button->m_nCommandId;
  std::wstring text;
  if (!GetButtonToolTipText(button, text)) {
    if ((id == 0 || id == 0xFFFFFFFFu || button->m_bUserImage) && !button->m_strText.empty()) {
      for (wchar_t c : button->m_strText)
        if (c != L'&') text += c;
    } else if (isUserToolCommand(id)) {
      text = button->m_strText;
    } else {
      const std::wstring full = commandString(id).substr(0, 256);
      const size_t newline = full.find(L'\n');
      if (newline != std::wstring::npos) text = full.substr(newline + 1);
    }
  }
  if (text.empty()) return -1;
  if (g_bShowShortcutKeys && id != 0 && id != 0xFFFFFFFFu) {
    std::wstring key;
    auto* frame = dynamic_cast<AcceleratorSource*>(GetTopFrame(this));
    if (!frame) frame = dynamic_cast<AcceleratorSource*>(QApplication::activeWindow());
    if (FindAcceleratorText(id, key, frame, false)) text += L" (" + key + L")";
  }
  if (info) {
    info->id = id == 0xFFFFFFFFu ? 0 : id;
    info->rect = GetItemRect(hit);
    info->text = text;
  }
  return static_cast<int>(id == 0xFFFFFFFFu ? 0 : id);
}

bool CUxToolBar::showToolTip(QHelpEvent* help) {
  ToolInfo info;
  if (OnToolHitTest(WidgetToClient(help->pos()), &info) < 0) {
    QToolTip::hideText();
    return false;
  }
  const QRect area(ClientToWidget(info.rect.topLeft()), QSize(info.rect.width(), info.rect.height()));
  QToolTip::showText(help->globalPos(), QString::fromStdWString(info.text), this, area);
  return true;
}
