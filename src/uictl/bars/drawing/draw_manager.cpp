#include "uictl/bars/drawing/draw_manager.h"

#include "uictl/bars/drawing/global_draw_data.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {
int clampChannel(int v) { return std::clamp(v, 0, 255); }
}  // namespace

bool DrawManager::FillGradient(const Rect& rect, COLORREF start, COLORREF finish, bool vertical) {
  if (start == finish) {
    pDC->fillRect(rect, Brush::solid(start));
    return true;
  }
  const int w = rect.width(), h = rect.height();
  for (int i = 0; i < 64; ++i) {
    auto mix = [&](int a, int b) { return (a * (64 - i) + b * i) >> 6; };
    const COLORREF band = rgb(mix(redOf(start), redOf(finish)), mix(greenOf(start), greenOf(finish)),
                              mix(blueOf(start), blueOf(finish)));
    Rect r = rect;
    if (vertical) {
      r.top = rect.bottom - ((h * (i + 1)) >> 6);
      r.bottom = rect.bottom - ((h * i) >> 6);
    } else {
      r.left = rect.left + ((w * i) >> 6);
      r.right = rect.left + ((w * (i + 1)) >> 6);
    }
    if (r.isEmpty()) continue;
    pDC->fillRect(r, Brush::solid(band));
  }
  return true;
}

template <class Change>
bool DrawManager::changePixels(const Rect& rect, COLORREF transparent, Change change) {
  const Rect area = rect.intersected(pDC->bounds());
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF c = pDC->getPixel(x, y);
      if (transparent != kNoColor && c == (transparent & 0xFFFFFF)) continue;
      pDC->setPixel(x, y, change(c));
    }
  return true;
}

bool DrawManager::finishedWithoutPixels(const Rect& rect, int percentage) {
  if (percentage == 100) return true;
  GlobalDrawData& g = globalData();
  // Displays of 256 colours cannot show a lightened colour: the dither stands for it.
  if (g.nBitsPerPixel <= 8) {
    pDC->fillRect(rect, g.brLight);
    return true;
  }
  return rect.width() < 1 || rect.height() < 1;
}

bool DrawManager::HighlightRect(const Rect& rect, int percentage, COLORREF transparent) {
  if (finishedWithoutPixels(rect, percentage)) return true;
  const COLORREF high = globalData().clrBtnHighlight;
  return changePixels(rect, transparent, [&](COLORREF c) {
    if (percentage == -1) return HalfwayTo(c, high);
    return PixelAlpha(c, percentage, percentage, percentage);
  });
}

bool DrawManager::GrayRect(const Rect& rect, int percentage, COLORREF transparent) {
  if (finishedWithoutPixels(rect, percentage)) return true;
  const COLORREF high = globalData().clrBtnHighlight;
  return changePixels(rect, transparent, [&](COLORREF c) {
    double hue, saturation, lightness;
    RGBToHLS(c, &hue, &saturation, &lightness);
    const COLORREF grey = HLSToRGB(hue, lightness, 0);
    if (percentage == -1) return HalfwayTo(grey, high);
    const double factor = percentage * 0.01;
    return PixelAlpha(grey, factor, factor, factor);
  });
}

void DrawManager::SetAlphaPixel(uint32_t* bits, const Rect& rect, int x, int y, int percentage, int depth,
                                bool rightToLeft) {
  // The buffer covers the rect widened by the depth; rows are stored bottom-up.
  const int width = rect.width() + depth;
  const int height = rect.height() + depth;
  if (rightToLeft) x = width - 1 - x;
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint32_t& pixel = bits[(height - 1 - y) * width + x];
  pixel = toPixel(PixelAlpha(fromPixel(pixel), percentage));
}

bool DrawManager::DrawShadow(const Rect& rect, int depth, int minBrightness, int maxBrightness,
                             QImage* saveBottom, QImage* saveRight, bool rightToLeft) {
  const int w = rect.width(), h = rect.height();
  if (depth == 0 || rect.isEmpty() || (depth >= w && depth >= h)) return true;
  if (saveBottom && saveRight && !saveBottom->isNull() && !saveRight->isNull()) {
    const int rightX = rightToLeft ? rect.left - depth : rect.right;
    Dc right(*saveRight);
    Dc bottom(*saveBottom);
    pDC->bitBlt(rightX, rect.top, right.image().width(), right.image().height(), right, 0, 0, SrcCopy);
    pDC->bitBlt(rightToLeft ? rect.left - depth : rect.left, rect.bottom, bottom.image().width(),
                bottom.image().height(), bottom, 0, 0, SrcCopy);
    return true;
  }
  // The area: the rect plus the shadow strips on the right (left) and below.
  const Rect area{rightToLeft ? rect.left - depth : rect.left, rect.top,
                  rightToLeft ? rect.right : rect.right + depth, rect.bottom + depth};
  const int step = (maxBrightness - minBrightness) / depth;
  const int aw = area.width(), ah = area.height();
  std::vector<uint32_t> bits(static_cast<size_t>(aw) * static_cast<size_t>(ah));
  // Only the strips around the rect change; what it covers is neither read nor written back.
  auto underRect = [&](int x, int y) { return rect.contains({area.left + x, area.top + y}); };
  for (int y = 0; y < ah; ++y)
    for (int x = 0; x < aw; ++x) {
      if (underRect(x, y)) continue;
      const COLORREF c = pDC->getPixel(area.left + x, area.top + y);
      bits[static_cast<size_t>((ah - 1 - y) * aw + x)] = toPixel(c == kNoColor ? 0 : c);
    }
  // Each shadow pixel darkens by the brightness for its distance from the rect; the corner
  // below and right of it takes the larger distance of its two axes.
  auto percentAt = [&](int distance) { return minBrightness + step * distance; };
  for (int c = 0; c < depth; ++c) {
    for (int y = depth; y < h; ++y) SetAlphaPixel(bits.data(), rect, w + c, y, percentAt(c), depth, rightToLeft);
    for (int x = depth; x < w; ++x) SetAlphaPixel(bits.data(), rect, x, h + c, percentAt(c), depth, rightToLeft);
    for (int k = 0; k < depth; ++k)
      SetAlphaPixel(bits.data(), rect, w + c, h + k, percentAt(std::max(c, k)), depth, rightToLeft);
  }
  for (int y = 0; y < ah; ++y)
    for (int x = 0; x < aw; ++x)
      if (!underRect(x, y))
        pDC->setPixel(area.left + x, area.top + y, fromPixel(bits[static_cast<size_t>((ah - 1 - y) * aw + x)]));
  if (saveBottom && saveRight) {
    const Rect right = rightToLeft ? Rect{rect.left - depth, rect.top, rect.left, rect.bottom + depth}
                                   : Rect{rect.right, rect.top, rect.right + depth, rect.bottom + depth};
    *saveRight = pDC->image().copy(right.toQRect());
    *saveBottom = pDC->image().copy(Rect{area.left, rect.bottom, area.right, rect.bottom + depth}.toQRect());
  }
  return true;
}

COLORREF DrawManager::PixelAlpha(COLORREF colour, int percentage) {
  return rgb(std::min(255, redOf(colour) * percentage / 100), std::min(255, greenOf(colour) * percentage / 100),
             std::min(255, blueOf(colour) * percentage / 100));
}

COLORREF DrawManager::PixelAlpha(COLORREF colour, int red, int green, int blue) {
  auto scale = [](int c, int p) { return clampChannel(c == 0 && p > 100 ? (p - 100) * 255 / 100 : c * p / 100); };
  return rgb(scale(redOf(colour), red), scale(greenOf(colour), green), scale(blueOf(colour), blue));
}

COLORREF DrawManager::PixelAlpha(COLORREF colour, double red, double green, double blue) {
  auto scale = [](int c, double f) {
    return clampChannel(c == 0 && f > 1.0 ? static_cast<int>((f - 1.0) * 255 + 0.5) : static_cast<int>(c * f + 0.5));
  };
  return rgb(scale(redOf(colour), red), scale(greenOf(colour), green), scale(blueOf(colour), blue));
}

COLORREF DrawManager::HalfwayTo(COLORREF colour, COLORREF toward) {
  auto half = [](int from, int to) { return from + (to - from) / 2; };
  return rgb(half(redOf(colour), redOf(toward)), half(greenOf(colour), greenOf(toward)),
             half(blueOf(colour), blueOf(toward)));
}

COLORREF DrawManager::BlendColors(COLORREF first, COLORREF second, int p) {
  auto mix = [&](int a, int b) { return clampChannel((a * p + b * (100 - p)) / 100); };
  return rgb(mix(redOf(first), redOf(second)), mix(greenOf(first), greenOf(second)),
             mix(blueOf(first), blueOf(second)));
}

double DrawManager::HueToRGB(double m1, double m2, double hue) {
  if (hue < 0) hue += 1.0;
  if (hue > 1) hue -= 1.0;
  if (6.0 * hue < 1) return m1 + (m2 - m1) * hue * 6.0;
  if (2.0 * hue < 1) return m2;
  if (3.0 * hue < 2.0) return m1 + (m2 - m1) * ((2.0 / 3.0) - hue) * 6.0;
  return m1;
}

float DrawManager::HueToRGBDegrees(float m1, float m2, float hue) {
  while (hue > 360) hue -= 360;
  while (hue < 0) hue += 360;
  if (hue < 60) return m1 + (m2 - m1) * hue / 60;
  if (hue < 180) return m2;
  if (hue < 240) return m1 + (m2 - m1) * (240 - hue) / 60;
  return m1;
}

COLORREF DrawManager::HLSToRGB(double hue, double lightness, double saturation) {
  if (saturation == 0) {
    const int v = static_cast<int>(lightness * 255.0);
    return rgb(v, v, v);
  }
  const double m2 = lightness <= 0.5 ? lightness * (1.0 + saturation) : lightness + saturation - lightness * saturation;
  const double m1 = 2.0 * lightness - m2;
  return rgb(static_cast<int>(HueToRGB(m1, m2, hue + 1.0 / 3.0) * 255),
             static_cast<int>(HueToRGB(m1, m2, hue) * 255), static_cast<int>(HueToRGB(m1, m2, hue - 1.0 / 3.0) * 255));
}

COLORREF DrawManager::HLSToRGBDegrees(double hue, double lightness, double saturation) {
  if (saturation == 0) {
    const int v = static_cast<int>(lightness * 255.0);
    return rgb(v, v, v);
  }
  const float l = static_cast<float>(lightness), s = static_cast<float>(saturation), h = static_cast<float>(hue);
  const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
  const float m1 = 2.0f * l - m2;
  return rgb(static_cast<int>(HueToRGBDegrees(m1, m2, h + 120) * 255), static_cast<int>(HueToRGBDegrees(m1, m2, h) * 255),
             static_cast<int>(HueToRGBDegrees(m1, m2, h - 120) * 255));
}

void DrawManager::RGBToHLS(COLORREF colour, double* hue, double* saturation, double* lightness) {
  const double r = redOf(colour) / 255.0, g = greenOf(colour) / 255.0, b = blueOf(colour) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  *lightness = (mx + mn) / 2.0;
  if (mx == mn) {
    *saturation = 0;
    *hue = 0;
    return;
  }
  const double delta = mx - mn;
  *saturation = *lightness <= 0.5 ? delta / (mx + mn) : delta / (2.0 - mx - mn);
  double h;
  if (r == mx) h = (g - b) / delta;
  else if (g == mx) h = 2.0 + (b - r) / delta;
  else h = 4.0 + (r - g) / delta;
  h /= 6.0;
  if (h < 0) h += 1.0;
  *hue = h;
}
