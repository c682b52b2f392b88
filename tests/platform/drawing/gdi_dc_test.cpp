#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/system_metrics.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {
QImage canvas(int w = 20, int h = 20, COLORREF fill = 0x123456) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(toPixel(fill));
  return image;
}
int countColour(const Dc& dc, COLORREF c) {
  int n = 0;
  for (int y = 0; y < dc.image().height(); ++y)
    for (int x = 0; x < dc.image().width(); ++x) n += dc.getPixel(x, y) == c;
  return n;
}
}  // namespace

TEST(GdiDc, RectanglesExcludeRightAndBottomAndRespectTheClip) {
  QImage image = canvas();
  Dc dc(image);
  dc.fillSolidRect({2, 3, 5, 7}, rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(2, 3), rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(4, 6), rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(5, 6), 0x123456u);
  EXPECT_EQ(dc.getPixel(4, 7), 0x123456u);
  EXPECT_EQ(countColour(dc, rgb(255, 0, 0)), 12);

  dc.setClipRect(Rect{0, 0, 10, 10});
  dc.fillSolidRect({8, 8, 30, 30}, rgb(0, 255, 0));
  EXPECT_EQ(countColour(dc, rgb(0, 255, 0)), 4);
}

TEST(GdiDc, ThreeDRectPutsTheCornersOnTheBottomRightColour) {
  QImage image = canvas();
  Dc dc(image);
  dc.draw3dRect({1, 1, 6, 5}, rgb(255, 255, 255), rgb(0, 0, 0));
  EXPECT_EQ(dc.getPixel(1, 1), rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(4, 1), rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(5, 1), rgb(0, 0, 0));  // top-right corner
  EXPECT_EQ(dc.getPixel(1, 4), rgb(0, 0, 0));  // bottom-left corner
  EXPECT_EQ(dc.getPixel(3, 3), 0x123456u);
  EXPECT_EQ(dc.getPixel(6, 3), 0x123456u);
}

TEST(GdiDc, SunkenEdgeUsesClassicColoursAndAdjusts) {
  QImage image = canvas();
  Dc dc(image);
  Rect r{0, 0, 10, 10};
  dc.drawEdge(r, EdgeSunken, BfRect | BfAdjust);
  EXPECT_EQ(r, (Rect{2, 2, 8, 8}));
  EXPECT_EQ(dc.getPixel(0, 5), getSysColor(ColorBtnShadow));
  EXPECT_EQ(dc.getPixel(1, 5), getSysColor(Color3dDkShadow));
  EXPECT_EQ(dc.getPixel(9, 5), getSysColor(ColorBtnHighlight));
  EXPECT_EQ(dc.getPixel(8, 5), getSysColor(Color3dLight));
}

TEST(GdiDc, LinesStopBeforeTheirEndPoint) {
  QImage image = canvas();
  Dc dc(image);
  dc.selectPen(Pen::solid(rgb(0, 0, 255)));
  dc.moveTo(2, 2);
  dc.lineTo(2, 6);
  dc.lineTo(6, 6);
  EXPECT_EQ(dc.getPixel(2, 2), rgb(0, 0, 255));
  EXPECT_EQ(dc.getPixel(2, 6), rgb(0, 0, 255));  // drawn by the second line
  EXPECT_EQ(dc.getPixel(5, 6), rgb(0, 0, 255));
  EXPECT_EQ(dc.getPixel(6, 6), 0x123456u);
  EXPECT_EQ(countColour(dc, rgb(0, 0, 255)), 8);
}

TEST(GdiDc, MasksConvertBetweenColourAndMonochrome) {
  // A colour image whose background colour becomes white in the mask.
  QImage source = canvas(4, 1, rgb(192, 192, 192));
  Dc src(source);
  src.setPixel(1, 0, rgb(0, 0, 0));
  src.setPixel(2, 0, rgb(0, 0, 255));
  src.setBkColor(rgb(192, 192, 192));
  QImage maskImage = canvas(4, 1, 0);
  Dc mask(maskImage, true);
  mask.bitBlt(0, 0, 4, 1, src, 0, 0, SrcCopy);
  EXPECT_EQ(mask.getPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(mask.getPixel(1, 0), 0u);
  EXPECT_EQ(mask.getPixel(2, 0), 0u);

  // Painting a brush through the mask where it is black keeps the rest of the target.
  QImage target = canvas(4, 1, rgb(10, 20, 30));
  Dc dst(target);
  dst.setTextColor(0);
  dst.setBkColor(0xFFFFFF);
  dst.selectBrush(Brush::solid(rgb(128, 128, 128)));
  dst.bitBlt(0, 0, 4, 1, mask, 0, 0, MaskPaintWhereBlack);
  EXPECT_EQ(dst.getPixel(0, 0), rgb(10, 20, 30));
  EXPECT_EQ(dst.getPixel(1, 0), rgb(128, 128, 128));
  dst.patBlt({0, 0, 1, 1}, DstInvert);
  EXPECT_EQ(dst.getPixel(0, 0), rgb(245, 235, 225));
}

TEST(GdiDc, DrawTextMeasuresWithoutPrefixesAndUnderlinesTheMark) {
  QImage image = canvas(200, 40, 0xFFFFFF);
  Dc dc(image);
  Rect plain{0, 0, 0, 0};
  dc.drawText(L"File", plain, DtCalcRect | DtSingleLine);
  Rect marked{0, 0, 0, 0};
  dc.drawText(L"&File", marked, DtCalcRect | DtSingleLine);
  EXPECT_EQ(plain, marked);
  EXPECT_GT(plain.width(), 0);
  EXPECT_EQ(plain.height(), dc.getTextMetrics().height);

  const PrefixedText t = stripPrefixes(L"A&&B &Cat&");
  EXPECT_EQ(t.visible, L"A&B Cat");
  EXPECT_EQ(t.acceleratorIndex, 4);

  dc.setBkMode(Transparent);
  Rect area{0, 0, 200, 40};
  dc.drawText(L"&W", area, DtSingleLine);
  // The underline is one full row under the glyph.
  const int underline = dc.getTextMetrics().ascent + 1;
  const int wide = dc.getTextExtent(L"W").cx;
  for (int x = 0; x < wide; ++x) EXPECT_EQ(dc.getPixel(x, underline), 0u) << x;
}

TEST(GdiDc, WordBreakAndEllipsisKeepTextInsideTheRectangle) {
  QImage image = canvas(200, 100, 0xFFFFFF);
  Dc dc(image);
  const int word = std::max({dc.getTextExtent(L"alpha").cx, dc.getTextExtent(L"beta").cx,
                             dc.getTextExtent(L"gamma").cx});
  Rect r{0, 0, word + 2, 0};
  const int h = dc.drawText(L"alpha beta gamma", r, DtCalcRect | DtWordBreak);
  EXPECT_EQ(h, 3 * dc.getTextMetrics().height);
  EXPECT_LE(r.width(), word + 2);

  dc.setBkMode(Transparent);
  Rect narrow{0, 0, word, 20};
  dc.drawText(L"alphabetagamma", narrow, DtSingleLine | DtEndEllipsis);
  for (int y = 0; y < 40; ++y)
    for (int x = word; x < 200; ++x) ASSERT_EQ(dc.getPixel(x, y), 0xFFFFFFu);
}

TEST(GdiDc, SelectingBackTheFontOfANewContextRestoresIt) {
  QImage image = canvas(100, 40, 0xFFFFFF);
  Dc dc(image);
  const Size before = dc.getTextExtent(L"AB");
  LogFont glyphs;
  glyphs.height = 30;
  glyphs.charSet = SymbolCharset;
  glyphs.faceName = L"Marlett";
  const Font previous = dc.selectFont(Font::create(glyphs));
  EXPECT_FALSE(previous.isNull());
  dc.selectFont(previous);
  const Size after = dc.getTextExtent(L"AB");
  EXPECT_EQ(after.cx, before.cx);
  EXPECT_EQ(after.cy, before.cy);
}

TEST(GdiDc, BlittingOntoItselfReadsThePixelsFromBeforeTheCopy) {
  QImage image = canvas(4, 1, 0xFFFFFF);
  Dc dc(image);
  for (int x = 0; x < 4; ++x) dc.setPixel(x, 0, rgb(x * 10, 0, 0));
  dc.bitBlt(1, 0, 3, 1, dc, 0, 0, SrcCopy);
  for (int x = 1; x < 4; ++x) EXPECT_EQ(dc.getPixel(x, 0), rgb((x - 1) * 10, 0, 0)) << x;
  dc.setPixel(0, 0, 0xFFFFFF);
  dc.bitBlt(0, 0, 1, 1, dc, -1, 0, SrcCopy);  // from outside the image: black
  EXPECT_EQ(dc.getPixel(0, 0), 0u);
}

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000;
}  // namespace

TEST(GdiShapes, RectangleAndEllipseStayInsideTheExclusiveEdges) {
  QImage image = canvas(12, 12, kWhite);
  Dc dc(image);
  dc.selectPen(Pen::solid(kRed));
  dc.selectBrush(Brush::hollow());
  dc.rectangle({2, 2, 6, 5});
  // Outline of columns 2..5 and rows 2..4, the inside kept by the null brush.
  EXPECT_EQ(dc.getPixel(2, 2), kRed);
  EXPECT_EQ(dc.getPixel(5, 4), kRed);
  EXPECT_EQ(dc.getPixel(6, 4), kWhite);
  EXPECT_EQ(dc.getPixel(5, 5), kWhite);
  EXPECT_EQ(dc.getPixel(3, 3), kWhite);
  EXPECT_EQ(countColour(dc, kRed), 10);

  image.fill(toPixel(kWhite));
  dc.selectBrush(Brush::solid(kBlue));
  dc.ellipse({1, 1, 10, 8});
  EXPECT_EQ(dc.getPixel(5, 1), kRed);   // top of the curve
  EXPECT_EQ(dc.getPixel(5, 7), kRed);   // its bottom, on the last row inside
  EXPECT_EQ(dc.getPixel(1, 4), kRed);
  EXPECT_EQ(dc.getPixel(9, 4), kRed);
  EXPECT_EQ(dc.getPixel(5, 4), kBlue);
  EXPECT_EQ(dc.getPixel(1, 1), kWhite);  // corners stay outside
  for (int x = 0; x < 12; ++x) {
    EXPECT_EQ(dc.getPixel(x, 8), kWhite);
    EXPECT_EQ(dc.getPixel(10, x), kWhite);
  }
}

TEST(GdiShapes, InvertingPenTwiceRestoresThePicture) {
  QImage image = canvas(20, 20, kWhite);
  Dc dc(image);
  dc.fillSolidRect({0, 0, 10, 20}, kRed);
  const QImage before = image.copy();
  dc.selectPen(Pen::solid(kBlue, 3));
  dc.selectBrush(Brush::hollow());
  dc.setPenMix(R2Not);
  dc.setClipRect(Rect{1, 1, 18, 18});
  for (int pass = 0; pass < 2; ++pass) {
    dc.moveTo(0, 0);
    dc.lineTo(19, 12);
    dc.ellipse({2, 3, 17, 16});
    dc.rectangle({4, 4, 15, 15});
    if (pass == 0) EXPECT_NE(image, before);
  }
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(image.pixel(x, y), before.pixel(x, y)) << x << "," << y;
}

TEST(GdiShapes, SurfaceFloodFillSpreadsOnlyThroughSidesOfOneColour) {
  QImage image = canvas(8, 8, kWhite);
  Dc dc(image);
  // A diagonal of red: a 4-connected fill does not leak through its corners.
  for (int i = 0; i < 8; ++i) dc.setPixel(i, 7 - i, kRed);
  dc.selectBrush(Brush::solid(kBlue));
  EXPECT_TRUE(dc.extFloodFill(0, 0, kWhite, FloodFillSurface));
  EXPECT_EQ(countColour(dc, kBlue), 28);
  EXPECT_EQ(dc.getPixel(7, 7), kWhite);
  EXPECT_EQ(countColour(dc, kRed), 8);
  // A start pixel of another colour fills nothing; filling with the followed colour ends.
  EXPECT_FALSE(dc.extFloodFill(7, 7, kRed, FloodFillSurface));
  dc.selectBrush(Brush::solid(kWhite));
  EXPECT_TRUE(dc.extFloodFill(7, 7, kWhite, FloodFillSurface));
  EXPECT_EQ(countColour(dc, kWhite), 28);
}
