// What a tasks pane offers its toolbar: named pages, one active, and a menu that lists them;
// the toolbar at the pane's top with the menu button that switches pages.
#pragma once

#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"

#include <QWidget>
#include <string>
#include <vector>

// The command of every item of the pages menu.
constexpr unsigned kTasksPanePagesCommand = 17020;

class CUxTasksPane : public QWidget {
 public:
  explicit CUxTasksPane(QWidget* parent = nullptr) : QWidget(parent) {}

  // The new page's index; it is listed last in the pages menu.
  int AddPage(const std::wstring& name);
  int GetPageCount() const { return static_cast<int>(m_lstPages.size()); }
  const std::wstring& GetPageName(int page) const { return m_lstPages.at(static_cast<size_t>(page)); }
  // False for an index that names no page.
  bool SetActivePage(int page);
  int GetActivePage() const { return m_iActivePage; }
  // A new popup menu with one item per page and the active page checked; the caller owns it.
  platform::MenuHandle CreatePagesMenu() const;

 private:
  std::vector<std::wstring> m_lstPages;
  std::vector<int> m_arrMenuPositions;
  int m_iActivePage = -1;
};

class CTasksPaneMenuButton : public CUxToolbarMenuButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CTasksPaneMenuButton)

 public:
  CTasksPaneMenuButton() : CUxToolbarMenuButton(kSubMenuCommand, {}, -1) {}

  void OnChangeParentWnd(QWidget* parent) override;
  platform::MenuHandle ExportToMenu() const override;
  CUxPopupMenu* CreatePopupMenu() override;

  // The pane that holds the button's bar, not owned.
  CUxTasksPane* m_pTasksPane = nullptr;
};

class CTasksPaneToolBar : public CUxToolBar {
  KELVARA_DECLARE_RUNTIME_CLASS(CTasksPaneToolBar)

 public:
  explicit CTasksPaneToolBar(QWidget* parent = nullptr) : CUxToolBar(parent) {}

  bool IsButtonExtraSizeAvailable() const override { return false; }
  bool ReservedOption() const override { return false; }
  void AdjustLocations() override;
  bool GetButtonToolTipText(const CUxToolbarButton* button, std::wstring& text) override;
  void OnIdleUpdateCmdUI() override;
};
