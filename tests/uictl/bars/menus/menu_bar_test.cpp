// The menu bar on a test MDI frame: titles from menus kept through the menu hash, the buttons
// of a maximised child, the arrow keys and the saved state.
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/menu_hash.h"

#include "popup_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class MdiFrame : public MenuFrame, public MenuBarFrame {
 public:
  void SetMenuBar(CUxMenuBar* bar) override { menuBar = bar; }
  QRect DockingRect() const override { return QRect(0, 0, 600, 30); }
  void RecalcLayout() override { ++layouts; }
  bool IsMdiFrame() const override { return true; }
  MdiChildState ActiveMdiChild() const override { return child; }
  MenuHandle ActiveChildSystemMenu() const override { return child.systemMenu; }
  void SendActiveChildSysCommand(unsigned command) override { sysCommands.push_back(command); }
  CUxMenuBar* menuBar = nullptr;
  MdiChildState child;
  int layouts = 0;
  std::vector<unsigned> sysCommands;
};

MenuHandle mainMenu(const wchar_t* first) {
  const MenuHandle menu = createMenu();
  for (const wchar_t* title : {first, L"&Edit", L"&View"}) {
    const MenuHandle sub = createPopupMenu();
    appendMenu(sub, MfString, 100, L"Item");
    appendMenu(menu, MfPopup, sub.id(), title);
  }
  return menu;
}

std::vector<std::wstring> titles(const CUxToolBar* bar) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < bar->GetCount(); ++i) texts.push_back(bar->GetButton(i)->m_strText);
  return texts;
}

}  // namespace

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.setGeometry(0, 0, 600, 400);
    frame.show();
    bar = new CUxMenuBar(&frame);
    bar->Create(&frame);
    bar->CreateFromMenu(defaultMenu, true);
    bar->resize(600, 30);
  }
  void TearDown() override { closeAllPopups(); }
  UxLibrary library;
  ScopedRegistry registry;
  MdiFrame frame;
  MenuHandle defaultMenu = mainMenu(L"&File");
  CUxMenuBar* bar = nullptr;
};

TEST_F(MenuBarTest, EachMenuKeepsItsTitlesThroughTheHash) {
  EXPECT_EQ(frame.menuBar, bar);
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit", L"&View"}));
  // A customised title survives showing another menu and coming back.
  bar->RemoveButton(2);
  const MenuHandle other = mainMenu(L"&Document");
  bar->CreateFromMenu(other);
  EXPECT_EQ(titles(bar).front(), L"&Document");
  bar->CreateFromMenu(defaultMenu);
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit"}));
  bar->CreateFromMenu(defaultMenu);
  EXPECT_EQ(bar->GetCount(), 2);
}

TEST_F(MenuBarTest, AMaximisedChildAddsItsButtonsWhichTheArrowKeysPassBy) {
  const MenuHandle systemMenu = createPopupMenu();
  appendMenu(systemMenu, MfString | MfGrayed, kScClose, L"閉じる");
  frame.child = {true, false, true, systemMenu, QIcon()};
  bar->CreateFromMenu(defaultMenu, true, true);
  // System menu, three titles, restore and a greyed close; no minimise box, no minimise button.
  ASSERT_EQ(bar->GetCount(), 6);
  EXPECT_TRUE(dynamic_cast<CUxToolbarSystemMenuButton*>(bar->GetButton(0)));
  EXPECT_EQ(bar->GetButton(4)->m_nCommandId, kScRestore);
  EXPECT_EQ(bar->GetButton(5)->m_nCommandId, kScClose);
  EXPECT_TRUE(bar->GetButton(5)->m_nStyle & kStyleDisabled);
  EXPECT_EQ(bar->GetSystemButtonsCount(), 2);
  EXPECT_LT(bar->GetButton(4)->m_rect.right, bar->GetButton(5)->m_rect.left);

  bar->setFocus();
  bar->m_iHighlighted = 1;
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(bar->GetHighlightedButton(), 0);
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(bar->GetHighlightedButton(), 3) << "never a window button";
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(bar->GetHighlightedButton(), 0);

  EXPECT_TRUE(bar->OnSendCommand(bar->GetButton(4)));
  EXPECT_EQ(frame.sysCommands, std::vector<unsigned>{kScRestore});
  destroyMenu(systemMenu);
}

TEST_F(MenuBarTest, TheStateRoundTripsAndTitlesOpenTheirMenus) {
  bar->RemoveButton(1);
  ASSERT_TRUE(bar->SaveState(L"Test"));
  bar->CreateFromMenu(defaultMenu, true, true);
  menuHash().RemoveMenu(defaultMenu);
  bar->RemoveAllButtons();
  CUxMenuBar fresh(&frame);
  fresh.Create(&frame);
  fresh.CreateFromMenu(defaultMenu, true);
  EXPECT_EQ(fresh.GetCount(), 3);
  ASSERT_TRUE(fresh.LoadState(L"Test"));
  EXPECT_EQ(titles(&fresh), (std::vector<std::wstring>{L"&File", L"&View"}));

  // Down on a highlighted title drops its menu with the first item chosen.
  fresh.resize(600, 30);
  fresh.AdjustLayout();
  fresh.setFocus();
  fresh.m_iHighlighted = 1;
  QTest::keyClick(&fresh, Qt::Key_Down);
  auto* view = dynamic_cast<CUxToolbarMenuButton*>(fresh.GetButton(1));
  ASSERT_TRUE(view && view->m_pPopupMenu);
  EXPECT_EQ(view->m_pPopupMenu->GetMenuBar()->GetHighlightedButton(), 0);
}
