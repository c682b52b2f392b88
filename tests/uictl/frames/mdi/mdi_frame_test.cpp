// The MDI frame towards its menu bar: a maximised child's window buttons, the child commands they
// send, and the children listed in the "Window" menu's popup.
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/frames/mdi/mdi_client_area.h"
#include "uictl/frames/mdi/mdi_frame_wnd.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

TEST(MdiFrame, TheMenuBarFollowsTheActiveChildAndListsTheChildren) {
  UxLibrary library;
  CUxMDIFrameWnd frame;
  const MenuHandle menu = createMenu();
  const MenuHandle window = createPopupMenu();
  appendMenu(window, MfString, kFirstMdiWindowCommand, L"&Cascade");
  appendMenu(menu, MfPopup, createPopupMenu().id(), L"&File");
  appendMenu(menu, MfPopup, window.id(), L"&Window");
  frame.SetMenu(menu);
  frame.EnableDocking(CbrsAlignAny);
  auto* menuBar = new CUxMenuBar(&frame);
  menuBar->Create(&frame);
  frame.DockControlBar(menuBar, DockBarTop);
  frame.LoadFrame(0);
  EXPECT_EQ(frame.GetDefaultMenu(), menu);
  EXPECT_EQ(frame.GetWindowMenuPopup(menu), window);
  frame.setGeometry(50, 50, 640, 480);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

  QPointer<QMdiSubWindow> first = frame.ClientArea()->addSubWindow(new QWidget);
  first->setWindowTitle(QStringLiteral("one"));
  first->show();
  QMdiSubWindow* second = frame.ClientArea()->addSubWindow(new QWidget);
  second->setWindowTitle(QStringLiteral("two"));
  second->show();
  frame.ClientArea()->setActiveSubWindow(first);
  EXPECT_EQ(menuBar->GetSystemButtonsCount(), 0);
  first->showMaximized();
  QCoreApplication::processEvents();
  EXPECT_TRUE(frame.ActiveMdiChild().maximized);
  EXPECT_EQ(menuBar->GetSystemButtonsCount(), 3);  // minimise, restore, close
  EXPECT_NE(getMenuState(frame.ActiveChildSystemMenu(), kScRestore, MfByCommand) & MfGrayed, MfGrayed);

  // The "Window" popup lists the children, the active one checked; a child command activates.
  QPointer<CUxPopupMenu> popup = new CUxPopupMenu;
  ASSERT_TRUE(popup->Create(&frame, 100, 100, window));
  ASSERT_EQ(popup->GetMenuItemCount(), 3);
  EXPECT_EQ(popup->GetMenuItem(1)->m_nCommandId, kFirstWindowMenuChild);
  EXPECT_TRUE(popup->GetMenuItem(1)->m_nStyle & kStyleChecked);
  EXPECT_NE(popup->GetMenuItem(2)->m_strText.find(L"two"), std::wstring::npos);
  popup->close();
  EXPECT_TRUE(frame.onCommand(kFirstWindowMenuChild + 1, 0));
  EXPECT_EQ(frame.ClientArea()->activeSubWindow(), second);

  // The menu bar's close button closes the active child.
  frame.SendActiveChildSysCommand(kScClose);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(frame.ClientArea()->subWindowList().size(), 1);
}
