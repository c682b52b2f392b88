#include "uictl/frames/mdi/mdi_child_wnd.h"

#include "uictl/bars/menus/popup_menu.h"
#include "uictl/frames/mdi/mdi_client_area.h"

#include <QApplication>
#include <QEvent>

CUxMDIChildWnd::CUxMDIChildWnd(QWidget* parent, Qt::WindowFlags flags) : QMdiSubWindow(parent, flags) {
  // A closed child is gone, as its document window is.
  setAttribute(Qt::WA_DeleteOnClose);
  connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
    if (!(now & Qt::WindowActive) || (before & Qt::WindowActive)) return;
    if (MDIClientAreaWnd* area = clientArea()) area->ActivateChildTab(this);
  });
}

CUxMDIChildWnd::~CUxMDIChildWnd() {
  m_bClosing = true;
  if (MDIClientAreaWnd* area = clientArea()) area->OnMdiDestroy(this);
}

MDIClientAreaWnd* CUxMDIChildWnd::clientArea() const { return dynamic_cast<MDIClientAreaWnd*>(mdiArea()); }

std::wstring CUxMDIChildWnd::GetTabText() const { return windowTitle().toStdWString(); }

QIcon CUxMDIChildWnd::GetTabIconHandle() const {
  if (testAttribute(Qt::WA_SetWindowIcon)) return windowIcon();
  return QApplication::windowIcon();
}

bool CUxMDIChildWnd::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::ParentChange: {
      MDIClientAreaWnd* area = clientArea();
      m_pMDIFrame = area ? area->Frame() : nullptr;
      break;
    }
    case QEvent::ShortcutOverride:
      // While a popup menu is open its frame routes the keys: none of them may fire a shortcut
      // of the child or of the client area on the way.
      if (m_pMDIFrame && CUxPopupMenu::GetActiveMenu()) {
        event->accept();
        return true;
      }
      break;
    default: break;
  }
  return QMdiSubWindow::event(event);
}
