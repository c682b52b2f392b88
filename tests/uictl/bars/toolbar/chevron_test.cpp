// The toolbar's chevron: the buttons that do not fit, its collapse, its place at the end of
// the list through rebuilds and saved states, and its glyphs.
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"

#include "bars_test_support.h"
#include "toolbar_test_support.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

using namespace platform;

namespace {

std::vector<unsigned> commandsOf(const std::vector<CUxToolbarButton*>& buttons) {
  std::vector<unsigned> ids;
  for (const CUxToolbarButton* button : buttons) ids.push_back(button->m_nCommandId);
  return ids;
}

}  // namespace

class ChevronTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar = makeBar(&frame, 1);
    bar->EnableCustomizeButton(true, 0, L"");
    bar->AdjustLayout();
    chevron = bar->m_pCustomizeBtn;
  }
  void TearDown() override { toolbarClassData().bCustomizeMode = false; }
  void narrowTo(int clientWidth) { layOutAtClientWidth(bar, clientWidth); }

  UxLibrary library;
  ScopedRegistry registry;
  TestFrame frame;
  CUxToolBar* bar = nullptr;
  CCustomizeButton* chevron = nullptr;
};

TEST_F(ChevronTest, NarrowingHidesButtonsStepByStepAndAFullBarCollapsesIt) {
  ASSERT_TRUE(chevron);
  ASSERT_EQ(bar->GetCount(), 5);
  EXPECT_EQ(bar->GetButton(4), chevron);

  narrowTo(200);
  EXPECT_TRUE(chevron->GetInvisibleButtons().empty());
  EXPECT_TRUE(chevron->IsEmpty());
  EXPECT_TRUE(chevron->m_bHidden);
  bar->CalcLayout(LmHorz | LmHorzDock);
  EXPECT_EQ(chevron->OnCalculateSize(nullptr, {22, 21}, true), (Size{0, 0}));

  // 1 + 22 + 22 + 8 + 22 = 75 pixels of buttons; the chevron needs 9 + 2 * 2.
  narrowTo(70);
  EXPECT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{102}));
  EXPECT_FALSE(chevron->IsEmpty());
  EXPECT_FALSE(chevron->m_bHidden);
  EXPECT_EQ(chevron->m_rect, (Rect{57, 0, 70, bar->ClientRect().bottom - 1}));
  EXPECT_EQ(bar->HitTest({60, 5}), 4);
  EXPECT_EQ(bar->HitTest({bar->GetItemRect(3).left + 1, 5}), -1);  // hidden buttons are never hit

  narrowTo(40);
  EXPECT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{101, 0, 102}));
  EXPECT_TRUE(bar->GetButton(1)->m_bHidden);
  EXPECT_FALSE(bar->GetButton(0)->m_bHidden);

  // A customise entry keeps the chevron even when everything fits.
  bar->EnableCustomizeButton(true, 500, L"ツールバーのカスタマイズ");
  narrowTo(200);
  EXPECT_FALSE(chevron->m_bHidden);
  EXPECT_EQ(chevron->m_iCustomizeCmdId, 500);

  // Customise mode and floating bars show every button and no chevron.
  toolbarClassData().bCustomizeMode = true;
  narrowTo(40);
  EXPECT_TRUE(chevron->GetInvisibleButtons().empty());
  EXPECT_TRUE(chevron->m_bHidden);
}

TEST_F(ChevronTest, StaysLastThroughInsertsRemovalsSetButtonsAndSavedStates) {
  EXPECT_EQ(bar->InsertButton(std::make_unique<CUxToolbarButton>(103, -1, L"追加")), 4);
  EXPECT_EQ(bar->InsertButtonCopy(CUxToolbarButton(104, -1, L"複写"), bar->GetCount()), 5);
  EXPECT_EQ(bar->GetButton(6), chevron);
  EXPECT_FALSE(bar->RemoveButton(6));
  EXPECT_TRUE(bar->RemoveButton(5));
  EXPECT_EQ(bar->GetCount(), 6);

  // A trailing separator before the chevron goes with the button after it.
  bar->InsertSeparator(5);
  EXPECT_TRUE(bar->RemoveButton(4));
  EXPECT_EQ(bar->GetCount(), 5);
  EXPECT_EQ(bar->GetButton(3)->m_nCommandId, 102u);

  const unsigned ids[] = {100, 0, 101};
  ASSERT_TRUE(bar->SetButtons(ids, 3, false));
  ASSERT_EQ(bar->GetCount(), 4);
  chevron = bar->m_pCustomizeBtn;
  ASSERT_TRUE(chevron);
  EXPECT_EQ(bar->GetButton(3), chevron);

  bar->EnableCustomizeButton(true, 500, L"カスタマイズ");
  ASSERT_TRUE(bar->SaveState());
  bar->RemoveAllButtons();
  EXPECT_FALSE(bar->m_pCustomizeBtn);
  bar->EnableCustomizeButton(true, 600, L"別");
  ASSERT_TRUE(bar->LoadState());
  ASSERT_EQ(bar->GetCount(), 4);  // the chevron is never stored, and the bar's own comes back
  ASSERT_TRUE(bar->m_pCustomizeBtn);
  EXPECT_EQ(bar->GetButton(3), bar->m_pCustomizeBtn);
  EXPECT_EQ(bar->m_pCustomizeBtn->m_iCustomizeCmdId, 600);
  EXPECT_EQ(bar->GetButton(2)->m_nCommandId, 101u);

  bar->EnableCustomizeButton(false, 0, L"");
  EXPECT_FALSE(bar->m_pCustomizeBtn);
  EXPECT_EQ(bar->GetCount(), 3);
}

TEST_F(ChevronTest, GlyphsShowTheHiddenButtonsAndTheCustomiseEntry) {
  bar->EnableCustomizeButton(true, 500, L"");
  narrowTo(40);
  const QImage image = bar->grab().toImage();
  const Rect r = chevron->m_rect;
  const QPoint corner = bar->ClientToWidget(r.topLeft());
  const int half = r.height() / 2;
  // ">>" above (10 pixels), the down arrow (16 pixels) below.
  EXPECT_EQ(countPixels(image, QRect(corner, QSize(r.width(), half)), 0), 18);
  EXPECT_EQ(countPixels(image, QRect(corner + QPoint(0, half), QSize(r.width(), r.height() - half)), 0), 16);
  EXPECT_EQ(chevron->m_strText, L"ツールバー オプション");
}

TEST_F(ChevronTest, AnItemOfTheChevronMenuRunsTheHiddenButtonItWasMadeFrom) {
  frame.show();
  narrowTo(60);
  ASSERT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{0, 102}));
  ASSERT_TRUE(chevron->OnClick(bar, false));
  CUxPopupMenu* popup = chevron->m_pPopupMenu;
  ASSERT_TRUE(popup);
  // The leading separator is left out, so the item's index is not the hidden button's.
  ASSERT_EQ(popup->GetMenuItemCount(), 1);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  EXPECT_EQ(items->GetButton(0)->m_nCommandId, 102u);
  items->OnSendCommand(items->GetButton(0));
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{102, 0}}));
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(chevron->m_pPopupMenu);
}

TEST_F(ChevronTest, ARemovedButtonLeavesTheChevronAtOnceNotAtTheNextLayout) {
  frame.show();
  narrowTo(40);
  ASSERT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{101, 0, 102}));
  const auto everyListedButtonIsOnTheBar = [this] {
    for (const CUxToolbarButton* button : chevron->GetInvisibleButtons())
      if (bar->ButtonToIndex(button) < 0) return false;
    return true;
  };

  // Removing the last button takes the separator before it too; nothing is laid out again.
  ASSERT_TRUE(bar->RemoveButton(3));
  ASSERT_EQ(bar->GetCount(), 3);
  EXPECT_TRUE(everyListedButtonIsOnTheBar());
  EXPECT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{101}));

  ASSERT_TRUE(chevron->OnClick(bar, false));
  CUxPopupMenu* popup = chevron->m_pPopupMenu;
  ASSERT_TRUE(popup);
  ASSERT_EQ(popup->GetMenuItemCount(), 1);
  CUxPopupMenuBar* items = popup->GetMenuBar();
  EXPECT_EQ(items->GetButton(0)->m_nCommandId, 101u);

  // One that goes while the menu is open leaves the list as well.
  ASSERT_TRUE(bar->RemoveButton(1));
  EXPECT_TRUE(chevron->GetInvisibleButtons().empty());
  bar->OnCancelMode();
}

TEST_F(ChevronTest, CustomiseModeBringsTheHiddenButtonsBackAndEndingItHidesThemAgain) {
  narrowTo(40);
  ASSERT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{101, 0, 102}));
  CUxToolBar::SetCustomizeMode(true);
  EXPECT_TRUE(chevron->GetInvisibleButtons().empty());
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(bar->GetButton(i)->m_bHidden) << i;
  EXPECT_EQ(bar->HitTest({bar->GetItemRect(3).left + 1, 5}), 3);
  CUxToolBar::SetCustomizeMode(false);
  narrowTo(40);
  EXPECT_EQ(commandsOf(chevron->GetInvisibleButtons()), (std::vector<unsigned>{101, 0, 102}));
}

TEST_F(ChevronTest, TheBarsCancelClosesTheChevronsMenu) {
  frame.show();
  narrowTo(60);
  ASSERT_TRUE(chevron->OnClick(bar, false));
  ASSERT_TRUE(chevron->m_pPopupMenu);
  QPointer<CUxPopupMenu> popup = chevron->m_pPopupMenu;
  bar->OnCancelMode();
  EXPECT_FALSE(chevron->m_pPopupMenu);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(popup);
}
