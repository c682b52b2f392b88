#include "uictl/frames/dialog_impl.h"

#include "platform/windows/command_target.h"
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/commands/user_tools.h"
#include "uictl/bars/commands/virtual_keys.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/frame_keys.h"
#include "uictl/frames/window_input_filter.h"
#include "uictl/frames/window_system.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace {

// The library's mouse hook for dialogs: one at a time, owned by the helper whose popup is open.
int g_mouseHook = 0;
DialogImpl* g_mouseHookOwner = nullptr;

void removeDialogMouseHook() {
  if (g_mouseHook) platform::removeMouseHook(g_mouseHook);
  g_mouseHook = 0;
  g_mouseHookOwner = nullptr;
}

QRect screenRectOf(const QWidget* widget) { return widget->isWindow() ? widget->frameGeometry() : globalGeometry(widget); }

bool focusIsOnToolbar() {
  for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
    if (dynamic_cast<CUxToolBar*>(w)) return true;
  return false;
}

// Inside the popup (not consumed), in its shadow (closed and consumed) or outside (nothing yet).
std::optional<bool> classifyAgainst(CUxPopupMenu* popup, const QPoint& screen, QWidget* focusOwner) {
  switch (popup->HitTest(screen)) {
    case 4:
      return std::nullopt;
    case 1:
    case 2:
      ClosePopup(popup);
      if (focusOwner) focusOwner->setFocus();
      return true;
    default:
      return false;
  }
}

bool onButtonOf(CUxToolBar* bar, const CUxToolbarButton* button, const QPoint& screen) {
  if (!bar || !button || !bar->isVisible()) return false;
  const QPoint local = bar->mapFromGlobal(screen);
  return bar->rect().contains(local) && button->m_rect.contains(bar->WidgetToClient(local));
}

// Tells of every window's activation change, and of the owner's enabled change.
class ActivationWatcher : public QObject {
 public:
  ActivationWatcher(QWidget* owner, std::function<void()> changed) : m_owner(owner), m_changed(std::move(changed)) {
    qApp->installEventFilter(this);
  }
  ~ActivationWatcher() override {
    if (qApp) qApp->removeEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::ActivationChange && type != QEvent::EnabledChange) return false;
    if (!watched->isWidgetType() || !static_cast<QWidget*>(watched)->isWindow()) return false;
    if (type == QEvent::ActivationChange || watched == m_owner->window()) m_changed();
    return false;
  }

 private:
  QWidget* m_owner;
  std::function<void()> m_changed;
};

bool isButtonEvent(QEvent::Type type) {
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
}

}  // namespace

void ClosePopup(CUxPopupMenu* popup) {
  if (popup) popup->close();
}

bool ClosePopupOnAltContextMenu(const QContextMenuEvent* event) {
  CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu();
  if (!popup || !(event->modifiers() & Qt::AltModifier)) return false;
  ClosePopup(popup);
  return true;
}

bool RoutePopupClick(const QPoint& screen, QWidget* focusOwner, bool consumeClosingClick) {
  CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu();
  if (!popup || CUxToolBar::IsCustomizeMode()) return false;
  if (const std::optional<bool> inside = classifyAgainst(popup, screen, focusOwner)) return *inside;
  if (CUxToolbarMenuButton* button = popup->GetParentButton()) {
    CUxToolBar* bar = popup->GetParentToolBar();
    auto* popupBar = dynamic_cast<CUxPopupMenuBar*>(bar);
    if (onButtonOf(bar, button, screen)) {
      // A click on the title that opened the menu closes it here, so the title does not open it again.
      if (!popupBar && !popup->IsInCommand()) ClosePopup(popup);
      return true;
    }
    if (popupBar) {
      popupBar->CloseDelayedSubMenu();
      if (CUxPopupMenu* parent = popupBar->GetPopup())
        if (const std::optional<bool> inside = classifyAgainst(parent, screen, focusOwner)) return *inside;
    }
  }
  if (popup->IsInCommand()) return false;
  const bool takeFocusBack = focusIsOnToolbar();
  ClosePopup(popup);
  if (takeFocusBack && focusOwner) focusOwner->setFocus();
  return consumeClosingClick;
}

bool SendBarPopupMenuRequest(QWidget* owner, QWidget* target, const QPoint& screen) {
  if (!target || !dynamic_cast<DockBar*>(target) || CUxToolBar::IsCustomizeMode()) return false;
  sendPopupMenuRequest(owner, owner, screen.x(), screen.y());
  return true;
}

bool RunUserToolCommand(unsigned id) {
  UserToolsLookup* tools = userToolsLookup();
  if (!tools || !tools->IsUserToolCmd(id)) return false;
  CUxUserToolsManager::InvokeToolOf(id);
  return true;
}

QEvent::Type floatStatusMessage() {
  static const QEvent::Type type = platform::registerWindowMessage("WM_FLOATSTATUS");
  return type;
}

DialogImpl::DialogImpl(QWidget* ownerDialog) : m_pOwnerDialog(ownerDialog) {
  m_filter = std::make_unique<WindowInputFilter>(
      ownerDialog, [this](QWidget* target, QEvent* event) { return PreTranslateMessage(target, event); });
  m_activationWatcher = std::make_unique<ActivationWatcher>(ownerDialog, [this] { activationChanged(); });
}

DialogImpl::~DialogImpl() {
  if (g_mouseHookOwner == this) removeDialogMouseHook();
}

int DialogImpl::MouseHook() { return g_mouseHook; }

void DialogImpl::SetActiveMenu(CUxPopupMenu* popup) {
  if (!popup) {
    removeDialogMouseHook();
    return;
  }
  g_mouseHookOwner = this;
  if (g_mouseHook) return;
  g_mouseHook = platform::installMouseHook([](QWidget*, QMouseEvent* event) {
    const QEvent::Type type = event->type();
    DialogImpl* owner = g_mouseHookOwner;
    if (!owner || (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)) return false;
    const QPoint screen = event->globalPosition().toPoint();
    if (!screenRectOf(owner->m_pOwnerDialog).contains(screen)) owner->RouteMouseClick(screen);
    return false;
  });
}

bool DialogImpl::RouteMouseClick(const QPoint& screen) { return RoutePopupClick(screen, m_pOwnerDialog, false); }

bool DialogImpl::CheckMouseMove(const QPoint& screen) {
  CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu();
  if (!popup || CUxToolBar::IsCustomizeMode() || popup->HitTest(screen) != 4) return false;
  CUxPopupMenuBar* bar = popup->GetMenuBar();
  return !(bar && bar->FindDestBar(screen));
}

bool DialogImpl::PreTranslateMessage(QWidget* target, QEvent* event) {
  CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu();
  const QEvent::Type type = event->type();
  switch (type) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (!popup) return false;
      if (key->key() == Qt::Key_Alt) {
        ClosePopup(popup);
        return true;
      }
      if (isSystemKey(key)) return false;
      if (const unsigned vk = routedVirtualKey(key)) popup->OnKeyDown(vk);
      return true;
    }
    case QEvent::KeyRelease:
      return popup && isSystemKey(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
      return ClosePopupOnAltContextMenu(static_cast<QContextMenuEvent*>(event));
    case QEvent::MouseMove:
      return CheckMouseMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    default:
      break;
  }
  if (!isButtonEvent(type)) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  // The left button's release stays with the window: it ends the click that opened the menu.
  if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) return false;
  const QPoint screen = mouse->globalPosition().toPoint();
  QPointer<QWidget> guard(target);
  if (RouteMouseClick(screen) || !guard) return true;
  if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton)
    return SendBarPopupMenuRequest(m_pOwnerDialog, target, screen);
  return false;
}

bool DialogImpl::OnCommand(unsigned id, int notifyCode) {
  if (notifyCode == kFromAccelerator) {
    commandUsage().AddCmd(id);
    if (CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu()) {
      popup->OnKeyDown(VkEscape);
      return true;
    }
  }
  return RunUserToolCommand(id);
}

void DialogImpl::OnActivate(bool active, QWidget* other) {
  m_bKeepActive = false;
  QWidget* now = active ? m_pOwnerDialog : other;
  if (!now) return;
  platform::RegisteredMessageEvent query(floatStatusMessage(), kFloatStatusSyncActive, 0);
  QCoreApplication::sendEvent(now, &query);
  m_bKeepActive = query.result != 0;
}

bool DialogImpl::OnNcActivate(bool active) const {
  if (m_bKeepActive) return true;
  if (!m_pOwnerDialog->isEnabled()) return false;
  return active;
}

void DialogImpl::activationChanged() {
  const bool active = m_pOwnerDialog->isActiveWindow();
  OnActivate(active, active ? nullptr : QApplication::activeWindow());
  m_bCaptionActive = OnNcActivate(active);
}
