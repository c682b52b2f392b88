// The MDI frame towards its menu bar: a maximised child's window buttons, the child commands they
// send, and the children listed in the "Window" menu's popup.
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/frames/mdi/mdi_child_wnd.h"
#include "uictl/frames/mdi/mdi_client_area.h"
#include "uictl/frames/mdi/mdi_frame_wnd.h"
#include "patience.h"

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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));

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

namespace {

MenuHandle documentMenu(const wchar_t* first) {
  const MenuHandle menu = createMenu();
  for (const wchar_t* title : {first, L"&Window"}) {
    const MenuHandle sub = createPopupMenu();
    appendMenu(sub, MfString, 100, L"Item");
    appendMenu(menu, MfPopup, sub.id(), title);
  }
  return menu;
}

}  // namespace

TEST(MdiFrame, DocumentChildrenShowTheirTemplatesMenuWhichAResetMakesAnew) {
  UxLibrary library;
  CUxMDIFrameWnd frame;
  const MenuHandle menu = documentMenu(L"&File");
  frame.SetMenu(menu);
  frame.EnableDocking(CbrsAlignAny);
  auto* menuBar = new CUxMenuBar(&frame);
  menuBar->Create(&frame);
  frame.DockControlBar(menuBar, DockBarTop);
  frame.LoadFrame(0);
  int sheetLoads = 0;
  frame.AddDocTemplate(0x2001, [&] {
    ++sheetLoads;
    return documentMenu(L"&Sheet");
  });
  frame.AddDocTemplate(0x2002, [] { return documentMenu(L"&Card"); });
  const MenuHandle sheet = frame.GetDocTemplateMenu(0x2001);
  ASSERT_TRUE(sheet);
  const std::vector<DocumentMenu> listed = frame.DocumentMenus();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].resourceId, 0x2001u);
  EXPECT_EQ(listed[0].menu, sheet);
  EXPECT_EQ(listed[1].menu, frame.GetDocTemplateMenu(0x2002));
  frame.setGeometry(50, 50, 640, 480);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));

  // A document's child shows its template's menu; a plain child the default one.
  auto* document = new CUxMDIChildWnd;
  document->setWidget(new QWidget);
  document->m_hMenuShared = sheet;
  frame.ClientArea()->addSubWindow(document);
  document->show();
  QMdiSubWindow* plain = frame.ClientArea()->addSubWindow(new QWidget);
  plain->show();
  frame.ClientArea()->setActiveSubWindow(document);
  EXPECT_EQ(menuBar->GetMenu(), sheet);
  EXPECT_EQ(menuBar->GetButton(0)->m_strText, L"&Sheet");
  frame.ClientArea()->setActiveSubWindow(plain);
  EXPECT_EQ(menuBar->GetMenu(), menu);

  // A reset makes the template's menu again and hands it to its open children.
  frame.ClientArea()->setActiveSubWindow(document);
  menuBar->ReloadFromResource();
  const MenuHandle fresh = frame.GetDocTemplateMenu(0x2001);
  EXPECT_EQ(sheetLoads, 2);
  EXPECT_NE(fresh, sheet);
  EXPECT_FALSE(isMenu(sheet));
  EXPECT_EQ(document->m_hMenuShared, fresh);
  EXPECT_EQ(menuBar->GetMenu(), fresh);
  frame.ClientArea()->setActiveSubWindow(plain);
  frame.ClientArea()->setActiveSubWindow(document);
  EXPECT_EQ(menuBar->GetMenu(), fresh);
}
