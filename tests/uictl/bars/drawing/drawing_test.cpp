// Colour arithmetic, the drawing data and the draw manager's pixel work.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"

#include "bars_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(ColourArithmetic, PixelAlphaBlendAndHlsRoundTrips) {
  EXPECT_EQ(DrawManager::PixelAlpha(rgb(0, 200, 100), 150, 150, 150), rgb(127, 255, 150));
  EXPECT_EQ(DrawManager::PixelAlpha(rgb(0, 200, 100), 1.5, 1.5, 1.5), rgb(128, 255, 150));
  EXPECT_EQ(DrawManager::PixelAlpha(rgb(100, 50, 201), 50), rgb(50, 25, 100));
  EXPECT_EQ(DrawManager::BlendColors(rgb(200, 0, 100), rgb(0, 100, 100), 75), rgb(150, 25, 100));

  for (COLORREF c : {rgb(255, 0, 0), rgb(0, 128, 255), rgb(12, 200, 99), rgb(128, 128, 128)}) {
    double h, s, l;
    DrawManager::RGBToHLS(c, &h, &s, &l);
    const COLORREF back = DrawManager::HLSToRGB(h, l, s);
    EXPECT_NEAR(redOf(back), redOf(c), 1);
    EXPECT_NEAR(greenOf(back), greenOf(c), 1);
    EXPECT_NEAR(blueOf(back), blueOf(c), 1);
    const COLORREF degrees = DrawManager::HLSToRGBDegrees(h * 360.0, l, s);
    EXPECT_NEAR(redOf(degrees), redOf(c), 1);
    EXPECT_NEAR(blueOf(degrees), blueOf(c), 1);
  }
  double h, s, l;
  DrawManager::RGBToHLS(rgb(0, 0, 255), &h, &s, &l);
  EXPECT_NEAR(h, 2.0 / 3.0, 1e-9);
  EXPECT_DOUBLE_EQ(l, 0.5);
  EXPECT_DOUBLE_EQ(s, 1.0);
}

class DrawingTest : public ::testing::Test {
 protected:
  UxLibrary library;
};

TEST_F(DrawingTest, GradientsRunInSixtyFourBandsFromTheStartSide) {
  QImage image = canvas(128, 80, 0x123456);
  Dc dc(image);
  DrawManager draw(dc);
  draw.FillGradient({0, 0, 128, 10}, rgb(0, 0, 0), rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(0, 0), rgb(0, 0, 0));
  EXPECT_EQ(dc.getPixel(1, 5), rgb(0, 0, 0));
  EXPECT_EQ(dc.getPixel(2, 5), rgb(3, 3, 3));     // band 1 = 255 * 1 >> 6
  EXPECT_EQ(dc.getPixel(127, 9), rgb(251, 251, 251));  // band 63, never the finish colour itself
  EXPECT_EQ(dc.getPixel(0, 10), 0x123456u);

  // Vertical: the start colour is at the bottom.
  draw.FillGradient({0, 10, 4, 74}, rgb(255, 0, 0), rgb(0, 0, 255), true);
  EXPECT_EQ(dc.getPixel(0, 73), rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(0, 10), rgb(3, 0, 251));

  // Narrow rects skip bands under one pixel: 32 pixels get 32 bands, the odd ones.
  QImage narrow = canvas(32, 1, 0x123456);
  Dc ndc(narrow);
  DrawManager(ndc).FillGradient({0, 0, 32, 1}, rgb(0, 0, 0), rgb(255, 0, 0));
  EXPECT_EQ(ndc.getPixel(0, 0), rgb((255 * 1) >> 6, 0, 0));
  EXPECT_EQ(ndc.getPixel(31, 0), rgb((255 * 63) >> 6, 0, 0));
}

TEST_F(DrawingTest, HighlightLightensAllButTheTransparentColour) {
  QImage image = canvas(10, 10, rgb(100, 0, 200));
  Dc dc(image);
  dc.setPixel(5, 5, rgb(1, 2, 3));
  DrawManager draw(dc);
  draw.HighlightRect({0, 0, 10, 10}, 100);
  EXPECT_EQ(dc.getPixel(0, 0), rgb(100, 0, 200));
  draw.HighlightRect({0, 0, 10, 10}, -1, rgb(1, 2, 3));
  EXPECT_EQ(dc.getPixel(0, 0), rgb(177, 127, 227));  // half-way to white
  EXPECT_EQ(dc.getPixel(5, 5), rgb(1, 2, 3));
  draw.GrayRect({0, 0, 2, 2}, 100);
  EXPECT_EQ(dc.getPixel(0, 0), rgb(177, 127, 227));
  draw.GrayRect({0, 0, 2, 2}, -1);
  const COLORREF g = dc.getPixel(0, 0);
  EXPECT_EQ(redOf(g), greenOf(g));
  EXPECT_EQ(greenOf(g), blueOf(g));
}

TEST_F(DrawingTest, ShadowsDarkenRightAndBelowAndRepaintFromTheirCopies) {
  QImage image = canvas(40, 40, rgb(200, 200, 200));
  Dc dc(image);
  QImage bottom, right;
  DrawManager(dc).DrawShadow({5, 5, 25, 25}, 4, 50, 90, &bottom, &right);
  EXPECT_EQ(dc.getPixel(10, 10), rgb(200, 200, 200));
  EXPECT_EQ(dc.getPixel(25, 15), rgb(100, 100, 100));  // next to the rect: the minimum
  EXPECT_LT(redOf(dc.getPixel(25, 15)), redOf(dc.getPixel(28, 15)));
  EXPECT_EQ(dc.getPixel(15, 25), rgb(100, 100, 100));
  EXPECT_EQ(dc.getPixel(29, 15), rgb(200, 200, 200));
  ASSERT_FALSE(bottom.isNull());

  QImage again = canvas(40, 40, rgb(200, 200, 200));
  Dc other(again);
  DrawManager(other).DrawShadow({5, 5, 25, 25}, 4, 50, 90, &bottom, &right);
  EXPECT_EQ(other.getPixel(25, 15), rgb(100, 100, 100));
}

TEST_F(DrawingTest, LightBrushAndFontsFollowTheSystem) {
  GlobalDrawData& g = globalData();
  EXPECT_TRUE(g.brLight.isSolid());
  EXPECT_EQ(g.brLight.colour(), rgb(223, 223, 223));  // half-way from face 192 to highlight 255
  EXPECT_EQ(g.clrHotText, rgb(0, 0, 255));
  EXPECT_EQ(g.fontRegular.logFont().faceName, L"ＭＳ Ｐゴシック");  // a Japanese menu font keeps its face
  const TextMetrics m = [&] {
    QImage scratch(1, 1, QImage::Format_RGB32);
    Dc dc(scratch);
    dc.selectFont(g.fontRegular);
    return dc.getTextMetrics();
  }();
  EXPECT_EQ(g.nTextHeight, m.height + m.internalLeading + m.externalLeading);

  ClassicSystemMetrics system;
  system.depth = 8;
  system.colours[ColorBtnFace] = rgb(10, 20, 30);
  system.menu.charSet = AnsiCharset;
  system.menu.faceName = L"Whatever";
  SystemMetricsOverride use(system);
  g.UpdateSysColors();
  g.UpdateFonts();
  EXPECT_EQ(g.clrBtnFace, rgb(10, 20, 30));
  EXPECT_EQ(g.clrBarFace, rgb(10, 20, 30));
  EXPECT_EQ(g.clrHotText, rgb(0, 0, 255));
  EXPECT_FALSE(g.brLight.isSolid());
  EXPECT_EQ(g.brLight.colourAt(0, 0), rgb(255, 255, 255));
  EXPECT_EQ(g.brLight.colourAt(1, 0), rgb(10, 20, 30));
  EXPECT_EQ(g.brLight.colourAt(0, 1), rgb(10, 20, 30));
  EXPECT_EQ(g.fontRegular.logFont().faceName,
            system.isFontFamilyInstalled(L"Tahoma") ? L"Tahoma" : L"MS Sans Serif");

  // On a 256-colour display highlighting fills with the light brush.
  QImage image = canvas(4, 4, 0);
  Dc dc(image);
  DrawManager(dc).HighlightRect({0, 0, 4, 4});
  EXPECT_EQ(dc.getPixel(0, 0), rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(1, 0), rgb(10, 20, 30));
}
