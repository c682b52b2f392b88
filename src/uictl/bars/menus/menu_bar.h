// A frame's menu as a toolbar: one title per top-level item, each opening a popup menu. The bar
// follows the frame's current menu, keeps every menu's customised titles in the menu hash, shows
// the system-menu and window buttons of a maximised MDI child, answers the menu keys, and saves
// its titles with the toolbar state.
#pragma once

#include "uictl/bars/buttons/system_menu_buttons.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QIcon>
#include <QTimer>

class CUxMenuBar;

// The active MDI child as the menu bar shows it.
struct MdiChildState {
  bool maximized = false;
  bool minimizeBox = false;
  bool maximizeBox = false;
  platform::MenuHandle systemMenu;
  QIcon icon;
};

// What a frame offers its menu bar; the library's frames implement it.
class MenuBarFrame : public UxMdiChildHost {
 public:
  // Takes the bar as the frame's menu (the frame drops its own).
  virtual void SetMenuBar(CUxMenuBar* bar) = 0;
  // The docking area in the bar's parent coordinates; empty means the owner's client area.
  virtual QRect DockingRect() const = 0;
  virtual void RecalcLayout() = 0;
  virtual bool IsMdiFrame() const = 0;
  virtual MdiChildState ActiveMdiChild() const = 0;
};

class CUxMenuBar : public CUxToolBar {
 public:
  explicit CUxMenuBar(QWidget* parent = nullptr);
  ~CUxMenuBar() override;

  bool Create(QWidget* parent, unsigned style = 0x50000000u | CbrsAlignTop, unsigned id = 0xE81A) override;
  virtual void CreateFromMenu(platform::MenuHandle menu, bool defaultMenu = false, bool forceUpdate = false);
  // Called with a reloaded default menu; nothing here.
  virtual void OnDefaultMenuLoaded(platform::MenuHandle) {}
  void SetDefaultMenuResId(unsigned id) { m_uiDefaultMenuResId = id & 0xFFFF; }
  static void SetShowAllCommands(bool on);
  platform::MenuHandle GetMenu() const { return m_hMenu; }
  platform::MenuHandle GetDefaultMenu() const { return m_hDefaultMenu; }
  int GetSystemButtonsCount() const { return m_nSystemButtonsNum; }

  int OnToolHitTest(platform::Point, ToolInfo*) override { return -1; }
  bool PreTranslateKey(int key) override;
  platform::Size CalcLayout(unsigned mode, int length = -1) override;
  int GetRowHeight() const override;
  int GetColumnWidth() const override;
  bool IsButtonExtraSizeAvailable() const override { return false; }
  bool AllowChangeTextLabels() const override { return false; }
  bool LoadState(const std::wstring& profileName = {}, int index = -1, unsigned id = 0xFFFFFFFFu) override;
  bool SaveState(const std::wstring& profileName = {}, int index = -1, unsigned id = 0xFFFFFFFFu) override;
  bool HasResourceId() const override { return true; }
  bool CanBeClosed() const override { return false; }
  bool SetDefaultButtonText(CUxToolbarButton* button) override;
  void OnSetHotButton(int hot) override;
  int FindDropIndex(platform::Point point, platform::Rect& marker) const override;
  void AdjustLocations() override;
  bool OnSendCommand(const CUxToolbarButton* button) override;
  int CalcMaxButtonHeight() override;
  void OnLButtonDown(unsigned flags, platform::Point point) override;
  void OnLButtonDblClk(unsigned flags, platform::Point point) override;

  QWidget* m_pParentWnd = nullptr;
  bool m_bMaximizeMode = false;
  platform::MenuHandle m_hMenu;
  platform::MenuHandle m_hDefaultMenu;
  unsigned m_uiDefaultMenuResId = 0;
  int m_nSystemButtonsNum = 0;
  bool m_bHaveButtons = false;
  platform::Size m_szSystemButton;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  MenuBarFrame* frame() const { return dynamic_cast<MenuBarFrame*>(m_pParentWnd); }
  void buildFromMenu(platform::MenuHandle menu);
  void setMaximizeMode(bool maximized);
  void removeMaximizeButtons();
  // The titles without the window buttons at the end.
  int ordinaryCount() const { return GetCount() - m_nSystemButtonsNum; }
  void measureSystemButton();
  // While the bar is dragged: the release tells the dock context the work area under the bar.
  void watchDockDrag();
  void stopWatchingDockDrag();
  QTimer m_showAllTimer;
  int m_dockDragHook = 0;
};
