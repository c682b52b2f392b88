// A device context for measuring text in a font, without a window.
#pragma once

#include "platform/gdi_dc.h"

#include <QImage>

struct TextMeasure {
  explicit TextMeasure(const platform::Font& font) : image(1, 1, QImage::Format_RGB32), dc(image) {
    dc.selectFont(font);
  }
  QImage image;
  platform::Dc dc;
};
