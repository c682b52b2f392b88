// The buttons a menu bar shows for a maximised MDI child: the child's icon, which opens its
// system menu, and the small minimise, restore and close buttons. Neither is stored or
// customised.
#pragma once

#include "uictl/bars/buttons/toolbar_menu_button.h"

#include <QIcon>

// What the system-menu icon needs of the MDI frame that holds its menu bar.
class UxMdiChildHost {
 public:
  virtual ~UxMdiChildHost() = default;
  // The active child's system menu; a null handle without an active child.
  virtual platform::MenuHandle ActiveChildSystemMenu() const = 0;
  virtual void SendActiveChildSysCommand(unsigned command) = 0;
};

class CUxToolbarSystemMenuButton : public CUxToolbarMenuButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarSystemMenuButton)

 public:
  CUxToolbarSystemMenuButton() = default;
  // Neither the menu nor the icon passes to the button: both stay the child window's.
  CUxToolbarSystemMenuButton(platform::MenuHandle systemMenu, const QIcon& icon);

  void CopyFrom(const CUxToolbarButton& source) override;
  void CreateFromMenu(platform::MenuHandle menu) override { m_hSystemMenu = menu; }
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  void OnCancelMode() override;
  // The items with the checked, disabled and greyed states the live system menu has now.
  platform::MenuHandle ExportToMenu() const override;
  void OnDblClick(QWidget* wnd) override;
  bool CanBeStored() const override { return false; }
  bool HasBorder() const override { return false; }
  bool QueryMenuOption() const override { return false; }

  QIcon m_hSysMenuIcon;
  platform::MenuHandle m_hSystemMenu;
};

class CUxToolbarMenuButtonsButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarMenuButtonsButton)

 public:
  CUxToolbarMenuButtonsButton() = default;
  // The system command is the button's command as well.
  explicit CUxToolbarMenuButtonsButton(unsigned systemCommand) : m_uiSystemCommand(systemCommand) {
    m_nCommandId = systemCommand;
  }

  void CopyFrom(const CUxToolbarButton& source) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  void Serialize(platform::Archive& ar) override { (void)ar; }
  bool CanBeStored() const override { return false; }
  bool HasBorder() const override { return false; }

  unsigned m_uiSystemCommand = 0;
};
