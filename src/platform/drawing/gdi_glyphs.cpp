#include "platform/drawing/gdi_glyphs.h"

#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/system_metrics.h"

namespace platform {
namespace {

struct Plotter {
  Dc& dc;
  COLORREF colour;
  const Rect* clip;
  void dot(int x, int y) const {
    if (!clip || clip->contains({x, y})) dc.setPixel(x, y, colour);
  }
  void box(const Rect& r) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) dot(x, y);
  }
  // A window outline: a caption bar `unit` * 2 high over sides `unit` wide.
  void window(const Rect& r, int unit) const {
    box({r.left, r.top, r.right, r.top + 2 * unit});
    box({r.left, r.top, r.left + unit, r.bottom});
    box({r.right - unit, r.top, r.right, r.bottom});
    box({r.left, r.bottom - unit, r.right, r.bottom});
  }
};

// A filled triangle pointing in a direction, centred in the cell.
void arrow(const Plotter& p, const Rect& cell, int dx, int dy) {
  const int half = std::max(1, std::min(cell.width(), cell.height()) / 4);
  const int cx = cell.left + cell.width() / 2, cy = cell.top + cell.height() / 2;
  for (int row = 0; row < half; ++row)
    for (int k = -(half - 1 - row); k <= half - 1 - row; ++k) {
      const int along = row - half / 2;
      if (dx == 0) p.dot(cx + k, cy + along * dy);
      else p.dot(cx + along * dx, cy + k);
    }
}

}  // namespace

int symbolGlyphSize(const Font& font) {
  const int h = font.logFont().height;
  const int side = h < 0 ? -h : h;
  return side > 0 ? side : 13;
}

void drawSymbolGlyph(Dc& dc, wchar_t glyph, const Rect& cell, COLORREF colour, const Rect* clip) {
  const Plotter p{dc, colour, clip};
  const int w = cell.width(), h = cell.height();
  const int unit = std::max(1, std::min(w, h) / 8);
  switch (glyph) {
    case L'o':
    case L'x':
      // Three pairs of diagonal grip lines in the bottom corner.
      for (int pair = 0; pair < 3; ++pair)
        for (int line = 0; line < 2; ++line) {
          const int length = 4 * pair + 2 + line;
          for (int i = 0; i < length && i < w && i < h; ++i) {
            const int y = cell.bottom - 1 - i;
            const int x = glyph == L'o' ? cell.right - length + i : cell.left + length - 1 - i;
            p.dot(x, y);
          }
        }
      break;
    case L'0':
      p.box({cell.left + w / 4, cell.bottom - h / 4 - 2 * unit, cell.right - w / 4 - unit, cell.bottom - h / 4});
      break;
    case L'1':
      p.window({cell.left + w / 5, cell.top + h / 5, cell.right - w / 5, cell.bottom - h / 5}, unit);
      break;
    case L'2':
      for (const int o : {w / 8, -w / 8})
        p.window({cell.left + w / 4 + o, cell.top + h / 4 - o, cell.right - w / 4 + o, cell.bottom - h / 4 - o}, unit);
      break;
    case L'r': {
      const int inset = w / 4;
      for (int i = 0; i < w - 2 * inset; ++i)
        for (int t = 0; t < 2 * unit; ++t) {
          p.dot(cell.left + inset + i + t - unit, cell.top + inset + i * h / w);
          p.dot(cell.right - inset - 1 - i - t + unit, cell.top + inset + i * h / w);
        }
      break;
    }
    case L'3': arrow(p, cell, -1, 0); break;
    case L'4': arrow(p, cell, 1, 0); break;
    case L'5': arrow(p, cell, 0, -1); break;
    case L'6': arrow(p, cell, 0, 1); break;
    default: break;
  }
}

bool Dc::drawFrameControl(const Rect& r, unsigned state) {
  const bool pushed = state & DfcsPushed;
  Rect inner = r;
  drawEdge(inner, pushed ? EdgeSunken : EdgeRaised, BfRect | BfMiddle | BfAdjust);
  wchar_t glyph = L'r';
  switch (state & 0xFF) {
    case DfcsCaptionMin: glyph = L'0'; break;
    case DfcsCaptionMax: glyph = L'1'; break;
    case DfcsCaptionRestore: glyph = L'2'; break;
    default: break;
  }
  Rect cell = inner;
  if (pushed) cell = cell.offset(1, 1);
  // An inactive glyph is embossed: highlight one pixel down-right under a shadow copy.
  if (state & DfcsInactive) {
    drawSymbolGlyph(*this, glyph, cell.offset(1, 1), getSysColor(ColorBtnHighlight), &inner);
    drawSymbolGlyph(*this, glyph, cell, getSysColor(ColorBtnShadow), &inner);
  } else {
    drawSymbolGlyph(*this, glyph, cell, getSysColor(ColorBtnText), &inner);
  }
  return true;
}

}  // namespace platform
