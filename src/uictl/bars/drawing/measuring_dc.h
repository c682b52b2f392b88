// A device context for measuring text with a font, without a window.
#pragma once

#include "platform/drawing/gdi_dc.h"

#include <QImage>

class MeasuringDc {
 public:
  explicit MeasuringDc(const platform::Font& font) : image_(1, 1, QImage::Format_RGB32), dc_(image_) {
    dc_.selectFont(font);
  }
  platform::Dc* operator->() { return &dc_; }
  platform::Dc* get() { return &dc_; }

 private:
  QImage image_;
  platform::Dc dc_;
};
