// A button that owns a menu: on a toolbar a (possibly split) button with a drop-down arrow, on
// a menu bar a title, in a popup one item. The menu is kept as a tree of child buttons (an item
// with command -1 holds its own items) that converts to and from platform menu handles and
// travels through archives.
#pragma once

#include "platform/windows/menu_handles.h"
#include "uictl/bars/buttons/toolbar_button.h"

#include <memory>
#include <vector>

class CUxPopupMenu;
class CUxPopupMenuBar;
class CUxToolbarMenuButton;

using MenuItemList = std::vector<std::unique_ptr<CUxToolbarMenuButton>>;

// Style bit of an item that starts a new menu column.
constexpr unsigned kStyleMenuBreak = 0x20000000u;
// Command of an item that holds a sub-menu.
constexpr unsigned kSubMenuCommand = 0xFFFFFFFFu;

class CUxToolbarMenuButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarMenuButton)

 public:
  CUxToolbarMenuButton();
  CUxToolbarMenuButton(unsigned commandId, platform::MenuHandle menu, int image, const wchar_t* text = nullptr,
                       bool userImage = false);
  ~CUxToolbarMenuButton() override;

  void Serialize(platform::Archive& ar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  void OnChangeParentWnd(QWidget* parent) override;
  int OnDrawOnCustomizeList(platform::Dc* dc, const platform::Rect& rect, bool selected) override;
  bool IsDroppedDown() const override { return m_pPopupMenu != nullptr; }
  bool OnClick(QWidget* wnd, bool delay = true) override;
  void OnCancelMode() override;
  bool OnContextHelp(QWidget* wnd) override { return OnClick(wnd, false); }
  bool OnBeforeDrag() const override;
  void UpdateOwnerMenus() override;
  void ResetImageToDefault() override;
  bool CompareWith(const CUxToolbarButton& other) const override;
  void SetRadio() override;
  bool HasBorder() const override { return false; }

  virtual bool OpenPopupMenu(QWidget* wnd = nullptr);
  virtual void CreateFromMenu(platform::MenuHandle menu);
  // Takes the items as a popup's bar holds them now (after editing while customising).
  void CreateFromMenuBar(const CUxPopupMenuBar& bar);
  // A new popup menu holding the items; null when the button has a command of its own and no
  // items, or when the menu cannot be built. The caller owns it.
  virtual platform::MenuHandle ExportToMenu() const;
  // A new popup for the button; the popup window owns itself.
  virtual CUxPopupMenu* CreatePopupMenu();
  virtual bool IsEmptyMenuAllowed() const { return false; }
  virtual bool QueryMenuOption() const { return true; }
  virtual bool OnSendMenuCommand() { return false; }
  virtual bool HasTearOffId() const { return m_uiTearOffId != 0; }
  // Releases the old id and claims the new one in the tear-off manager, when there is one.
  virtual void SetTearOffId(unsigned id);

  const MenuItemList& GetCommands() const { return m_listCommands; }
  void AddItem(std::unique_ptr<CUxToolbarMenuButton> item) { m_listCommands.push_back(std::move(item)); }
  void RemoveAllItems() { m_listCommands.clear(); }
  // The image column's left offset and the width of a menu glyph, for the popup bar's layout.
  static void GetMenuItemMetrics(int& left, int& glyph);

  // Menu items show the key of their command's accelerator after a tab, in place of whatever
  // their text had there (off by default).
  static bool g_bShowShortcuts;

  MenuItemList m_listCommands;
  bool m_bDrawDownArrow = false;
  bool m_bMenuMode = false;
  // The open popup; it deletes itself and clears this when it goes.
  CUxPopupMenu* m_pPopupMenu = nullptr;
  QWidget* m_pWndParent = nullptr;
  bool m_bDefault = false;
  bool m_bClickedOnMenu = false;
  bool m_bHorzArrow = true;
  bool m_bClosing = false;
  bool m_bMenuOnly = false;
  unsigned m_uiTearOffId = 0;
  bool m_bRadio = false;
  QWidget* m_pWndMessage = nullptr;
  bool m_bOpenRight = false;

 protected:
  // The item look inside a popup menu.
  void DrawMenuItem(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool customizeMode,
                    bool highlight, bool grayDisabledButtons);
  platform::Size menuItemSize(platform::Dc* dc, const platform::Size& cell);
  // With g_bShowShortcuts: the text up to its tab, then the accelerator's key, if any.
  void takeShortcutFromAccelerators();
  // Repaints the button with the room its popup's shadow may cover.
  void redrawWithShadow();
  bool hasRealCommand() const { return m_nCommandId != 0 && m_nCommandId != kSubMenuCommand; }
  // The style the toolbar look draws the image with: an open menu looks pressed, except when
  // it was opened from the arrow of a split button or the visual manager draws flat menus.
  unsigned ImageLookStyle() const;
  // The glyph size, doubled with large icons.
  static platform::Size arrowGlyphSize();
};
