// The toolbar inside a popup menu: menu items in one or more columns, built from and exported to
// menu handles, with rarely used commands behind a show-all item, delayed opening and closing of
// submenus, keyboard navigation with mnemonics, a scroll offset, and the routing of the chosen
// command once the popup chain has gone.
#pragma once

#include "uictl/bars/toolbar/toolbar.h"

#include <QTimer>
#include <map>
#include <vector>

class CUxPopupMenu;
class CUxToolbarMenuButton;

class CUxPopupMenuBar : public CUxToolBar {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxPopupMenuBar)

 public:
  explicit CUxPopupMenuBar(QWidget* parent = nullptr);
  ~CUxPopupMenuBar() override;

  bool ImportFromMenu(platform::MenuHandle menu, bool showAllCommands);
  // A new popup menu holding the items; the caller destroys it.
  platform::MenuHandle ExportToMenu() const;
  void InvokeMenuCommand(unsigned command, const CUxToolbarMenuButton* item);
  void SetInCommand(bool inCommand);
  bool IsInCommand() const { return m_bInCommand; }
  void SetOffset(int offset);
  int GetOffset() const { return m_iOffset; }
  void StartPopupMenuTimer(CUxToolbarMenuButton* button, int delayFactor = 1);
  void CloseDelayedSubMenu();
  void RestoreDelayedSubMenu();
  CUxToolBar* FindDestBar(const QPoint& screen);
  bool AreAllCommandsShown() const { return m_bAreAllCommandsShown; }
  virtual platform::Size GetCurrentMenuImageSize() const;
  CUxPopupMenu* GetPopup() const;

  // Toolbar operations a popup's bar answers its own way.
  int OnToolHitTest(platform::Point point, ToolInfo* info) override;
  void SetButtonStyle(int index, unsigned style) override;
  bool TranslateChar(unsigned) override { return false; }
  bool SetDefaultButtonText(CUxToolbarButton* button) override;
  void OnFillBackground(platform::Dc* dc) override;
  platform::Size CalcSize(bool vertical) override;
  void OnSetHotButton(int hot) override;
  void DrawDragMarker(platform::Dc* dc) override;
  QWidget* GetCommandTarget() const override;
  unsigned OnDragOver(const QMimeData* data, unsigned keyState, platform::Point point) override;
  int FindDropIndex(platform::Point point, platform::Rect& marker) const override;
  void AdjustLocations() override;
  // The popup gives the bar its size: only the items move.
  void AdjustLayout() override;
  bool OnSendCommand(const CUxToolbarButton* button) override;
  bool AllowHighlightDisabled() const override { return false; }
  void DrawSeparator(platform::Dc* dc, const platform::Rect& rect, bool horizontal) override;
  std::unique_ptr<CUxToolbarButton> CreateDroppedButton(const QMimeData* data) override;
  bool OnKey(unsigned key) override;
  bool EnableContextMenuItems(CUxToolbarButton* button, platform::MenuHandle popup) override;
  // Text only and image and text stand for drawing the item's image in menus or not.
  void OnCustomizeCommand(unsigned command) override;
  bool GetButtonToolTipText(const CUxToolbarButton*, std::wstring&) override { return false; }
  bool IsButtonExtraSizeAvailable() const override { return false; }
  void OnIdleUpdateCmdUI() override;
  // The items' states from the popup's command target, else from the frame of the popup chain.
  void UpdateItemStates();
  void OnMouseMove(unsigned flags, platform::Point point) override;
  void OnLButtonDown(unsigned flags, platform::Point point) override;
  void OnLButtonUp(unsigned flags, platform::Point point) override;
  void OnLButtonDblClk(unsigned flags, platform::Point point) override;

  // The menu show delay in milliseconds, read once per library start; -1 until then.
  static int m_nMenuShowDelay;
  static void ReadMenuShowDelay();

  CUxToolBar* m_pRelatedToolbar = nullptr;
  unsigned m_uiDefaultMenuCmdId = 0;
  CUxToolbarMenuButton* m_pDelayedPopupMenuButton = nullptr;
  CUxToolbarMenuButton* m_pDelayedClosePopupMenuButton = nullptr;
  bool m_bFirstClick = true;
  bool m_bFirstMove = true;
  int m_iOffset = 0;
  int m_xSeparatorOffsetLeft = 0;
  int m_xSeparatorOffsetRight = 0;
  bool m_bAreAllCommandsShown = true;
  int m_iMaxWidth = -1;
  std::vector<int> m_arColumns;
  // Upper-cased mnemonic of each hidden item, to its command.
  std::map<wchar_t, unsigned> m_HiddenItemsAccel;
  bool m_bInCommand = false;
  bool m_bAcceptLButtonUp = true;

 private:
  void onOpenTimer();
  void onCloseTimer();
  void stopTimers();
  // Moves the highlight to `index` by keyboard.
  void highlightByKey(int index);
  int nextEligible(int from, int step) const;
  bool forwardOutside(QEvent::Type type, platform::Point point, unsigned flags);
  CUxToolbarMenuButton* openSubMenuItem() const;
  int rarelyUsedEnd(int start) const;
  // An item that waits to open or to close its submenu takes its timer with it when it goes.
  void forgetButton(const CUxToolbarButton* button) override;
  QTimer m_openTimer, m_closeTimer;
};

// Whether shortened menus leave rarely used commands out (on by default).
bool& recentlyUsedMenus();
// The menu bar's class-wide wish to show every command in the popups it opens.
bool& menuBarShowAllCommands();
// Whether a popup that shows commands selectively leaves this command out.
bool isHiddenMenuCommand(unsigned command);
