// Text colour, transparent background and (optionally) a font for one piece of text, put back
// when the scope ends.
#pragma once

#include "platform/drawing/gdi_dc.h"

class TextScope {
 public:
  // An empty font keeps the one selected.
  TextScope(platform::Dc* dc, platform::COLORREF colour, const platform::Font& font = {})
      : dc_(dc), font_(dc->selectFont(font)), colour_(dc->setTextColor(colour)),
        mode_(dc->setBkMode(platform::Transparent)) {}
  ~TextScope() {
    dc_->setBkMode(mode_);
    dc_->setTextColor(colour_);
    dc_->selectFont(font_);
  }
  TextScope(const TextScope&) = delete;
  TextScope& operator=(const TextScope&) = delete;

 private:
  platform::Dc* dc_;
  platform::Font font_;
  platform::COLORREF colour_;
  int mode_;
};
