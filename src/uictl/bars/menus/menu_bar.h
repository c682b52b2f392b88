// A frame's menu as a toolbar: one title per top-level item, each opening a popup menu. The bar
// follows the frame's current menu, keeps every menu's customised titles in the menu hash, shows
// the system-menu and window buttons of a maximised MDI child, answers the menu keys, and saves
// its titles with the toolbar state.
#pragma once

#include "uictl/bars/buttons/system_menu_buttons.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QIcon>
#include <QTimer>

#include <functional>

class CUxMenuBar;

// The active MDI child as the menu bar shows it.
struct MdiChildState {
  bool maximized = false;
  bool minimizeBox = false;
  bool maximizeBox = false;
  platform::MenuHandle systemMenu;
  QIcon icon;
};

// The shared menu of one of a frame's document templates, and the resource it is made from.
struct DocumentMenu {
  unsigned resourceId = 0;
  platform::MenuHandle menu;
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
  // The shared menus of the frame's document templates; none without templates.
  virtual std::vector<DocumentMenu> DocumentMenus() const { return {}; }
  // A template's menu made anew from its resource; null when it cannot be.
  virtual platform::MenuHandle LoadDocumentMenu(unsigned resourceId) { (void)resourceId; return {}; }
  // The template of `resourceId` and its open child windows take `menu` in place of their old
  // one, which the bar then destroys.
  virtual void SetDocumentMenu(unsigned resourceId, platform::MenuHandle menu) { (void)resourceId; (void)menu; }
};

class CUxMenuBar : public CUxToolBar {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxMenuBar)

 public:
  explicit CUxMenuBar(QWidget* parent = nullptr);
  ~CUxMenuBar() override;

  bool Create(QWidget* parent, unsigned style = 0x50000000u | CbrsAlignTop, unsigned id = 0xE81A) override;
  // Remembers the frame first, registers with it and measures the window buttons.
  bool CreateEx(QWidget* parent, unsigned ctrlStyle, unsigned style, platform::Rect borders, unsigned id) override;
  virtual void CreateFromMenu(platform::MenuHandle menu, bool defaultMenu = false, bool forceUpdate = false);
  // Called with a reloaded default menu; nothing here.
  virtual void OnDefaultMenuLoaded(platform::MenuHandle) {}
  // The resource of the default menu: the bar's own resource, which a reset goes back to.
  void SetDefaultMenuResId(unsigned id);
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
  // The default menu's items as the menu has them, without the user's changes; the menu shown
  // is then shown again.
  void ReloadFromResource() override;
  // Every stored item list of the bar's menus goes back to the default images.
  void ResetAllImages() override;
  void Serialize(platform::Archive& ar) override;
  bool CanBeClosed() const override { return false; }
  bool SetDefaultButtonText(CUxToolbarButton* button) override;
  void OnSetHotButton(int hot) override;
  int FindDropIndex(platform::Point point, platform::Rect& marker) const override;
  void AdjustLocations() override;
  bool OnSendCommand(const CUxToolbarButton* button) override;
  // A menu's titles differ from those saved: the frame is told (UXTOOLBAR_RESETMENU) and may
  // rebuild the bar; the saved list is not merged title by title.
  bool SmartUpdate(const std::vector<CUxToolbarButton*>& previousOriginal) override;
  int CalcMaxButtonHeight() override;
  void OnLButtonDown(unsigned flags, platform::Point point) override;
  void OnLButtonDblClk(unsigned flags, platform::Point point) override;
  // The fonts and metrics changed: the window buttons are measured again.
  void OnGlobalFontsChanged() override;

  // The document templates' menus are saved, loaded, reset and given new images with the
  // default menu.
  bool m_bAutoDocMenus = true;
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
  // The window buttons of a maximised child, before the chevron.
  TrailingButtons trailingButtons(bool horizontal) const override;

 private:
  MenuBarFrame* frame() const { return dynamic_cast<MenuBarFrame*>(m_pParentWnd); }
  void buildFromMenu(platform::MenuHandle menu);
  // The menu's stored list, else its items as the menu has them.
  void showList(platform::MenuHandle menu);
  // The menu's top-level entries as the bar's items: separators, titles with their submenus and
  // plain commands.
  static std::vector<std::unique_ptr<CUxToolbarButton>> itemsOf(platform::MenuHandle menu);
  // The entries of the default menu become the bar's original items, against which a saved state
  // tells whether the menu changed since.
  void takeOriginalItemsFromDefaultMenu();
  // Stores the shown list and takes the window buttons off while `work` runs on other lists; then
  // shows the current menu's list again with the buttons, and the frame lays itself out.
  void withShownListStored(const std::function<void()>& work);
  void setMaximizeMode(bool maximized);
  void removeMaximizeButtons();
  // The titles: without the window buttons and the chevron at the end.
  int ordinaryCount() const { return GetCount() - m_nSystemButtonsNum - (m_pCustomizeBtn ? 1 : 0); }
  std::vector<DocumentMenu> documentMenus() const;
  void measureSystemButton();
  // While the bar is dragged: the release tells the dock context the work area under the bar.
  void watchDockDrag();
  void stopWatchingDockDrag();
  QTimer m_showAllTimer;
  bool m_bSerializing = false;
  // The menu whose item list the bar holds, and whether that is not the shown menu's for a moment.
  platform::MenuHandle m_hListMenu;
  bool m_bListSwapped = false;
  int m_dockDragHook = 0;
};
