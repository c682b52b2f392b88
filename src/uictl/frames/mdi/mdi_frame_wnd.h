// The library's multiple-document frame: its central pane is the MDI client area, its menu bar
// shows the active child's window buttons, and the "Window" menu lists the children.
#pragma once

#include "uictl/frames/mdi/mdi_client_area.h"
#include "uictl/frames/ux_frame_base.h"

#include <QMetaObject>
#include <functional>
#include <vector>

class QMdiSubWindow;
class QPainter;

constexpr unsigned kIdContextHelp = 57669;
constexpr unsigned kFirstMdiWindowCommand = 0xE130, kLastMdiWindowCommand = 0xE13F;
constexpr unsigned kLastWindowMenuChild = 0xFFFE;

class CUxMDIFrameWnd : public UxFrameBase, public MdiClientBackground {
 public:
  explicit CUxMDIFrameWnd(QWidget* parent = nullptr);
  ~CUxMDIFrameWnd() override;

  MDIClientAreaWnd* ClientArea() const { return m_wndClientArea; }
  // Also makes the menu bar's menu the default menu of the children.
  bool LoadFrame(unsigned resourceId) override;
  platform::MenuHandle GetDefaultMenu() const { return m_hMenuDefault; }
  // The submenu of `menu` that holds the MDI window commands, remembered as the "Window" menu.
  platform::MenuHandle GetWindowMenuPopup(platform::MenuHandle menu);
  // A child's menu for the frame; false when a maximised child keeps the current one.
  virtual bool OnSetMenu(platform::MenuHandle menu);
  // Asked before the client area erases its background; true when the frame painted it.
  bool PaintClientAreaBackground(QPainter& painter) override { (void)painter; return false; }
  // A "Windows..." item closing the children list of the "Window" menu, when there are more
  // children than the list shows (or always).
  void SetWindowsDialogCommand(unsigned command, const std::wstring& text, bool showAlways);

  // A document template, known by the resource its shared menu is made from; `loadMenu` makes
  // that menu (again). The frame owns the template's menu.
  using MenuLoader = std::function<platform::MenuHandle()>;
  void AddDocTemplate(unsigned resourceId, MenuLoader loadMenu);
  // The template's shared menu; null for an unknown template.
  platform::MenuHandle GetDocTemplateMenu(unsigned resourceId) const;
  std::vector<DocumentMenu> DocumentMenus() const override;
  platform::MenuHandle LoadDocumentMenu(unsigned resourceId) override;
  // Open children of the template show the new menu from now on.
  void SetDocumentMenu(unsigned resourceId, platform::MenuHandle menu) override;

  // With `document`, the table of the active child when it has one.
  AccelTable GetDefaultAccelerator(bool document) const override;
  bool IsMdiFrame() const override { return true; }
  MdiChildState ActiveMdiChild() const override;
  platform::MenuHandle ActiveChildSystemMenu() const override;
  void SendActiveChildSysCommand(unsigned command) override;
  void FillWindowMenuPopup(CUxPopupMenu* popup) override;

 protected:
  bool OnFrameCommand(unsigned id, int notifyCode) override;
  void PositionCentralWidget(const QRect& rect) override;

 private:
  void followActiveChild(QMdiSubWindow* child);
  void enterContextHelp();

  struct DocTemplate {
    unsigned resourceId;
    MenuLoader loadMenu;
    platform::MenuHandle menu;
  };
  std::vector<DocTemplate> m_docTemplates;
  MDIClientAreaWnd* m_wndClientArea;
  platform::MenuHandle m_hMenuDefault;
  platform::MenuHandle m_hWindowMenu;
  bool m_bContextHelp = false;
  unsigned m_uiWindowsDlgMenuId = 0;
  std::wstring m_strWindowsDlgMenuText;
  bool m_bShowWindowsDlgAlways = false;
  // The active child's system menu as the menu bar's icon shows it.
  mutable platform::MenuHandle m_hChildSystemMenu;
  QMetaObject::Connection m_activationConnection;
  QMetaObject::Connection m_childStateConnection;
};
