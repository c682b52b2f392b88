#include "platform/drawing/gdi_dc.h"

#include "platform/drawing/system_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace platform {

uint32_t applyRop3(uint32_t rop, uint32_t pattern, uint32_t source, uint32_t dest) {
  // Bits 16..23 of the code are the truth table indexed by (pattern, source, dest).
  const uint32_t table = (rop >> 16) & 0xFF;
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((table >> i) & 1)) continue;
    const uint32_t p = (i & 4) ? pattern : ~pattern;
    const uint32_t s = (i & 2) ? source : ~source;
    const uint32_t d = (i & 1) ? dest : ~dest;
    result |= p & s & d;
  }
  return result & 0xFFFFFF;
}

namespace {
// What a new context has selected, as a screen context starts with the stock font: there is
// always a real font to select back after drawing with another.
const Font& stockFont() {
  static const Font stock = Font::create(systemMetrics().defaultGuiFont().value_or(systemMetrics().menuFont()));
  return stock;
}

bool ropUsesSource(uint32_t rop) {
  const uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}
}  // namespace

Dc::Dc(QImage& target, bool monochrome) : image_(&target), monochrome_(monochrome), font_(stockFont()) {
  if (image_->format() != QImage::Format_RGB32 && image_->format() != QImage::Format_ARGB32)
    *image_ = image_->convertToFormat(QImage::Format_RGB32);
}

COLORREF Dc::setTextColor(COLORREF c) { return std::exchange(textColor_, c & 0xFFFFFF); }
COLORREF Dc::setBkColor(COLORREF c) { return std::exchange(bkColor_, c & 0xFFFFFF); }
int Dc::setBkMode(int mode) { return std::exchange(bkMode_, mode); }
unsigned Dc::setTextAlign(unsigned align) { return std::exchange(textAlign_, align); }

Font Dc::selectFont(const Font& font) {
  Font old = font_;
  if (!font.isNull()) font_ = font;
  return old;
}

Pen Dc::selectPen(const Pen& pen) {
  Pen old = pen_;
  if (!pen.isNull()) pen_ = pen;
  return old;
}

Brush Dc::selectBrush(const Brush& brush) {
  Brush old = brush_;
  if (!brush.isNull()) brush_ = brush;
  return old;
}

void Dc::setClipRect(std::optional<Rect> clip) { clip_ = clip; }

bool Dc::visible(int x, int y) const {
  if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return false;
  return !clip_ || clip_->contains({x, y});
}

Rect Dc::visibleArea(const Rect& r) const {
  Rect area = r.intersected(bounds());
  if (clip_) area = area.intersected(*clip_);
  return area;
}

COLORREF Dc::getPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return kNoColor;
  return fromPixel(reinterpret_cast<const uint32_t*>(image_->constScanLine(y))[x]);
}

uint32_t Dc::pixelOf(COLORREF c) const {
  if (monochrome_) c = (c & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
  return toPixel(c);
}

void Dc::writePixel(int x, int y, COLORREF c) { reinterpret_cast<uint32_t*>(image_->scanLine(y))[x] = pixelOf(c); }

void Dc::setPixel(int x, int y, COLORREF c) {
  if (visible(x, y)) writePixel(x, y, c);
}

void Dc::fillSolidRect(const Rect& r, COLORREF c) {
  const Rect a = visibleArea(r);
  const uint32_t pixel = pixelOf(c);
  for (int y = a.top; y < a.bottom; ++y)
    std::fill_n(reinterpret_cast<uint32_t*>(image_->scanLine(y)) + a.left, a.width(), pixel);
}

void Dc::fillRect(const Rect& r, const Brush& brush) {
  if (brush.isNull() || brush.isHollow()) return;
  if (brush.isSolid()) return fillSolidRect(r, brush.colour());
  const Rect a = visibleArea(r);
  for (int y = a.top; y < a.bottom; ++y)
    for (int x = a.left; x < a.right; ++x) writePixel(x, y, brush.colourAt(x, y));
}

void Dc::drawImage(int x, int y, const QImage& image) {
  if (image.isNull()) return;
  const QImage source = image.convertToFormat(QImage::Format_ARGB32);
  const Rect a = visibleArea(Rect::fromSize(x, y, source.width(), source.height()));
  for (int ty = a.top; ty < a.bottom; ++ty)
    for (int tx = a.left; tx < a.right; ++tx) {
      const uint32_t p = source.pixel(tx - x, ty - y);
      const uint32_t alpha = p >> 24;
      if (alpha == 0) continue;
      const COLORREF under = getPixel(tx, ty), over = fromPixel(p);
      auto mix = [alpha](int o, int u) { return static_cast<int>((o * alpha + u * (255 - alpha)) / 255); };
      writePixel(tx, ty, rgb(mix(redOf(over), redOf(under)), mix(greenOf(over), greenOf(under)),
                             mix(blueOf(over), blueOf(under))));
    }
}

void Dc::frameRect(const Rect& r, const Brush& brush) {
  if (r.isEmpty()) return;
  fillRect({r.left, r.top, r.right, r.top + 1}, brush);
  fillRect({r.left, r.bottom - 1, r.right, r.bottom}, brush);
  fillRect({r.left, r.top, r.left + 1, r.bottom}, brush);
  fillRect({r.right - 1, r.top, r.right, r.bottom}, brush);
}

void Dc::drawFocusRect(const Rect& r) {
  if (r.isEmpty()) return;
  // Every other pixel of the outline, inverted: drawing the same rectangle twice removes it.
  auto invert = [this](int x, int y) {
    if ((x + y) % 2 == 0 && visible(x, y)) writePixel(x, y, getPixel(x, y) ^ 0xFFFFFF);
  };
  for (int x = r.left; x < r.right; ++x) {
    invert(x, r.top);
    if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    invert(r.left, y);
    if (r.right - 1 > r.left) invert(r.right - 1, y);
  }
}

void Dc::draw3dRect(const Rect& r, COLORREF topLeft, COLORREF bottomRight) {
  const int x = r.left, y = r.top, cx = r.width(), cy = r.height();
  fillSolidRect(Rect::fromSize(x, y, cx - 1, 1), topLeft);
  fillSolidRect(Rect::fromSize(x, y, 1, cy - 1), topLeft);
  fillSolidRect({x + cx - 1, y, x + cx, y + cy}, bottomRight);
  fillSolidRect({x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

bool Dc::drawEdge(Rect& r, unsigned edge, unsigned flags) {
  const bool mono = flags & BfMono;
  const bool flat = flags & BfFlat;
  auto colours = [&](bool raised, bool outer) -> std::pair<COLORREF, COLORREF> {
    if (mono) return {getSysColor(ColorWindowFrame), getSysColor(ColorWindowFrame)};
    if (flat) return {getSysColor(ColorBtnShadow), getSysColor(ColorBtnShadow)};
    if (outer)
      return raised ? std::pair{getSysColor(Color3dLight), getSysColor(Color3dDkShadow)}
                    : std::pair{getSysColor(ColorBtnShadow), getSysColor(ColorBtnHighlight)};
    return raised ? std::pair{getSysColor(ColorBtnHighlight), getSysColor(ColorBtnShadow)}
                  : std::pair{getSysColor(Color3dDkShadow), getSysColor(Color3dLight)};
  };
  Rect inner = r;
  auto ring = [&](bool raised, bool outer) {
    const auto [tl, br] = colours(raised, outer);
    if (flags & BfLeft) fillSolidRect({inner.left, inner.top, inner.left + 1, inner.bottom}, tl);
    if (flags & BfTop) fillSolidRect({inner.left, inner.top, inner.right, inner.top + 1}, tl);
    if (flags & BfRight) fillSolidRect({inner.right - 1, inner.top, inner.right, inner.bottom}, br);
    if (flags & BfBottom) fillSolidRect({inner.left, inner.bottom - 1, inner.right, inner.bottom}, br);
    if (flags & BfLeft) ++inner.left;
    if (flags & BfTop) ++inner.top;
    if (flags & BfRight) --inner.right;
    if (flags & BfBottom) --inner.bottom;
  };
  if (edge & (BdrRaisedOuter | BdrSunkenOuter)) ring(edge & BdrRaisedOuter, true);
  if (edge & (BdrRaisedInner | BdrSunkenInner)) ring(edge & BdrRaisedInner, false);
  if (flags & BfMiddle) fillSolidRect(inner, getSysColor(mono ? ColorWindow : ColorBtnFace));
  if (flags & BfAdjust) r = inner;
  return true;
}

void Dc::lineTo(int x, int y) {
  // Bresenham from the current position; the end point itself stays undrawn.
  int x0 = position_.x, y0 = position_.y;
  const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
  int err = dx + dy;
  // A wide pen's squares overlap: each pixel is drawn once, so that an inverting pen drawn
  // twice gives back the picture.
  std::vector<Point> covered;
  while (x0 != x || y0 != y) {
    for (int wy = 0; wy < pen_.width(); ++wy)
      for (int wx = 0; wx < pen_.width(); ++wx) covered.push_back({x0 + wx, y0 + wy});
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
  const auto byRow = [](const Point& a, const Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
  std::sort(covered.begin(), covered.end(), byRow);
  covered.erase(std::unique(covered.begin(), covered.end()), covered.end());
  for (const Point& p : covered) plotPen(p.x, p.y);
  position_ = {x, y};
}

int Dc::setPenMix(int mix) { return std::exchange(penMix_, mix); }

void Dc::plotPen(int x, int y) {
  if (!visible(x, y)) return;
  writePixel(x, y, penMix_ == R2Not ? getPixel(x, y) ^ 0xFFFFFF : pen_.colour());
}

void Dc::rectangle(const Rect& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  const int w = std::max(1, pen_.width());
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const bool edge = x < r.left + w || x >= r.right - w || y < r.top + w || y >= r.bottom - w;
      if (edge) plotPen(x, y);
      else if (!brush_.isHollow() && visible(x, y)) writePixel(x, y, brush_.colourAt(x, y));
    }
}

void Dc::ellipse(const Rect& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  // Pixel centres inside the ellipse through the outermost pixel centres, grown by half a pixel.
  const double cx = (r.left + r.right - 1) / 2.0, cy = (r.top + r.bottom - 1) / 2.0;
  const double ax = (r.right - r.left) / 2.0, ay = (r.bottom - r.top) / 2.0;
  const int w = std::max(1, pen_.width());
  const auto inside = [&](int x, int y, double shrink) {
    const double a = ax - shrink, b = ay - shrink;
    if (a <= 0 || b <= 0) return false;
    const double dx = (x - cx) / a, dy = (y - cy) / b;
    return dx * dx + dy * dy <= 1.0;
  };
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      if (!inside(x, y, 0)) continue;
      if (!inside(x, y, w)) plotPen(x, y);
      else if (!brush_.isHollow() && visible(x, y)) writePixel(x, y, brush_.colourAt(x, y));
    }
}

bool Dc::extFloodFill(int x, int y, COLORREF colour, unsigned type) {
  if (!visible(x, y) || brush_.isHollow()) return false;
  const bool surface = type == FloodFillSurface;
  const uint32_t key = pixelOf(colour) & 0xFFFFFF;
  const auto fillable = [&](int px, int py) {
    const bool same = (reinterpret_cast<const uint32_t*>(image_->constScanLine(py))[px] & 0xFFFFFF) == key;
    return surface ? same : !same;
  };
  if (!fillable(x, y)) return false;
  // Mark first and paint afterwards: the brush may hold the very colour being followed.
  const int width = image_->width();
  std::vector<uint8_t> seen(static_cast<size_t>(width) * image_->height(), 0);
  std::vector<Point> stack{{x, y}}, region;
  seen[static_cast<size_t>(y) * width + x] = 1;
  while (!stack.empty()) {
    const Point p = stack.back();
    stack.pop_back();
    region.push_back(p);
    for (const Point n : {Point{p.x + 1, p.y}, Point{p.x - 1, p.y}, Point{p.x, p.y + 1}, Point{p.x, p.y - 1}}) {
      if (!visible(n.x, n.y)) continue;
      uint8_t& mark = seen[static_cast<size_t>(n.y) * width + n.x];
      if (mark || !fillable(n.x, n.y)) continue;
      mark = 1;
      stack.push_back(n);
    }
  }
  for (const Point& p : region) writePixel(p.x, p.y, brush_.colourAt(p.x, p.y));
  return true;
}

void Dc::polygon(const std::vector<Point>& points) {
  if (points.size() < 3) return;
  fillPolygon(points);
  moveTo(points.back().x, points.back().y);
  for (const Point& p : points) lineTo(p.x, p.y);
}

void Dc::fillPolygon(const std::vector<Point>& points) {
  if (points.size() < 3) return;
  // Winding fill over pixel centres.
  int top = points[0].y, bottom = points[0].y;
  for (const Point& p : points) { top = std::min(top, p.y); bottom = std::max(bottom, p.y); }
  for (int y = top; y < bottom; ++y) {
    const double cy = y + 0.5;
    std::vector<std::pair<double, int>> crossings;
    for (size_t i = 0; i < points.size(); ++i) {
      const Point a = points[i], b = points[(i + 1) % points.size()];
      if ((a.y <= cy) == (b.y <= cy)) continue;
      crossings.push_back({a.x + (cy - a.y) * (b.x - a.x) / double(b.y - a.y), a.y < b.y ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      if (winding == 0) continue;
      for (int x = int(std::ceil(crossings[i].first - 0.5)); x < int(std::ceil(crossings[i + 1].first - 0.5)); ++x)
        setPixel(x, y, brush_.colourAt(x, y));
    }
  }
}

uint32_t Dc::sourceBits(const Dc& source, int x, int y) const {
  const COLORREF c = source.getPixel(x, y);
  if (c == kNoColor) return 0;
  // Colour to monochrome: the source's background colour is white, all else black.
  if (monochrome_ && !source.monochrome_) return c == source.bkColor_ ? 0xFFFFFF : 0;
  // Monochrome to colour: white takes our background colour, black our text colour.
  if (!monochrome_ && source.monochrome_) return c == 0xFFFFFF ? bkColor_ : textColor_;
  return c;
}

void Dc::patBlt(const Rect& r, uint32_t rop) {
  const Rect a = visibleArea(r);
  for (int y = a.top; y < a.bottom; ++y)
    for (int x = a.left; x < a.right; ++x)
      writePixel(x, y, applyRop3(rop, brush_.colourAt(x, y), 0, getPixel(x, y)));
}

void Dc::bitBlt(int x, int y, int w, int h, const Dc& source, int sx, int sy, uint32_t rop) {
  const Rect a = visibleArea(Rect::fromSize(x, y, w, h));
  const bool usesSource = ropUsesSource(rop);
  // A context that blits onto itself reads from a copy of itself taken first.
  QImage snapshot;
  std::optional<Dc> selfCopy;
  if (&source == this && usesSource) {
    snapshot = image_->copy();
    selfCopy.emplace(snapshot, monochrome_);
  }
  const Dc& from = selfCopy ? *selfCopy : source;
  for (int ty = a.top; ty < a.bottom; ++ty)
    for (int tx = a.left; tx < a.right; ++tx) {
      const uint32_t s = usesSource ? sourceBits(from, sx + tx - x, sy + ty - y) : 0;
      writePixel(tx, ty, applyRop3(rop, brush_.colourAt(tx, ty), s, getPixel(tx, ty)));
    }
}

void Dc::stretchBlt(const Rect& target, const Dc& source, const Rect& from, uint32_t rop) {
  if (target.isEmpty() || from.isEmpty()) return;
  if (target.size() == from.size()) {
    bitBlt(target.left, target.top, target.width(), target.height(), source, from.left, from.top, rop);
    return;
  }
  const Rect a = visibleArea(target);
  for (int ty = a.top; ty < a.bottom; ++ty)
    for (int tx = a.left; tx < a.right; ++tx) {
      const int fx = from.left + (tx - target.left) * from.width() / target.width();
      const int fy = from.top + (ty - target.top) * from.height() / target.height();
      writePixel(tx, ty, applyRop3(rop, brush_.colourAt(tx, ty), sourceBits(source, fx, fy), getPixel(tx, ty)));
    }
}

}  // namespace platform
