// What the library's frame windows share on top of the dock site: their own menu and accelerator
// table, the menu bar's frame interface, the popup menus' frame hook, command routing with the
// routing helper first, and the registered messages that create and delete user-defined toolbars.
#pragma once

#include "platform/windows/command_target.h"
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/frame_impl.h"
#include "uictl/frames/docking/ux_mini_dock_frame.h"

class UxFrameBase : public DockFrame,
                    public MenuBarFrame,
                    public PopupMenuFrameHook,
                    public ButtonToolTipHook,
                    public platform::CommandTarget,
                    public AcceleratorSource,
                    public TearOffBarOwner,
                    public ContextHelpTarget {
 public:
  explicit UxFrameBase(QWidget* parent = nullptr);
  ~UxFrameBase() override;

  // The frame's own menu, until a menu bar takes it over.
  platform::MenuHandle GetMenu() const { return m_hMenu; }
  void SetMenu(platform::MenuHandle menu) { m_hMenu = menu; }
  void SetAccelerators(AccelTable table) { m_hAccelTable = std::move(table); }
  // Remembers the resource id the frame was made from; it is the menu bar's default menu id.
  virtual bool LoadFrame(unsigned resourceId);
  FrameImpl& Impl() { return m_Impl; }

  // The frame's table; with `document`, the active document's (none here).
  AccelTable GetDefaultAccelerator(bool document) const override;

  // The menu bar's view of the frame.
  void SetMenuBar(CUxMenuBar* bar) override { m_Impl.SetMenuBar(bar); }
  QRect DockingRect() const override { return rect(); }
  using DockFrame::RecalcLayout;
  void RecalcLayout() override { DockFrame::RecalcLayout(true); }
  bool IsMdiFrame() const override { return false; }
  MdiChildState ActiveMdiChild() const override { return {}; }
  platform::MenuHandle ActiveChildSystemMenu() const override { return {}; }
  void SendActiveChildSysCommand(unsigned) override {}

  // The routing helper's say first; a popup that is not a torn-off bar then needs AllowPopupMenu.
  bool OnShowPopupMenu(CUxPopupMenu* popup) override;
  // The popup clears the shared pointer itself; a frame may react to the close.
  void OnClosePopupMenu() override {}
  // The application's veto when a popup opens.
  virtual bool AllowPopupMenu(CUxPopupMenu* popup) { (void)popup; return true; }
  // No tooltips of the frame's own.
  bool OnButtonToolHitTest(const CUxToolbarButton*, ToolInfo*) override { return false; }
  // Lays out the "Window" menu's child items in a popup that shows it; only MDI frames have one.
  virtual void FillWindowMenuPopup(CUxPopupMenu* popup) { (void)popup; }

  // Accelerator commands close an open popup instead of running; user tools run; in
  // customisation mode every command is refused; the rest goes to OnFrameCommand.
  bool onCommand(unsigned id, int notifyCode) override;
  // A tear-off that was cancelled leaves the helper's list.
  void RemoveTearOffBar(CUxControlBar* bar) override;
  // The help of a command picked in context help mode: its prompt, shown where it was picked.
  void WinHelp(unsigned helpContext, const QPoint& screen) override;

 protected:
  // Bars float in the library's own frame, which can roll up and keeps its caption on the screen.
  MiniDockFrame* CreateFloatingFrame(unsigned barStyle) override;
  // The commands the frame answers itself; none here.
  virtual bool OnFrameCommand(unsigned id, int notifyCode) { (void)id; (void)notifyCode; return false; }
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  FrameImpl m_Impl{this};
  unsigned m_nIDHelp = 0;

 private:
  platform::MenuHandle m_hMenu;
  AccelTable m_hAccelTable;
};
