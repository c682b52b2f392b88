// Colour, point, size and rectangle values with the original platform's drawing semantics:
// COLORREF is 0x00BBGGRR and a rectangle's right and bottom edges lie outside it.
#pragma once

#include <QColor>
#include <QRect>
#include <algorithm>
#include <cstdint>

namespace platform {

using COLORREF = uint32_t;
// "No colour" / "automatic" wherever a colour may be left to a default.
constexpr COLORREF kNoColor = 0xFFFFFFFFu;

constexpr COLORREF rgb(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// Pixels of our images are 0xAARRGGBB; these convert without the alpha byte.
constexpr COLORREF fromPixel(uint32_t argb) {
  return rgb(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
             static_cast<int>(argb & 0xFF));
}
constexpr uint32_t toPixel(COLORREF c) {
  return 0xFF000000u | (static_cast<uint32_t>(redOf(c)) << 16) |
         (static_cast<uint32_t>(greenOf(c)) << 8) | static_cast<uint32_t>(blueOf(c));
}
inline QColor toQColor(COLORREF c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static Rect fromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  Size size() const { return {width(), height()}; }
  Point topLeft() const { return {left, top}; }
  bool isEmpty() const { return right <= left || bottom <= top; }
  bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect deflated(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
  Rect inflated(int dx, int dy) const { return deflated(-dx, -dy); }
  Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect intersected(const Rect& o) const;
  QRect toQRect() const { return QRect(left, top, width(), height()); }
  static Rect fromQRect(const QRect& r) { return fromSize(r.x(), r.y(), r.width(), r.height()); }
  friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect Rect::intersected(const Rect& o) const {
  Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
  if (r.isEmpty()) return {};
  return r;
}

}  // namespace platform
