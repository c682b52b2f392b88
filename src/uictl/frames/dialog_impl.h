// What a dialog or property page that opens the library's popup menus needs: outside clicks close
// the open popup (also clicks outside the dialog, through the library's mouse hook), keys reach
// it, and accelerator commands do not pass it by. The click and mouse-move checks are shared
// with the frames.
#pragma once

#include <QEvent>
#include <QPoint>

#include <memory>

class CUxPopupMenu;
class QContextMenuEvent;
class QWidget;
class WindowInputFilter;

// Classifies a click against the open popup menu and closes it where the click calls for that;
// true when the click is consumed. `focusOwner` takes the focus back where a closing click
// leaves it on a bar; `consumeClosingClick` decides for the click that closes the popup from
// anywhere else.
bool RoutePopupClick(const QPoint& screen, QWidget* focusOwner, bool consumeClosingClick);
// Closes a popup the way a window's close request does.
void ClosePopup(CUxPopupMenu* popup);
// The context-menu key with Alt held closes the open popup; true when it did.
bool ClosePopupOnAltContextMenu(const QContextMenuEvent* event);
// The event is a right-button release on a dock bar: the owner is asked for its bar menu.
bool SendBarPopupMenuRequest(QWidget* owner, QWidget* target, const QPoint& screen);
// A command of the user tools' range runs its tool; true when the command was one of them.
bool RunUserToolCommand(unsigned id);
// The float-status message: a window answers it (a nonzero result) for the sync-active query
// when, being active, it acts for its owner, whose caption then stays active.
QEvent::Type floatStatusMessage();
constexpr unsigned kFloatStatusSyncActive = 0x40;

class DialogImpl {
 public:
  explicit DialogImpl(QWidget* ownerDialog);
  virtual ~DialogImpl();
  DialogImpl(const DialogImpl&) = delete;
  DialogImpl& operator=(const DialogImpl&) = delete;

  // With a popup the library's mouse hook is installed (once) and this helper owns it; with
  // null the hook goes.
  void SetActiveMenu(CUxPopupMenu* popup);
  bool RouteMouseClick(const QPoint& screen);
  // While a popup is open, a move outside it that no bar of the popup chain is under is kept
  // from the windows below.
  static bool CheckMouseMove(const QPoint& screen);
  // Every key and mouse event of the dialog passes here first; true swallows it.
  bool PreTranslateMessage(QWidget* target, QEvent* event);
  // True when the command is consumed here.
  bool OnCommand(unsigned id, int notifyCode);
  // The owner was activated (`active`) or another window was (`other`, null for none): the owner
  // keeps its caption active while the window now active says it acts for it (it answers the
  // sync-active float-status query).
  void OnActivate(bool active, QWidget* other);
  // How the owner shows its caption when told `active`: active while it is kept so, inactive
  // while it is disabled.
  bool OnNcActivate(bool active) const;
  // The owner's caption state, kept through every change of the active window and of the
  // owner's enabled state.
  bool IsCaptionActive() const { return m_bCaptionActive; }

  // The installed mouse hook; 0 for none.
  static int MouseHook();

  QWidget* m_pOwnerDialog;
  bool m_bKeepActive = false;

 private:
  void activationChanged();

  std::unique_ptr<WindowInputFilter> m_filter;
  std::unique_ptr<QObject> m_activationWatcher;
  bool m_bCaptionActive = false;
};
