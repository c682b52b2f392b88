// A drop-down or context menu: a top-level window that never takes activation, holding one
// popup menu bar. It places itself on the nearest screen's work area (flipping sides, or
// scrolling with arrow buttons when taller than the room), draws a drop shadow from the top-level
// window's pixels, answers the keyboard and closes alone or with its parent popups. One class-wide
// pointer names the popup that has the menu mode.
#pragma once

#include "platform/windows/menu_handles.h"
#include "uictl/bars/menus/popup_menu_bar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class CUxPopupMenu;
class CUxToolbarMenuButton;

// What the library's frames offer popups: shown (may refuse) and closed.
class PopupMenuFrameHook {
 public:
  virtual ~PopupMenuFrameHook() = default;
  virtual bool OnShowPopupMenu(CUxPopupMenu* popup) = 0;
  virtual void OnClosePopupMenu() = 0;
};

// What the library's dialogs and property pages offer: which popup is their active menu.
class PopupMenuOwnerHook {
 public:
  virtual ~PopupMenuOwnerHook() = default;
  virtual void SetActiveMenu(CUxPopupMenu* popup) = 0;
};

// The application's list of recently opened files, as menus show it; none unless one is installed.
class RecentFileList {
 public:
  virtual ~RecentFileList() = default;
  virtual int GetSize() const = 0;
  // The entry's name as menus show it (without the folder when it lies in `currentFolder`);
  // false when the entry is empty.
  virtual bool GetDisplayName(int index, std::wstring& name, const std::wstring& currentFolder) const = 0;
};
void setRecentFileList(RecentFileList* list);

class CUxPopupMenu : public QWidget, public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxPopupMenu)

 public:
  CUxPopupMenu();
  ~CUxPopupMenu() override;

  virtual CUxPopupMenuBar* GetMenuBar() { return m_wndMenuBar; }
  virtual bool IsInCommand() const { return m_wndMenuBar && m_wndMenuBar->IsInCommand(); }
  // Opens at (x, y) in screen coordinates; (-1, -1) is 5 pixels into the parent's client area.
  virtual bool Create(QWidget* parent, int x, int y, platform::MenuHandle menu, bool locked = false,
                      bool ownMessage = false);

  int GetMenuItemCount() const { return m_wndMenuBar ? m_wndMenuBar->GetCount() : 0; }
  CUxToolbarMenuButton* GetMenuItem(int index) const;
  CUxToolbarMenuButton* GetSelItem() const;
  int InsertItem(const CUxToolbarMenuButton& item, int insertAt = -1);
  int InsertSeparator(int insertAt = -1);
  bool RemoveItem(int index);
  CUxPopupMenu* GetParentPopupMenu() const;
  CUxToolBar* GetParentToolBar() const;
  bool HasParentButton() const { return m_pParentBtn != nullptr; }
  CUxToolbarMenuButton* GetParentButton() const { return m_pParentBtn; }
  // A button's menu stays one after the button lets it go to close it.
  void SetParentButton(CUxToolbarMenuButton* button) {
    m_pParentBtn = button;
    if (button) m_bButtonsMenu = true;
  }
  // 4 outside the window, 1 in the right shadow band, 2 in the bottom one, 0 elsewhere.
  int HitTest(const QPoint& screen) const;
  void CloseMenu(bool setFocusToBar = false);
  void ShowAllCommands();
  bool PostCommand(unsigned command);
  void CloseAllSubMenus();
  void OnKeyDown(unsigned virtualKey);
  void OnActivateApp(bool active);
  QWidget* GetMessageWnd() const { return m_pMessageWnd; }
  void SetMessageWnd(QWidget* wnd) { m_pMessageWnd = wnd; }
  QWidget* GetParentWnd() const { return m_pParentWnd; }
  QWidget* GetTopFrame() const;
  bool IsScrollable() const { return m_bScrollable; }
  platform::Size GetFinalSize() const { return m_FinalSize; }
  int GetShadowSize() const { return m_iShadowSize; }
  QRect GetScrollUpRect() const { return m_rectScrollUp; }
  QRect GetScrollDownRect() const { return m_rectScrollDn; }

  static bool ActivatePopupMenu(QWidget* topFrame, CUxPopupMenu* popup);
  static CUxPopupMenu* GetActiveMenu() { return m_pActivePopupMenu; }

  // Placement; runs after each build.
  void RecalcLayout();
  bool RecalcScrollButtons(bool force);
  bool IsScrollDownAvailable() const;
  void UpdateShadow(bool noRedraw);
  void DrawMenu(platform::Dc* dc);

  bool m_bAutoDestroyParent = true;
  bool m_bAutoDestroy = true;
  bool m_bRightAlign = false;
  int m_iMaxWidth = -1;
  int m_iMaxHeight = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  virtual void OnDestroy();
  // Builds the items; false when the frame refused the popup.
  virtual bool InitMenuBar();

  QPointer<QWidget> m_pMessageWnd;
  QPointer<QWidget> m_pParentWnd;
  CUxToolbarMenuButton* m_pParentBtn = nullptr;
  CUxPopupMenuBar* m_wndMenuBar = nullptr;
  platform::MenuHandle m_hMenu;
  QPoint m_ptLocation, m_ptLocationInitial;
  platform::Size m_FinalSize;
  bool m_bInCloseMenu = false;
  bool m_bDestroyed = false;
  // Opened by a menu button, not as a context menu.
  bool m_bButtonsMenu = false;
  bool m_bScrollable = false;
  QRect m_rectScrollUp, m_rectScrollDn;
  int m_iScrollMode = 0;
  int m_iScrollBtnHeight = 13;
  int m_iShadowSize = 0;
  QImage m_bmpShadowRight, m_bmpShadowBottom;
  // The top-level window's pixels behind the shadow strips, taken when the popup is placed.
  QImage m_grabbedBackground;

 private:
  friend class CUxPopupMenuBar;
  void onScrollTimer();
  void writeBackEditedItems();
  void insertRecentFiles();
  void scrollHighlightedIntoView();
  QRect workArea() const;
  QTimer m_scrollTimer;
  static CUxPopupMenu* m_pActivePopupMenu;
};
