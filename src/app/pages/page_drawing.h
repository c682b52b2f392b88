// What the main dialog's drawn pages share: their font, and painting through the GDI-semantics
// drawing layer into an image that is then shown.
#pragma once

#include <functional>
#include <string>

#include "platform/drawing/gdi_dc.h"

class QWidget;

// "ＭＳ ゴシック" of the given height, weight 50, Shift-JIS.
platform::Font pageFont(int height);

// Selects a page font for one drawing step and puts the previous font back.
class PageFontScope {
 public:
  PageFontScope(platform::Dc& dc, int height) : dc_(dc), previous_(dc.selectFont(pageFont(height))) {}
  ~PageFontScope() { dc_.selectFont(previous_); }
  PageFontScope(const PageFontScope&) = delete;
  PageFontScope& operator=(const PageFontScope&) = delete;

 private:
  platform::Dc& dc_;
  platform::Font previous_;
};

// One row of figures: the label left-aligned in labelArea, the value right-aligned in valueArea,
// both in the colour given (which stays selected).
void drawLabelAndValue(platform::Dc& dc, platform::Rect labelArea, platform::Rect valueArea, const std::wstring& label,
                       const std::wstring& value, platform::COLORREF colour);

// For a paint event: draws the widget's whole surface with `draw` and shows it.
void paintThroughDc(QWidget& widget, const std::function<void(platform::Dc&)>& draw);
