// Helpers shared by the control library's tests.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QImage>

// Pixels of one colour within an area of the image.
inline int countPixels(const QImage& image, const QRect& area, platform::COLORREF colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) count += platform::fromPixel(image.pixel(x, y)) == colour;
  return count;
}

inline QImage canvas(int w, int h, platform::COLORREF fill) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(platform::toPixel(fill));
  return image;
}
