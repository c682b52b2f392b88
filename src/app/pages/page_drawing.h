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

// Draws texts in `colour` for one drawing step and puts the previous text colour back.
class TextColourScope {
 public:
  TextColourScope(platform::Dc& dc, platform::COLORREF colour) : dc_(dc), previous_(dc.setTextColor(colour)) {}
  ~TextColourScope() { dc_.setTextColor(previous_); }
  TextColourScope(const TextColourScope&) = delete;
  TextColourScope& operator=(const TextColourScope&) = delete;

 private:
  platform::Dc& dc_;
  platform::COLORREF previous_;
};

// One row of figures: the label left-aligned in labelArea, the value right-aligned in valueArea,
// both in the colour given (which stays selected).
void drawLabelAndValue(platform::Dc& dc, platform::Rect labelArea, platform::Rect valueArea, const std::wstring& label,
                       const std::wstring& value, platform::COLORREF colour);

// For a page drawn on its palette's window colour: the palette's text for that colour, and a
// meaning colour (a warning in red, a hint in blue) as it is on the classic look and, on a
// desktop's palette, in a shade that stands out from the window.
platform::COLORREF pageWindowText(const QWidget& page);
platform::COLORREF readableOnPageWindow(platform::COLORREF meaning, const QWidget& page);

// For a paint event: draws the widget's whole surface with `draw` and shows it.
void paintThroughDc(QWidget& widget, const std::function<void(platform::Dc&)>& draw);
