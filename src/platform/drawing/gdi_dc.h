// A device context over an image, with the original platform's drawing rules: exclusive right
// and bottom edges, lines without their end point, raster operations on colour bits, text
// colour and background mode, a clip rectangle. Widgets paint into an image through it and show
// the image, so pixel tests see exactly what the user sees.
#pragma once

#include "platform/drawing/gdi_objects.h"
#include "platform/drawing/gdi_types.h"

#include <QImage>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

// Raster operations (the ternary codes of the original platform).
enum RasterOp : uint32_t {
  SrcCopy = 0x00CC0020, SrcPaint = 0x00EE0086, SrcAnd = 0x008800C6, SrcInvert = 0x00660046,
  PatCopy = 0x00F00021, PatInvert = 0x005A0049, DstInvert = 0x00550009,
  Blackness = 0x00000042, Whiteness = 0x00FF0062,
  // Paints the brush where the source is black and keeps the target where it is white.
  MaskPaintWhereBlack = 0x00B8074A,
  // Paints the brush where the source is white and keeps the target where it is black.
  MaskPaintWhereWhite = 0x00E20746,
};

enum BkMode : int { Transparent = 1, Opaque = 2 };

// How the pen mixes with what is there: copy its colour, or invert the target (drawing the same
// shape twice then restores it).
enum PenMix : int { R2Not = 6, R2CopyPen = 13 };

// A flood fill that spreads over the 4-connected pixels of one colour.
enum FloodFillType : unsigned { FloodFillBorder = 0, FloodFillSurface = 1 };

enum DrawTextFlags : unsigned {
  DtLeft = 0x0, DtCenter = 0x1, DtRight = 0x2, DtVCenter = 0x4, DtBottom = 0x8, DtWordBreak = 0x10,
  DtSingleLine = 0x20, DtNoClip = 0x100, DtCalcRect = 0x400, DtNoPrefix = 0x800,
  DtEndEllipsis = 0x8000,
};

enum TextAlign : unsigned { TaLeft = 0, TaRight = 2, TaCenter = 6, TaTop = 0, TaBottom = 8 };

enum EdgeFlags : unsigned {
  BdrRaisedOuter = 0x1, BdrSunkenOuter = 0x2, BdrRaisedInner = 0x4, BdrSunkenInner = 0x8,
  EdgeRaised = 0x5, EdgeSunken = 0xA, EdgeEtched = 0x6, EdgeBump = 0x9,
  BfLeft = 0x1, BfTop = 0x2, BfRight = 0x4, BfBottom = 0x8, BfRect = 0xF, BfMiddle = 0x800,
  BfAdjust = 0x2000, BfFlat = 0x4000, BfMono = 0x8000,
};

// Caption buttons of the frame-control drawing.
enum FrameControlState : unsigned {
  DfcsCaptionClose = 0x0, DfcsCaptionMin = 0x1, DfcsCaptionMax = 0x2, DfcsCaptionRestore = 0x3,
  DfcsInactive = 0x100, DfcsPushed = 0x200,
};

// Decoded text of a DrawText call with prefix processing: the visible characters, and where
// the single accelerator mark stood (-1 when none).
struct PrefixedText {
  std::wstring visible;
  int acceleratorIndex = -1;
};
// "&&" is one "&", "&x" marks x; a trailing lone "&" disappears.
PrefixedText stripPrefixes(std::wstring_view text);

class Dc {
 public:
  // Draws into `target` (converted to 32 bits if it is not). A monochrome context holds only
  // black and white: copying colour into it compares with the source's background colour.
  explicit Dc(QImage& target, bool monochrome = false);
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;

  QImage& image() { return *image_; }
  const QImage& image() const { return *image_; }
  bool isMonochrome() const { return monochrome_; }
  Rect bounds() const { return Rect::fromSize(0, 0, image_->width(), image_->height()); }

  COLORREF setTextColor(COLORREF c);
  COLORREF textColor() const { return textColor_; }
  COLORREF setBkColor(COLORREF c);
  COLORREF bkColor() const { return bkColor_; }
  int setBkMode(int mode);
  int bkMode() const { return bkMode_; }
  unsigned setTextAlign(unsigned align);
  // Selecting an empty object keeps the current one; the previous object is returned.
  Font selectFont(const Font& font);
  const Font& font() const { return font_; }
  Pen selectPen(const Pen& pen);
  const Pen& pen() const { return pen_; }
  Brush selectBrush(const Brush& brush);
  const Brush& brush() const { return brush_; }
  int setPenMix(int mix);
  int penMix() const { return penMix_; }
  // Drawing outside the clip rectangle leaves the pixels alone; nullopt removes the clip.
  void setClipRect(std::optional<Rect> clip);
  std::optional<Rect> clipRect() const { return clip_; }

  COLORREF getPixel(int x, int y) const;
  void setPixel(int x, int y, COLORREF c);
  void fillSolidRect(const Rect& r, COLORREF c);
  void fillRect(const Rect& r, const Brush& brush);
  // Outline with `topLeft` on the left and top edges and `bottomRight` on the others.
  void draw3dRect(const Rect& r, COLORREF topLeft, COLORREF bottomRight);
  // With BfAdjust the rectangle shrinks to the inside of the edge.
  bool drawEdge(Rect& r, unsigned edge, unsigned flags);
  void frameRect(const Rect& r, const Brush& brush);
  // The dotted outline that marks the keyboard focus; it inverts what is there.
  void drawFocusRect(const Rect& r);
  void moveTo(int x, int y) { position_ = {x, y}; }
  // Draws with the current pen up to, but not including, (x, y).
  void lineTo(int x, int y);
  // Filled with the current brush and outlined with the current pen.
  void polygon(const std::vector<Point>& points);
  // The inside alone, as a polygon drawn with the null pen: pixels on the right and bottom
  // edges stay undrawn.
  void fillPolygon(const std::vector<Point>& points);
  // Outlined with the current pen and filled with the current brush (a null brush leaves the
  // inside); the right and bottom edges of `r` are outside.
  void rectangle(const Rect& r);
  void ellipse(const Rect& r);
  // Paints the brush over the 4-connected pixels of `colour` around (x, y) (surface fill), or
  // up to pixels of `colour` (border fill). False when the start pixel does not qualify.
  bool extFloodFill(int x, int y, COLORREF colour, unsigned type);
  void patBlt(const Rect& r, uint32_t rop);
  // Copies w x h pixels of `source` at (sx, sy) to (x, y) with a raster operation.
  void bitBlt(int x, int y, int w, int h, const Dc& source, int sx, int sy, uint32_t rop);
  void stretchBlt(const Rect& target, const Dc& source, const Rect& from, uint32_t rop);
  bool drawFrameControl(const Rect& r, unsigned state);
  // Blends an image with an alpha channel over what is there, as icons and image lists draw.
  void drawImage(int x, int y, const QImage& image);

  // Text. DrawText returns the height of the text (with DtVCenter/DtBottom, the offset of its
  // bottom from the rectangle's top); DtCalcRect only measures and widens `r`.
  int drawText(std::wstring_view text, Rect& r, unsigned format);
  // Draws at (x, y) by the text alignment, clipped to `clip` when given.
  void textOut(int x, int y, std::wstring_view text, const Rect* clip = nullptr);
  Size getTextExtent(std::wstring_view text) const;
  TextMetrics getTextMetrics() const;

 private:
  bool visible(int x, int y) const;
  Rect visibleArea(const Rect& r) const;
  // The image pixel a colour becomes here (black or white in a monochrome context).
  uint32_t pixelOf(COLORREF c) const;
  void writePixel(int x, int y, COLORREF c);
  uint32_t sourceBits(const Dc& source, int x, int y) const;
  // One pixel of the current pen, through the pen mix.
  void plotPen(int x, int y);
  void drawTextLine(const std::wstring& line, int acceleratorIndex, int x, int y, const Rect* clip);

  QImage* image_;
  bool monochrome_;
  COLORREF textColor_ = 0x000000;
  COLORREF bkColor_ = 0xFFFFFF;
  int bkMode_ = Opaque;
  unsigned textAlign_ = TaLeft | TaTop;
  Font font_;
  Pen pen_ = Pen::solid(0);
  Brush brush_ = Brush::solid(0xFFFFFF);
  std::optional<Rect> clip_;
  Point position_;
  int penMix_ = R2CopyPen;
};

// Applies a ternary raster operation to 24-bit colour values.
uint32_t applyRop3(uint32_t rop, uint32_t pattern, uint32_t source, uint32_t dest);

}  // namespace platform
