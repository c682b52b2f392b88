// The toolbar's loading, button list, layout, painting and command-UI updates.
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"

#include "toolbar_test_support.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace platform;

namespace {

std::wstring labels(unsigned command) {
  switch (command) {
    case 100: return L"Open a file\nOpen";
    case 101: return L"Save the file\nSave";
    case 102: return L"Print\nPrint";
    default: return {};
  }
}

class ToolTools : public UserToolsLookup {
 public:
  unsigned ToolsEntryCommand() const override { return 900; }
  bool IsUserToolCmd(unsigned command) const override { return command >= 910 && command <= 919; }
  bool DrawToolIcon(unsigned, Dc*, const Rect&) const override { return false; }
  bool HasTool(unsigned command) const override { return command == 910; }
};

bool anyPixel(const QImage& image, const QRect& area, COLORREF colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (pixelAt(image, {x, y}) == colour) return true;
  return false;
}

// What a bar that can be docked and floated holds; these tests drag nothing.
class StillDockContext : public ControlBarDockContext {
 public:
  void StartDrag(QPoint) override {}
  void StartResize(int, QPoint) override {}
  void ToggleDocking() override {}
};

}  // namespace

class ToolbarLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { setCommandStringSource(labels); }
  void TearDown() override {
    setCommandStringSource(nullptr);
    toolbarClassData().bCustomizeMode = false;
  }
  UxLibrary library;
  TestFrame frame;
};

TEST_F(ToolbarLayoutTest, LoadingRemovalHitTestingAndMnemonics) {
  CUxToolBar* locked = makeBar(&frame, 1, kBarResource, CbrsAlignTop, true);
  EXPECT_EQ(locked->GetButtonSize(), (Size{22, 21}));
  EXPECT_EQ(locked->GetImageSize(), (Size{16, 15}));
  toolbarClassData().sizeButton = {23, 22};
  CUxToolBar* bar = makeBar(&frame, 2);
  EXPECT_EQ(toolbarClassData().sizeButton, (Size{22, 21}));  // every unlocked bar takes the resource's size
  ASSERT_EQ(bar->GetCount(), 4);
  EXPECT_EQ(bar->GetButton(3)->m_iImage, bar->m_iImagesOffset + 2);
  EXPECT_EQ(defaultImages().at(102), bar->m_iImagesOffset + 2);
  EXPECT_EQ(bar->m_OrigButtons.size(), 4u);

  // A damaged resource or one without images is refused, and the bar keeps its buttons.
  EXPECT_FALSE(bar->LoadToolBar(kDamagedResource));
  auto* fresh = new CUxToolBar(&frame);
  fresh->Create(&frame, CbrsAlignTop, 3);
  const unsigned ids[] = {100, 101};
  fresh->SetButtons(ids, 2);
  toolbarClassData().sizeButton = {30, 30};
  EXPECT_FALSE(fresh->LoadToolBar(kResourceWithoutImages));
  EXPECT_EQ(fresh->GetCount(), 2);
  EXPECT_EQ(toolbarClassData().sizeButton, (Size{30, 30}));
  EXPECT_EQ(fresh->m_uiOriginalResID, 0u);

  // Separators and hidden buttons are never hit.
  const Rect separator = bar->GetItemRect(2);
  EXPECT_EQ(bar->HitTest({separator.left + 2, separator.top + 2}), -1);
  EXPECT_EQ(bar->HitTest(bar->WidgetToClient(centreOf(bar, 1))), 1);
  bar->GetButton(1)->m_bHidden = true;
  EXPECT_EQ(bar->HitTest(bar->WidgetToClient(centreOf(bar, 1))), -1);
  bar->GetButton(1)->m_bHidden = false;
  EXPECT_EQ(bar->InsertSeparator(0), -1);
  EXPECT_EQ(bar->InsertButton(std::make_unique<CUxToolbarButton>(), 9), -1);

  // [100 101 | 102] + separator after 100: removing 101 between two separators leaves one,
  // and removing the last real button leaves no separator behind.
  EXPECT_EQ(bar->InsertSeparator(1), 1);
  ASSERT_TRUE(bar->RemoveButton(2));
  EXPECT_EQ(bar->GetCount(), 3);
  EXPECT_TRUE(bar->GetButton(1)->m_nStyle & kStyleSeparator);
  ASSERT_TRUE(bar->RemoveButton(2));
  EXPECT_EQ(bar->GetCount(), 1);
  EXPECT_FALSE(bar->RemoveButton(5));

  // "&&" is an ampersand; the letter after a single "&" is the mnemonic.
  bar->GetButton(0)->m_strText = L"R&&D";
  bar->InsertButton(std::make_unique<CUxToolbarButton>(101, -1, L"x&&y&zap"));
  bar->RebuildAccelerationKeys();
  ASSERT_EQ(bar->m_AcellKeys.size(), 1u);
  EXPECT_EQ(bar->m_AcellKeys.at(L'Z'), bar->GetButton(1));
  EXPECT_TRUE(bar->TranslateChar('Z'));
  EXPECT_FALSE(bar->TranslateChar('R'));
  QCoreApplication::processEvents();
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{101, 0}}));  // posted to the owner
}

TEST_F(ToolbarLayoutTest, RowsWrapFivePixelsApartAndFloatingRowsAreCentred) {
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, CbrsAlignTop | CbrsFloating | CbrsSizeDynamic, 7);
  bar->LoadToolBar(kBarResource);
  const unsigned ids[] = {100, 101, 102, 100, 101};
  bar->SetButtons(ids, 5, false);
  const int row = bar->GetRowHeight();
  const Size size = bar->CalcLayout(LmHorz, 3 * 22 + 2);
  EXPECT_EQ(size, (Size{3 * 22 + 2, 2 * row + 5 + 2}));
  EXPECT_TRUE(bar->GetButton(2)->m_bWrap);
  bar->resize(size.cx, size.cy);
  bar->AdjustLocations();
  EXPECT_EQ(bar->GetItemRect(3).top, bar->GetItemRect(0).bottom + 5);
  EXPECT_EQ(bar->GetItemRect(0).left, 1);
  EXPECT_EQ(bar->GetItemRect(3).left, 1 + (bar->ClientRect().right - (1 + 2 * 22)) / 2);

  // The narrowest length gives one button a row and never an empty row.
  const Size column = bar->CalcLayout(LmHorz, 1);
  EXPECT_EQ(column.cy, 5 * row + 4 * 5 + 2);
  EXPECT_FALSE(bar->GetButton(4)->m_bWrap);
  // A stretched bar reaches across; a vertical one stacks its buttons.
  bar->SetBarStyle(CbrsAlignTop);
  EXPECT_EQ(bar->CalcFixedLayout(true, true).cx, 32767);
  bar->SetBarStyle(CbrsAlignLeft);
  bar->AdjustLayout();
  EXPECT_EQ(bar->GetItemRect(1).top, bar->GetItemRect(0).bottom);
  EXPECT_EQ(bar->GetItemRect(1).left, bar->GetItemRect(0).left);

  // Labels lengthen horizontal buttons only; a menu bar has none.
  bar->SetBarStyle(CbrsAlignTop);
  bar->EnableTextLabels(true);
  EXPECT_TRUE(bar->GetButton(0)->m_bTextBelow);
  EXPECT_EQ(bar->GetButton(0)->m_strText, L"Open");
  EXPECT_GT(bar->GetItemRect(0).height(), row);
  bar->m_bMenuMode = true;
  bar->EnableTextLabels(false);
  EXPECT_TRUE(bar->m_bTextLabels);
}

TEST_F(ToolbarLayoutTest, PaintedBarsShowBordersGrippersStatesSelectionAndMarker) {
  frame.resize(400, 200);
  CUxToolBar* bar = makeBar(&frame, 11);
  const GlobalDrawData& g = globalData();
  EXPECT_EQ(bar->contentsMargins(), QMargins(8, 1, 1, 1));
  QImage image = bar->grab().toImage();
  EXPECT_TRUE(anyPixel(image, QRect(0, 0, 7, bar->height()), g.clrBarShadow));  // the gripper
  EXPECT_EQ(pixelAt(image, centreOf(bar, 0)), rgb(255, 0, 0));
  EXPECT_EQ(pixelAt(image, centreOf(bar, 1)), rgb(0, 255, 0));
  EXPECT_EQ(pixelAt(image, centreOf(bar, 3)), rgb(0, 0, 255));

  // Hot, pressed and disabled buttons.
  bar->m_iHighlighted = 0;
  bar->SetButtonStyle(1, kStyleDisabled);
  image = bar->grab().toImage();
  const QPoint corner = bar->ClientToWidget(bar->GetItemRect(0).topLeft());
  EXPECT_EQ(pixelAt(image, corner), g.clrBarHighlight);
  EXPECT_NE(pixelAt(image, centreOf(bar, 1)), rgb(0, 255, 0));
  bar->m_iHighlighted = -1;
  bar->m_iButtonCapture = 0;
  bar->SetButtonStyle(0, kStylePressed);
  EXPECT_EQ(pixelAt(bar->grab().toImage(), corner), g.clrBarShadow);
  bar->SetButtonStyle(0, 0);
  bar->m_iButtonCapture = -1;

  // Floating bars have no gripper; right to left, the gripper moves to the right.
  bar->SetBarStyle(CbrsAlignTop | CbrsFloating);
  EXPECT_EQ(bar->contentsMargins(), QMargins(1, 1, 1, 1));
  bar->SetBarStyle(CbrsAlignTop | CbrsGripper);
  bar->setLayoutDirection(Qt::RightToLeft);
  EXPECT_EQ(bar->contentsMargins(), QMargins(1, 1, 8, 1));
  image = bar->grab().toImage();
  EXPECT_TRUE(anyPixel(image, QRect(bar->width() - 8, 0, 8, bar->height()), g.clrBarShadow));
  bar->setLayoutDirection(Qt::LeftToRight);
  bar->SetBarStyle(CbrsAlignLeft | CbrsGripper);
  EXPECT_EQ(bar->contentsMargins(), QMargins(1, 8, 1, 1));
  bar->SetBarStyle(CbrsAlignTop | CbrsGripper);
  bar->AdjustLayout();

  // Customise mode: a two-pixel frame around the selection and the insertion marker.
  CUxToolBar::SetCustomizeMode(true);
  CUxToolBar::g_pSelToolBar = bar;
  bar->m_iSelected = 0;
  image = bar->grab().toImage();
  EXPECT_EQ(pixelAt(image, corner), g.clrBarText);
  EXPECT_EQ(pixelAt(image, corner + QPoint(1, 1)), g.clrBarText);
  EXPECT_NE(pixelAt(image, corner + QPoint(2, 2)), g.clrBarText);
  bar->m_iSelected = -1;
  const Rect one = bar->GetItemRect(1);
  bar->m_iDragIndex = bar->FindDropIndex({one.left + 2, one.top + 5}, bar->m_rectDrag);
  EXPECT_EQ(bar->m_iDragIndex, 1);
  EXPECT_EQ(bar->m_rectDrag, (Rect{one.left - 3, one.top, one.left + 3, one.bottom}));
  image = bar->grab().toImage();
  EXPECT_EQ(pixelAt(image, bar->ClientToWidget({one.left - 1, one.top + 8})), g.clrBarText);
  EXPECT_EQ(pixelAt(image, bar->ClientToWidget({one.left, one.top + 8})), g.clrBarText);
  CUxToolBar::SetCustomizeMode(false);
  EXPECT_EQ(CUxToolBar::g_pSelToolBar, nullptr);

  // A bar with border bits draws the etched line over its top border only when it has no dock
  // context.
  bar->SetBarStyle(CbrsAlignTop | CbrsGripper | CbrsBorderTop | CbrsBorder3d);
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  const QPoint top(bar->width() / 2, 0);
  EXPECT_EQ(pixelAt(bar->grab().toImage(), top), g.clrBarShadow);
  bar->m_pDockContext = std::make_unique<StillDockContext>();
  EXPECT_EQ(pixelAt(bar->grab().toImage(), top), g.clrBarHighlight);
  bar->m_pDockContext.reset();
  bar->SetBarStyle(CbrsAlignTop | CbrsGripper);
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();

  // Labels are drawn below the images in the bar's text colour.
  bar->EnableTextLabels(true);
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  const Rect labelled = bar->GetItemRect(0);
  image = bar->grab().toImage();
  EXPECT_TRUE(anyPixel(image, QRect(bar->ClientToWidget({labelled.left, labelled.top + 21}), QSize(labelled.width(), labelled.height() - 21)),
                       CUxVisualManager::GetInstance()->GetToolbarButtonTextColor(bar->GetButton(0), ButtonNormal)));
}

TEST_F(ToolbarLayoutTest, CommandUiPromptsAndTooltips) {
  CUxToolBar* bar = makeBar(&frame, 12);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(0xF010, -1, L"move"));
  bar->InsertButton(std::make_unique<CUxToolbarButton>(0xFF05, -1, L"child"));
  bar->InsertButton(std::make_unique<CUxToolbarButton>(910, -1, L"tool"));
  frame.disabled = {101};
  frame.checks = {{102, 5}};
  frame.unanswered = {0xF010, 0xFF05, 910};
  ToolTools tools;
  setUserToolsLookup(&tools);
  bar->OnUpdateCmdUI(&frame, true);
  setUserToolsLookup(nullptr);
  EXPECT_EQ(bar->GetButtonStyle(0), 0u);
  EXPECT_EQ(bar->GetButtonStyle(1), unsigned(kStyleDisabled));
  EXPECT_EQ(bar->GetButtonStyle(3), unsigned(kStyleChecked | kStyleCheckBox));
  EXPECT_EQ(bar->GetButtonStyle(4), 0u);  // system and window commands are never updated
  EXPECT_EQ(bar->GetButtonStyle(5), 0u);
  EXPECT_EQ(bar->GetButtonStyle(6), 0u);  // a user tool stays usable without a handler...
  frame.unanswered = {100};
  bar->OnUpdateCmdUI(&frame, true);
  EXPECT_EQ(bar->GetButtonStyle(0), unsigned(kStyleDisabled));  // ...but the other buttons do not
  frame.checks = {{102, 2}};
  frame.unanswered.clear();
  bar->OnUpdateCmdUI(&frame, false);
  EXPECT_EQ(bar->GetButtonStyle(3), unsigned(kStyleIndeterminate | kStyleCheckBox));
  EXPECT_EQ(bar->GetButtonStyle(0), 0u);

  frame.messages.clear();
  bar->ShowCommandMessageString(0xF010);
  bar->ShowCommandMessageString(0xFF05);
  bar->ShowCommandMessageString(0xFFFFFFFFu);
  ASSERT_EQ(frame.messages.size(), 3u);
  EXPECT_EQ(frame.messages[0].first, registerWindowMessage("WM_SETMESSAGESTRING"));
  EXPECT_EQ(frame.messages[0].second, 0xEF01u);
  EXPECT_EQ(frame.messages[1].second, 0xEF1Fu);
  EXPECT_EQ(frame.messages[2].second, 0xE001u);

  ToolInfo info;
  EXPECT_EQ(bar->OnToolHitTest(bar->WidgetToClient(centreOf(bar, 0)), &info), 100);
  EXPECT_EQ(info.text, L"Open");
  EXPECT_EQ(info.rect, bar->GetItemRect(0));
  bar->InsertButton(std::make_unique<CUxToolbarButton>(0, -1, L"&Go && stay"));
  bar->AdjustLayout();
  EXPECT_EQ(bar->OnToolHitTest(bar->WidgetToClient(centreOf(bar, 7)), &info), 0);
  EXPECT_EQ(info.text, L"Go  stay");
  toolbarClassData().bShowTooltips = false;
  EXPECT_EQ(bar->OnToolHitTest(bar->WidgetToClient(centreOf(bar, 0)), &info), -1);
  toolbarClassData().bShowTooltips = true;
}
