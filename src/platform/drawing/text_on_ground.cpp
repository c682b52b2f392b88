#include "platform/drawing/text_on_ground.h"

#include "platform/drawing/readable_colour.h"

#include <QColor>
#include <algorithm>

namespace platform {

COLORREF plainTextOn(COLORREF ground) {
  constexpr COLORREF black = rgb(0, 0, 0), white = rgb(255, 255, 255);
  return contrastRatio(white, ground) > contrastRatio(black, ground) ? white : black;
}

COLORREF shadeStandingOut(COLORREF colour, COLORREF other, double ratio) {
  const QColor hsl = toQColor(colour).toHsl();
  // Lighter than a dark `other`, darker than a light one.
  const double step = plainTextOn(other) == rgb(255, 255, 255) ? 0.01 : -0.01;
  double lightness = hsl.lightnessF();
  COLORREF shade = colour;
  const auto canGoOn = [&] { return step > 0 ? lightness < 1.0 : lightness > 0.0; };
  while (contrastRatio(shade, other) < ratio && canGoOn()) {
    lightness = std::clamp(lightness + step, 0.0, 1.0);
    const QColor next = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).toRgb();
    shade = rgb(next.red(), next.green(), next.blue());
  }
  return shade;
}

}  // namespace platform
