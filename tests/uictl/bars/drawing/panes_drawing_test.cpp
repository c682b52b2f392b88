// The visual manager's drawing for the frames library's controls: bar backgrounds, caption
// buttons, tabs and task groups, from the narrow views those controls hand it.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

#include "bars_test_support.h"

#include <QPixmap>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr COLORREF kPaper = rgb(1, 2, 3);

class FakeSurface : public UxBarSurface {
 public:
  explicit FakeSurface(Kind kind, COLORREF colour = kNoColor) : kind_(kind), colour_(colour) {}
  Kind SurfaceKind() const override { return kind_; }
  void FillWorkArea(Dc* dc, const Rect& rect) override {
    filled = rect;
    dc->fillSolidRect(rect, rgb(9, 9, 9));
  }
  COLORREF BackgroundColor() const override { return colour_; }
  Rect filled;

 private:
  Kind kind_;
  COLORREF colour_;
};

class FakeTabs : public UxTabWindowLook {
 public:
  bool IsFlatTab() const override { return flat; }
  bool IsTabsOnTop() const override { return onTop; }
  bool IsLabelOnlyMode() const override { return labelOnly; }
  bool IsNoPrefix() const override { return false; }
  int GetActiveTab() const override { return 0; }
  int GetTabsHeight() const override { return 20; }
  COLORREF GetTabBackColor(int) const override { return back; }
  COLORREF GetTabForeColor(int) const override { return fore; }
  std::wstring GetTabLabel(int) const override { return label; }
  QImage GetTabImage(int) const override { return image; }

  bool flat = false;
  bool onTop = false;
  bool labelOnly = false;
  COLORREF back = kNoColor;
  COLORREF fore = kNoColor;
  std::wstring label;
  QImage image;
};

QImage solidImage(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

int countColour(const Dc& dc, const Rect& area, COLORREF colour) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += dc.getPixel(x, y) == colour;
  return n;
}

}  // namespace

class PanesDrawingTest : public ::testing::Test {
 protected:
  UxLibrary library;
  CUxVisualManager* vm = CUxVisualManager::GetInstance();
  const GlobalDrawData& g = globalData();
};

TEST_F(PanesDrawingTest, BarBackgroundsDependOnTheSurface) {
  QImage image = canvas(20, 20, kPaper);
  Dc dc(image);
  vm->OnFillBarBackground(&dc, nullptr, {0, 0, 20, 20}, {0, 0, 5, 5});
  EXPECT_EQ(dc.getPixel(4, 4), g.clrBarFace);
  EXPECT_EQ(dc.getPixel(5, 5), kPaper);  // only the clip rect

  FakeSurface outlook(UxBarSurface::Kind::OutlookBar);
  vm->OnFillBarBackground(&dc, &outlook, {0, 0, 20, 20}, {});
  EXPECT_EQ(outlook.filled, (Rect{0, 0, 20, 20}));
  EXPECT_EQ(dc.getPixel(19, 19), rgb(9, 9, 9));

  FakeSurface defaulted(UxBarSurface::Kind::CaptionBar);
  vm->OnFillBarBackground(&dc, &defaulted, {0, 0, 20, 20}, {});
  EXPECT_EQ(dc.getPixel(10, 10), g.clrBarShadow);
  FakeSurface coloured(UxBarSurface::Kind::CaptionBar, rgb(0, 90, 0));
  vm->OnFillBarBackground(&dc, &coloured, {0, 0, 20, 20}, {});
  EXPECT_EQ(dc.getPixel(10, 10), rgb(0, 90, 0));
}

TEST_F(PanesDrawingTest, CaptionButtonFramesFollowStateAndStyle) {
  CaptionButton button;
  button.m_ptOrg = {2, 2};
  EXPECT_EQ(button.GetRect(), (Rect{2, 2, 16, 16}));
  button.m_bHidden = true;
  EXPECT_TRUE(button.GetRect().isEmpty());
  button.m_bHidden = false;

  QImage image = canvas(20, 20, kPaper);
  Dc dc(image);
  vm->OnDrawCaptionButton(&dc, button, true, false, false);
  EXPECT_EQ(dc.getPixel(2, 2), g.clrBarLight);
  EXPECT_EQ(dc.getPixel(15, 15), g.clrBarDarkShadow);
  EXPECT_EQ(dc.getPixel(3, 3), g.clrBarHighlight);
  EXPECT_EQ(dc.getPixel(14, 14), g.clrBarShadow);

  button.m_bPushed = button.m_bFocused = true;
  vm->OnDrawCaptionButton(&dc, button, true, false, false);
  EXPECT_EQ(dc.getPixel(2, 2), g.clrBarDarkShadow);
  EXPECT_EQ(dc.getPixel(15, 15), g.clrBarLight);
  EXPECT_EQ(dc.getPixel(14, 14), g.clrBarHighlight);

  // Flat: a single frame, only while hot or pushed, never around the maximise glyph.
  vm->bFlatStyle = true;
  button.m_bPushed = button.m_bFocused = false;
  image.fill(toPixel(kPaper));
  vm->OnDrawCaptionButton(&dc, button, true, false, false);
  EXPECT_EQ(dc.getPixel(2, 2), kPaper);
  button.m_bFocused = true;
  vm->OnDrawCaptionButton(&dc, button, true, false, false);
  EXPECT_EQ(dc.getPixel(2, 2), g.clrBarHighlight);
  EXPECT_EQ(dc.getPixel(15, 15), g.clrBarShadow);
  image.fill(toPixel(kPaper));
  vm->OnDrawCaptionButton(&dc, button, false, false, true);
  EXPECT_EQ(dc.getPixel(2, 2), kPaper);
  vm->bFlatStyle = false;
}

TEST_F(PanesDrawingTest, FlatAndLabelOnlyTabsCutTheirFarCorners) {
  FakeTabs tabs;
  tabs.flat = true;
  tabs.back = rgb(0, 0, 200);
  QImage image = canvas(40, 20, kPaper);
  Dc dc(image);
  vm->OnDrawTab(&dc, {0, 0, 40, 20}, 0, false, &tabs);
  EXPECT_EQ(dc.getPixel(20, 10), rgb(0, 0, 200));
  EXPECT_EQ(dc.getPixel(0, 19), kPaper);  // tabs below the window: bottom corners cut
  EXPECT_NE(dc.getPixel(0, 0), kPaper);

  tabs.onTop = true;
  image.fill(toPixel(kPaper));
  vm->OnDrawTab(&dc, {0, 0, 40, 20}, 0, false, &tabs);
  EXPECT_EQ(dc.getPixel(0, 0), kPaper);
  EXPECT_EQ(dc.getPixel(20, 10), rgb(0, 0, 200));

  // Label-only: a trapezoid whose far side is shorter by half the row's height at each end.
  tabs.flat = false;
  tabs.onTop = false;
  tabs.labelOnly = true;
  image.fill(toPixel(kPaper));
  vm->OnDrawTab(&dc, {0, 0, 40, 20}, 0, false, &tabs);
  EXPECT_EQ(dc.getPixel(5, 17), kPaper);
  EXPECT_EQ(dc.getPixel(20, 10), rgb(0, 0, 200));

  // The erase and frame operations use the active flat tab's colour.
  tabs.flat = true;
  tabs.labelOnly = false;
  image.fill(toPixel(kPaper));
  vm->OnEraseTabsArea(&dc, {0, 0, 40, 20}, &tabs);
  EXPECT_EQ(dc.getPixel(5, 17), g.clrBarFace);
  EXPECT_EQ(dc.getPixel(5, 18), rgb(0, 0, 200));
  UxTabFrameColors colours;
  vm->GetTabFrameColors(&tabs, colours);
  EXPECT_EQ(colours.face, rgb(0, 0, 200));
  EXPECT_TRUE(vm->OnEraseTabsFrame(&dc, {0, 0, 4, 4}, &tabs));
  tabs.back = kNoColor;
  vm->GetTabFrameColors(&tabs, colours);
  EXPECT_EQ(colours.face, g.clrBarFace);
  EXPECT_FALSE(vm->OnEraseTabsFrame(&dc, {0, 0, 4, 4}, &tabs));
}

TEST_F(PanesDrawingTest, ThreeDimensionalTabsOpenIntoTheWindowAndPlaceTheirIcon) {
  FakeTabs tabs;
  tabs.image = solidImage(8, 8, qRgb(255, 0, 0));
  tabs.label = L"Tab";
  tabs.fore = rgb(0, 120, 0);
  QImage image = canvas(60, 20, kPaper);
  Dc dc(image);
  dc.selectFont(g.fontRegular);
  vm->OnDrawTab(&dc, {0, 0, 60, 20}, 0, false, &tabs);
  EXPECT_EQ(dc.getPixel(30, 0), g.clrBarShadow);  // an inactive tab keeps its edge
  EXPECT_EQ(dc.getPixel(0, 10), g.clrBarHighlight);
  EXPECT_EQ(dc.getPixel(59, 10), rgb(0, 0, 0));
  EXPECT_EQ(dc.getPixel(4, 6), rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(4, 13), rgb(255, 0, 0));
  EXPECT_GT(countColour(dc, {18, 0, 60, 20}, rgb(0, 120, 0)), 0);

  image.fill(toPixel(kPaper));
  vm->OnDrawTab(&dc, {0, 0, 60, 20}, 0, true, &tabs);
  EXPECT_EQ(dc.getPixel(30, 0), g.clrBtnFace);
  EXPECT_EQ(dc.getPixel(4, 5), rgb(255, 0, 0));  // the active tab's icon sits a pixel higher
  EXPECT_NE(dc.getPixel(4, 13), rgb(255, 0, 0));

  // A tab too narrow for its icon shows none.
  image.fill(toPixel(kPaper));
  vm->OnDrawTabContent(&dc, {0, 0, 10, 20}, 0, false, &tabs);
  EXPECT_EQ(countColour(dc, {0, 0, 10, 20}, rgb(255, 0, 0)), 0);
}

TEST_F(PanesDrawingTest, TaskGroupCaptionsAndTasks) {
  UxTaskGroupLook group;
  group.rectCaption = {0, 0, 100, 20};
  group.caption = L"Group";
  group.special = true;
  QImage icon = solidImage(8, 8, qRgb(255, 0, 0));
  icon.setPixel(7, 7, qRgba(0, 0, 255, 128));
  group.icon = QIcon(QPixmap::fromImage(icon));
  group.iconSize = {8, 8};
  QImage image = canvas(100, 20, kPaper);
  Dc dc(image);
  vm->OnDrawTaskGroupCaption(&dc, group, false, true);
  EXPECT_EQ(dc.getPixel(99, 0), g.clrHighlight);
  EXPECT_EQ(dc.getPixel(1, 12), rgb(255, 0, 0));
  const COLORREF blended = dc.getPixel(8, 19);
  EXPECT_NEAR(blueOf(blended), (255 + blueOf(g.clrHighlight)) / 2, 2);
  EXPECT_EQ(dc.getPixel(83, 3), g.clrHighlight);  // not hot: no frame round the glyph

  vm->OnDrawTaskGroupCaption(&dc, group, true, true);
  EXPECT_EQ(dc.getPixel(83, 3), getSysColor(ColorWindow));
  EXPECT_EQ(dc.getPixel(95, 15), g.clrBtnShadow);

  group.special = false;
  group.iconSize = {85, 8};  // no room beside the caption's height
  vm->OnDrawTaskGroupCaption(&dc, group, false, false);
  EXPECT_EQ(dc.getPixel(1, 12), g.clrBtnFace);

  UxTaskLook separator;
  separator.rect = {0, 0, 50, 10};
  separator.separator = true;
  QImage tasks = canvas(50, 30, kPaper);
  Dc tdc(tasks);
  vm->OnDrawTask(&tdc, separator, nullptr, false);
  EXPECT_EQ(tdc.getPixel(10, 5), g.clrBarFace);
  EXPECT_EQ(tdc.getPixel(10, 4), kPaper);

  UxTaskLook disabled;
  disabled.rect = {0, 10, 50, 30};
  disabled.text = L"Off";
  disabled.hasCommand = true;
  disabled.enabled = false;
  disabled.image = 0;
  const std::vector<QImage> list{solidImage(6, 6, qRgb(255, 0, 0))};
  vm->OnDrawTask(&tdc, disabled, &list, true);
  EXPECT_EQ(tdc.getPixel(0, 17), rgb(255, 0, 0));
  EXPECT_GT(countColour(tdc, {11, 10, 50, 30}, g.clrGrayText), 0);
  EXPECT_EQ(countColour(tdc, {6, 10, 11, 30}, g.clrGrayText), 0);  // the gap before the text
}

TEST_F(PanesDrawingTest, OwnerDrawnBordersAreHandedToTheButton) {
  struct Owner : UxOwnerDrawnBorder {
    void OnDrawBorder(Dc*, Rect& rect, unsigned state) override {
      seenState = state;
      rect = rect.deflated(2, 2);
    }
    unsigned seenState = 0;
  } owner;
  QImage image = canvas(10, 10, kPaper);
  Dc dc(image);
  Rect rect{0, 0, 10, 10};
  vm->OnDrawOwnerButtonBorder(&dc, rect, &owner, 4);
  EXPECT_EQ(owner.seenState, 4u);
  EXPECT_EQ(rect, (Rect{2, 2, 8, 8}));
  COLORREF text = kNoColor;
  EXPECT_FALSE(vm->OnFillOutlookPageButton(&dc, nullptr, rect, text));
  vm->OnFillOutlookPageCaption(&dc, {0, 0, 10, 10}, text);
  EXPECT_EQ(text, g.clrBarText);
  EXPECT_EQ(vm->GetCaptionBarTextColor(nullptr), getSysColor(ColorWindow));
}
