// The drop-down button: a short click runs the default command, a long press opens the popup
// with the toolbar's own buttons, a release there chooses, anything else closes it.
#include "platform/settings/archive.h"
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/combos/drop_down_toolbar.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"

#include "bars_test_support.h"
#include "patience.h"
#include "toolbar_test_support.h"

#include <QApplicationStateChangeEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr COLORREF kRed = 0x0000FF, kGreen = 0x00FF00;

}  // namespace

class DropDownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.resize(300, 100);
    frame.show();
    source = new CUxDropDownToolBar(&frame);
    source->Create(&frame, CbrsAlignTop, 7);
    source->LoadToolBar(kBarResource);
    bar = new CUxToolBar(&frame);
    bar->Create(&frame, 0x50000000u | CbrsAlignTop, 8);
    bar->InsertButton(std::make_unique<CUxDropDownToolbarButton>(L"色", source));
    bar->resize(bar->sizeHint());
    bar->AdjustLayout();
    button = static_cast<CUxDropDownToolbarButton*>(bar->GetButton(0));
  }
  void TearDown() override {
    if (button->m_pPopupFrame) button->m_pPopupFrame->DestroyWindow();
    QCoreApplication::processEvents();
  }
  int buttonPixels(COLORREF colour) {
    const Rect r = button->m_rect;
    return countPixels(bar->grab().toImage(), QRect(bar->ClientToWidget(r.topLeft()), QSize(r.width(), r.height())), colour);
  }
  CUxDropDownFrame* holdOpen() {
    QTest::mousePress(bar, Qt::LeftButton, {}, centreOf(bar, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->m_pPopupFrame; }, testwait::kPatienceMs));
    return button->m_pPopupFrame;
  }

  UxLibrary library;
  TestFrame frame;
  CUxDropDownToolBar* source = nullptr;
  CUxToolBar* bar = nullptr;
  CUxDropDownToolbarButton* button = nullptr;
};

TEST_F(DropDownTest, ShortClickRunsTheDefaultCommand) {
  EXPECT_EQ(button->m_nCommandId, 100u);
  EXPECT_GT(buttonPixels(kRed), 20);
  QTest::mousePress(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  EXPECT_EQ(CUxDropDownToolbarButton::pendingButton(), button);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  QCoreApplication::processEvents();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{100, 0}}));
  EXPECT_EQ(CUxDropDownToolbarButton::pendingButton(), nullptr);
  QTest::qWait(CUxDropDownToolbarButton::kDelayMs + 100);
  EXPECT_FALSE(button->m_pPopupFrame);

  // With its command disabled the button still opens its toolbar.
  frame.disabled.insert(100);
  EXPECT_TRUE(holdOpen());
  EXPECT_TRUE(bar->GetButtonStyle(0) & kStyleDisabled);
}

TEST_F(DropDownTest, HoldOpensThePopupAndAReleaseOnACommandChoosesIt) {
  CUxDropDownFrame* popup = holdOpen();
  ASSERT_TRUE(popup);
  CUxDropDownToolBar* shown = popup->toolBar();
  EXPECT_EQ(getCapture(), shown);
  EXPECT_EQ(shown->GetCount(), 4);  // the source's own buttons, lent
  EXPECT_EQ(source->GetCount(), 0);
  EXPECT_FALSE(shown->IsHorizontal());
  EXPECT_EQ(popup->geometry().top(), bar->mapToGlobal(bar->ClientToWidget({0, button->m_rect.bottom})).y());

  QTest::mouseMove(shown, centreOf(shown, 1));
  EXPECT_TRUE(shown->GetButtonStyle(1) & kStylePressed);
  QTest::mouseRelease(shown, Qt::LeftButton, {}, centreOf(shown, 1));
  QCoreApplication::processEvents();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{101, 0}}));
  EXPECT_FALSE(button->m_pPopupFrame);
  EXPECT_EQ(source->GetCount(), 4);
  EXPECT_EQ(getCapture(), nullptr);
  EXPECT_EQ(button->m_nCommandId, 101u);
  EXPECT_EQ(button->m_iDefaultImage, 1);
  EXPECT_GT(buttonPixels(kGreen), 20);
  EXPECT_EQ(buttonPixels(kRed), 0);
}

TEST_F(DropDownTest, ReleaseOutsideAndDeactivationCloseWithoutACommand) {
  CUxDropDownFrame* popup = holdOpen();
  ASSERT_TRUE(popup);
  QTest::mouseRelease(popup->toolBar(), Qt::LeftButton, {}, QPoint(-30, -30));
  QCoreApplication::processEvents();
  EXPECT_FALSE(button->m_pPopupFrame);
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_FALSE(bar->GetButtonStyle(0) & kStylePressed);

  ASSERT_TRUE(button->DropDownToolbar(bar));
  QApplicationStateChangeEvent away(Qt::ApplicationInactive);
  QCoreApplication::sendEvent(qApp, &away);
  EXPECT_FALSE(button->m_pPopupFrame);
  EXPECT_EQ(source->GetCount(), 4);

  // A toolbar that goes closes its popup and leaves the button without one.
  ASSERT_TRUE(button->DropDownToolbar(bar));
  delete source;
  EXPECT_FALSE(button->m_pPopupFrame);
  EXPECT_FALSE(button->m_pToolBar);
  EXPECT_FALSE(button->DropDownToolbar(bar));
}

TEST_F(DropDownTest, PopupStaysOnTheScreen) {
  // The offscreen screen is 800 x 800: a bar in the bottom right corner.
  frame.setGeometry(775, 770, 25, 30);
  bar->move(0, 0);
  ASSERT_TRUE(button->DropDownToolbar(bar));
  const QRect popup = button->m_pPopupFrame->geometry();
  EXPECT_EQ(popup.right(), 800 - 1 - 1);
  const int buttonTop = bar->mapToGlobal(bar->ClientToWidget(button->m_rect.topLeft())).y();
  EXPECT_LT(popup.bottom(), buttonTop);
}

TEST_F(DropDownTest, ArchiveFindsTheToolbarByItsResource) {
  button->SetDefaultCommand(102);
  EXPECT_EQ(button->m_iDefaultImage, 2);  // the separator has no image
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeObject(button);
  }
  Archive in(Archive::Load, bytes);
  std::unique_ptr<CObject> object = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
  auto* back = dynamic_cast<CUxDropDownToolbarButton*>(object.get());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->m_pToolBar, source);
  EXPECT_EQ(back->m_strName, L"色");
  EXPECT_EQ(back->m_iDefaultImage, 2);
  EXPECT_EQ(back->m_nCommandId, 102u);

  // As a menu item the button becomes a submenu of the toolbar's commands.
  CUxToolbarMenuButton item;
  ASSERT_TRUE(back->GetTextFromResource(item));
  EXPECT_EQ(item.m_strText, L"色");
  EXPECT_EQ(item.m_nCommandId, 0u);
  ASSERT_EQ(item.GetCommands().size(), 4u);
  EXPECT_EQ(item.GetCommands()[0]->m_nCommandId, 100u);
  EXPECT_EQ(item.GetCommands()[2]->m_nCommandId, 0u);  // the separator
  back->m_pToolBar = nullptr;
  EXPECT_FALSE(back->GetTextFromResource(item));
}

TEST_F(DropDownTest, OnAMenuBarTheOpenButtonIsHot) {
  auto* menuBar = new CUxMenuBar(&frame);
  menuBar->Create(&frame);
  menuBar->InsertButton(std::make_unique<CUxDropDownToolbarButton>(L"色", source));
  auto* onMenu = static_cast<CUxDropDownToolbarButton*>(menuBar->GetButton(0));
  EXPECT_FALSE(onMenu->OnClick(menuBar, false));  // the delay starts
  EXPECT_FALSE(onMenu->OnClick(menuBar, false));  // and ends: the toolbar opens
  ASSERT_TRUE(onMenu->m_pPopupFrame);
  EXPECT_EQ(menuBar->m_iHot, 0);
  EXPECT_TRUE(onMenu->OnClickUp());
  EXPECT_FALSE(onMenu->m_pPopupFrame);
  EXPECT_EQ(menuBar->m_iHot, -1);
}

TEST_F(DropDownTest, TheDroppedToolbarAndItsFrameAreKnownByName) {
  const RuntimeClass* barClass = RuntimeClass::fromName("CUxDropDownToolBar");
  ASSERT_TRUE(barClass);
  EXPECT_EQ(barClass->schema, 1u);
  EXPECT_TRUE(source->IsKindOf(barClass));
  std::unique_ptr<CObject> made = barClass->createObject();
  auto* madeBar = dynamic_cast<CUxDropDownToolBar*>(made.get());
  ASSERT_TRUE(madeBar);
  EXPECT_TRUE(madeBar->m_bLocked);  // its images and sizes are its own

  const RuntimeClass* frameClass = RuntimeClass::fromName("CUxDropDownFrame");
  ASSERT_TRUE(frameClass);
  EXPECT_EQ(frameClass->schema, kVersionableSchema | 1u);
  std::unique_ptr<CObject> madeFrame = frameClass->createObject();
  ASSERT_TRUE(dynamic_cast<CUxDropDownFrame*>(madeFrame.get()));
  EXPECT_FALSE(static_cast<CUxDropDownFrame*>(madeFrame.get())->IsKindOf(barClass));
}
