#include "uictl/frames/mdi/mdi_frame_wnd.h"

#include "uictl/bars/library_globals.h"
#include "uictl/frames/mdi/mdi_child_wnd.h"

#include <QMdiSubWindow>
#include <QWhatsThis>

using namespace platform;

namespace {

constexpr unsigned kScSize = 0xF000, kScMove = 0xF010, kScMaximize = 0xF030;

bool isChildCommand(unsigned id) { return id >= kFirstWindowMenuChild && id <= kLastWindowMenuChild; }
bool isWindowCommand(unsigned id) { return id >= kFirstMdiWindowCommand && id <= kLastMdiWindowCommand; }

bool holdsWindowCommands(MenuHandle menu) {
  for (int i = 0, count = getMenuItemCount(menu); i < count; ++i)
    if (isWindowCommand(getMenuItemId(menu, i))) return true;
  return false;
}

MenuHandle buildChildSystemMenu() {
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, kScRestore, L"元のサイズに戻す(&R)");
  appendMenu(menu, MfString, kScMove, L"移動(&M)");
  appendMenu(menu, MfString, kScSize, L"サイズ変更(&S)");
  appendMenu(menu, MfString, kScMinimize, L"最小化(&N)");
  appendMenu(menu, MfString, kScMaximize, L"最大化(&X)");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfString, kScClose, L"閉じる(&C)\tCtrl+F4");
  return menu;
}

void enableItem(MenuHandle menu, unsigned command, bool enabled) {
  enableMenuItem(menu, command, MfByCommand | (enabled ? 0u : unsigned(MfGrayed)));
}

}  // namespace

CUxMDIFrameWnd::CUxMDIFrameWnd(QWidget* parent) : UxFrameBase(parent) {
  m_wndClientArea = new MDIClientAreaWnd(this);
  SetCentralWidget(m_wndClientArea);
  m_activationConnection = QObject::connect(m_wndClientArea, &QMdiArea::subWindowActivated, this,
                                            [this](QMdiSubWindow* child) { followActiveChild(child); });
}

CUxMDIFrameWnd::~CUxMDIFrameWnd() {
  // The children close after this frame is gone (in the widget's own destructor), and the client
  // area reports the activations that brings: nothing of this frame may answer them.
  QObject::disconnect(m_activationConnection);
  QObject::disconnect(m_childStateConnection);
  if (m_hChildSystemMenu) destroyMenu(m_hChildSystemMenu);
  for (const DocTemplate& docTemplate : m_docTemplates) destroyMenu(docTemplate.menu);
}

void CUxMDIFrameWnd::AddDocTemplate(unsigned resourceId, MenuLoader loadMenu) {
  const MenuHandle menu = loadMenu ? loadMenu() : MenuHandle();
  m_docTemplates.push_back({resourceId, std::move(loadMenu), menu});
}

MenuHandle CUxMDIFrameWnd::GetDocTemplateMenu(unsigned resourceId) const {
  for (const DocTemplate& docTemplate : m_docTemplates)
    if (docTemplate.resourceId == resourceId) return docTemplate.menu;
  return {};
}

std::vector<DocumentMenu> CUxMDIFrameWnd::DocumentMenus() const {
  std::vector<DocumentMenu> menus;
  for (const DocTemplate& docTemplate : m_docTemplates)
    if (docTemplate.menu) menus.push_back({docTemplate.resourceId, docTemplate.menu});
  return menus;
}

MenuHandle CUxMDIFrameWnd::LoadDocumentMenu(unsigned resourceId) {
  for (const DocTemplate& docTemplate : m_docTemplates)
    if (docTemplate.resourceId == resourceId && docTemplate.loadMenu) return docTemplate.loadMenu();
  return {};
}

void CUxMDIFrameWnd::SetDocumentMenu(unsigned resourceId, MenuHandle menu) {
  for (DocTemplate& docTemplate : m_docTemplates) {
    if (docTemplate.resourceId != resourceId) continue;
    for (QMdiSubWindow* window : m_wndClientArea->subWindowList())
      if (auto* child = dynamic_cast<CUxMDIChildWnd*>(window); child && child->m_hMenuShared == docTemplate.menu)
        child->m_hMenuShared = menu;
    docTemplate.menu = menu;
  }
}

bool CUxMDIFrameWnd::LoadFrame(unsigned resourceId) {
  const bool loaded = UxFrameBase::LoadFrame(resourceId);
  if (CUxMenuBar* menuBar = m_Impl.GetMenuBar()) m_hMenuDefault = menuBar->GetMenu();
  return loaded;
}

MenuHandle CUxMDIFrameWnd::GetWindowMenuPopup(MenuHandle menu) {
  m_hWindowMenu = {};
  for (int i = 0, count = getMenuItemCount(menu); i < count; ++i)
    if (const MenuHandle sub = getSubMenu(menu, i); sub && holdsWindowCommands(sub)) {
      m_hWindowMenu = sub;
      break;
    }
  return m_hWindowMenu;
}

bool CUxMDIFrameWnd::OnSetMenu(MenuHandle menu) {
  if (QMdiSubWindow* child = m_wndClientArea->activeSubWindow(); child && child->isMaximized()) return false;
  CUxMenuBar* menuBar = m_Impl.GetMenuBar();
  if (!menuBar) return false;
  SetMenu({});
  const MenuHandle shown = menu ? menu : m_hMenuDefault;
  menuBar->CreateFromMenu(shown, shown == m_hMenuDefault);
  GetWindowMenuPopup(shown);
  return true;
}

void CUxMDIFrameWnd::SetWindowsDialogCommand(unsigned command, const std::wstring& text, bool showAlways) {
  m_uiWindowsDlgMenuId = command;
  m_strWindowsDlgMenuText = text;
  m_bShowWindowsDlgAlways = showAlways;
}

AccelTable CUxMDIFrameWnd::GetDefaultAccelerator(bool document) const {
  if (!document) return UxFrameBase::GetDefaultAccelerator(false);
  QMdiSubWindow* child = m_wndClientArea->activeSubWindow();
  const auto* source = dynamic_cast<const AcceleratorSource*>(child);
  if (!source && child) source = dynamic_cast<const AcceleratorSource*>(child->widget());
  return source ? source->GetDefaultAccelerator(false) : nullptr;
}

MdiChildState CUxMDIFrameWnd::ActiveMdiChild() const {
  MdiChildState state;
  const QMdiSubWindow* child = m_wndClientArea->activeSubWindow();
  if (!child) return state;
  state.maximized = child->isMaximized();
  state.minimizeBox = child->windowFlags() & Qt::WindowMinimizeButtonHint;
  state.maximizeBox = child->windowFlags() & Qt::WindowMaximizeButtonHint;
  state.systemMenu = ActiveChildSystemMenu();
  state.icon = child->windowIcon();
  return state;
}

MenuHandle CUxMDIFrameWnd::ActiveChildSystemMenu() const {
  const QMdiSubWindow* child = m_wndClientArea->activeSubWindow();
  if (!child) return {};
  if (!m_hChildSystemMenu) m_hChildSystemMenu = buildChildSystemMenu();
  const bool normal = !child->isMaximized() && !child->isMinimized();
  const Qt::WindowFlags flags = child->windowFlags();
  enableItem(m_hChildSystemMenu, kScRestore, !normal);
  enableItem(m_hChildSystemMenu, kScMove, normal);
  enableItem(m_hChildSystemMenu, kScSize, normal);
  enableItem(m_hChildSystemMenu, kScMinimize, (flags & Qt::WindowMinimizeButtonHint) && !child->isMinimized());
  enableItem(m_hChildSystemMenu, kScMaximize, (flags & Qt::WindowMaximizeButtonHint) && !child->isMaximized());
  return m_hChildSystemMenu;
}

void CUxMDIFrameWnd::SendActiveChildSysCommand(unsigned command) {
  QMdiSubWindow* child = m_wndClientArea->activeSubWindow();
  if (!child) return;
  switch (command) {
    case kScMinimize: child->showMinimized(); break;
    case kScMaximize: child->showMaximized(); break;
    case kScRestore: child->showNormal(); break;
    case kScClose: child->close(); break;
    default: break;
  }
}

void CUxMDIFrameWnd::followActiveChild(QMdiSubWindow* child) {
  QObject::disconnect(m_childStateConnection);
  if (child)
    m_childStateConnection = QObject::connect(child, &QMdiSubWindow::windowStateChanged, this,
                                              [this] { followActiveChild(m_wndClientArea->activeSubWindow()); });
  CUxMenuBar* menuBar = m_Impl.GetMenuBar();
  if (!menuBar || !menuBar->GetMenu()) return;
  // A document's child shows its template's menu; any other child the frame's default menu.
  MenuHandle shown = m_hMenuDefault ? m_hMenuDefault : menuBar->GetMenu();
  if (auto* document = dynamic_cast<CUxMDIChildWnd*>(child); document && document->m_hMenuShared)
    shown = document->m_hMenuShared;
  menuBar->CreateFromMenu(shown, shown == m_hMenuDefault);
  GetWindowMenuPopup(shown);
}

void CUxMDIFrameWnd::FillWindowMenuPopup(CUxPopupMenu* popup) {
  CUxPopupMenuBar* bar = popup ? popup->GetMenuBar() : nullptr;
  if (!bar || !m_hWindowMenu) return;
  bool windowMenu = false;
  for (int i = 0; i < bar->GetCount() && !windowMenu; ++i) windowMenu = isWindowCommand(bar->GetButton(i)->m_nCommandId);
  if (!windowMenu) return;
  // The children of an earlier listing go before the current ones are added.
  for (int i = popup->GetMenuItemCount() - 1; i >= 0; --i) {
    const unsigned id = bar->GetButton(i)->m_nCommandId;
    if (isChildCommand(id) || (m_uiWindowsDlgMenuId && id == m_uiWindowsDlgMenuId)) popup->RemoveItem(i);
  }
  m_wndClientArea->RefreshWindowMenu(m_hWindowMenu);
  bool moreWindows = false;
  for (int i = 0, count = getMenuItemCount(m_hWindowMenu); i < count; ++i) {
    const unsigned id = getMenuItemId(m_hWindowMenu, i);
    if (!isChildCommand(id)) continue;
    if (id == kMoreWindowsMenuItem && m_uiWindowsDlgMenuId) {
      moreWindows = true;
      continue;
    }
    const std::wstring text = getMenuString(m_hWindowMenu, static_cast<unsigned>(i), MfByPosition);
    CUxToolbarMenuButton item(id, {}, -1, text.c_str());
    if (getMenuState(m_hWindowMenu, static_cast<unsigned>(i), MfByPosition) & MfChecked) item.m_nStyle |= kStyleChecked;
    popup->InsertItem(item);
  }
  if (m_uiWindowsDlgMenuId && (moreWindows || m_bShowWindowsDlgAlways))
    popup->InsertItem(CUxToolbarMenuButton(m_uiWindowsDlgMenuId, {}, -1, m_strWindowsDlgMenuText.c_str()));
}

void CUxMDIFrameWnd::enterContextHelp() {
  m_bContextHelp = true;
  if (!QWhatsThis::inWhatsThisMode()) QWhatsThis::enterWhatsThisMode();
  m_bContextHelp = false;
}

bool CUxMDIFrameWnd::OnFrameCommand(unsigned id, int notifyCode) {
  if (id == kIdContextHelp) {
    enterContextHelp();
    return true;
  }
  if (isChildCommand(id) && m_wndClientArea->RunWindowCommand(id)) return true;
  return UxFrameBase::OnFrameCommand(id, notifyCode);
}

void CUxMDIFrameWnd::PositionCentralWidget(const QRect& rect) {
  QRect area = rect;
  m_wndClientArea->CalcWindowRect(area);
}
