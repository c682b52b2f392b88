// The tasks pane's pages menu, its toolbar's menu button width, close-button rule, tooltips
// and idle update.
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/tasks_pane.h"

#include "toolbar_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

class TasksPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pane.AddPage(L"はじめに");
    pane.AddPage(L"検索");
    pane.AddPage(L"ヘルプ");
    pane.SetActivePage(1);
    bar = new CTasksPaneToolBar(&pane);
    bar->Create(&pane, 0x50000000u | CbrsAlignTop, 7);
    bar->SetOwner(&owner);
    bar->InsertButton(std::make_unique<CUxToolbarButton>(400, 0, L"戻る"));
    bar->InsertButton(std::make_unique<CTasksPaneMenuButton>());
    bar->InsertButton(std::make_unique<CUxToolbarButton>(401, 3, L"閉じる"));
    menuButton = static_cast<CTasksPaneMenuButton*>(bar->GetButton(1));
  }
  void layOut(int clientWidth) {
    bar->resize(bar->width(), bar->sizeHint().height());
    layOutAtClientWidth(bar, clientWidth);
  }

  UxLibrary library;
  TestFrame owner;
  CUxTasksPane pane;
  CTasksPaneToolBar* bar = nullptr;
  CTasksPaneMenuButton* menuButton = nullptr;
};

TEST_F(TasksPaneTest, PagesMenuListsEveryPageWithTheActiveOneChecked) {
  EXPECT_EQ(menuButton->m_pTasksPane, &pane);
  EXPECT_EQ(menuButton->m_nCommandId, kSubMenuCommand);
  const MenuHandle menu = menuButton->ExportToMenu();
  ASSERT_EQ(getMenuItemCount(menu), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(getMenuItemId(menu, i), kTasksPanePagesCommand);
    EXPECT_EQ((getMenuState(menu, static_cast<unsigned>(i), MfByPosition) & MfChecked) != 0, i == 1);
  }
  EXPECT_EQ(getMenuString(menu, 2, MfByPosition), L"ヘルプ");
  EXPECT_TRUE(IsBasicCommand(kTasksPanePagesCommand));
  destroyMenu(menu);
  EXPECT_FALSE(pane.SetActivePage(3));
}

TEST_F(TasksPaneTest, MenuButtonFillsTheBarButNeverNarrowerThanThreeHeights) {
  layOut(300);
  const Rect wide = menuButton->m_rect;
  EXPECT_EQ(wide.right, bar->ClientRect().right - 1);
  EXPECT_TRUE(bar->GetButton(2)->m_bHidden);  // the bar's own close image is not shown
  EXPECT_FALSE(bar->GetButton(0)->m_bHidden);

  layOut(40);
  EXPECT_EQ(menuButton->m_rect.width(), 3 * menuButton->m_rect.height());

  std::wstring text;
  EXPECT_TRUE(bar->GetButtonToolTipText(menuButton, text));
  EXPECT_EQ(text, L"作業ウィンドウの切り替え");
  EXPECT_TRUE(bar->GetButtonToolTipText(bar->GetButton(0), text));
  EXPECT_EQ(text, L"戻る");
}

TEST_F(TasksPaneTest, IdleUpdateRunsDelayedShowAndHideAndAsksTheOwner) {
  pane.show();
  owner.disabled.insert(400);
  bar->OnIdleUpdateCmdUI();
  EXPECT_TRUE(bar->GetButtonStyle(0) & kStyleDisabled);

  owner.disabled.clear();
  bar->DelayShow(false);
  bar->OnIdleUpdateCmdUI();
  EXPECT_TRUE(bar->isHidden());
  EXPECT_TRUE(bar->GetButtonStyle(0) & kStyleDisabled);  // a hidden bar is not updated

  bar->DelayShow(true);
  bar->OnIdleUpdateCmdUI();
  EXPECT_FALSE(bar->isHidden());
  EXPECT_FALSE(bar->GetButtonStyle(0) & kStyleDisabled);
}
