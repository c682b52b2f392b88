// Gradient fills, highlighting, greying and popup shadows over one device context, and the
// colour arithmetic (percent scaling, blending, HLS) the library's pickers and images share.
#pragma once

#include "platform/drawing/gdi_dc.h"

#include <QImage>

using platform::COLORREF;

class DrawManager {
 public:
  explicit DrawManager(platform::Dc& dc) : pDC(&dc) {}

  // 64 bands from start to finish, left to right, or bottom to top when vertical.
  bool FillGradient(const platform::Rect& rect, COLORREF start, COLORREF finish, bool vertical = false);
  // Lightens what is drawn; -1 goes half-way to the highlight colour. Pixels of the
  // transparent colour (kNoColor: none) stay.
  bool HighlightRect(const platform::Rect& rect, int percentage = -1, COLORREF transparent = platform::kNoColor);
  // Turns what is drawn grey of the same lightness, then lightens it like HighlightRect.
  bool GrayRect(const platform::Rect& rect, int percentage = -1, COLORREF transparent = platform::kNoColor);
  // The soft shadow right of and below `rect` (left and below with rightToLeft); the
  // brightness runs from `minBrightness` next to the rect to `maxBrightness` at the edge. When both saved images are given and already
  // hold the shadow, it is painted back from them; otherwise they receive it.
  bool DrawShadow(const platform::Rect& rect, int depth, int minBrightness, int maxBrightness,
                  QImage* saveBottom = nullptr, QImage* saveRight = nullptr, bool rightToLeft = false);
  // Darkens one pixel of a shadow buffer (rows bottom-up, like a device-independent bitmap).
  static void SetAlphaPixel(uint32_t* bits, const platform::Rect& rect, int x, int y, int percentage,
                            int depth, bool rightToLeft);

  static COLORREF PixelAlpha(COLORREF colour, int percentage);
  static COLORREF PixelAlpha(COLORREF colour, double red, double green, double blue);
  static COLORREF PixelAlpha(COLORREF colour, int red, int green, int blue);
  // Half-way from `colour` to `toward`, rounded towards `colour`.
  static COLORREF HalfwayTo(COLORREF colour, COLORREF toward);
  static COLORREF BlendColors(COLORREF first, COLORREF second, int percentageOfFirst);
  static double HueToRGB(double m1, double m2, double hue);
  static float HueToRGBDegrees(float m1, float m2, float hue);
  static COLORREF HLSToRGB(double hue, double lightness, double saturation);
  static COLORREF HLSToRGBDegrees(double hue, double lightness, double saturation);
  static void RGBToHLS(COLORREF colour, double* hue, double* saturation, double* lightness);

 private:
  // Percentage 100, an empty rect and 256-colour displays need no pixel work.
  bool finishedWithoutPixels(const platform::Rect& rect, int percentage);
  // Runs `change` over every pixel of the rect that is not the transparent colour.
  template <class Change>
  bool changePixels(const platform::Rect& rect, COLORREF transparent, Change change);

  platform::Dc* pDC;
};
