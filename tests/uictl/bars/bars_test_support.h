// Helpers shared by the control library's tests.
#pragma once

#include "platform/gdi_types.h"

#include <QImage>

inline QImage canvas(int w, int h, platform::COLORREF fill) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(platform::toPixel(fill));
  return image;
}
