#include "platform/drawing/readable_colour.h"

#include "platform/drawing/system_metrics.h"

#include <QColor>
#include <algorithm>
#include <cmath>

namespace platform {
namespace {

double linear(int channel) {
  const double value = channel / 255.0;
  return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(COLORREF colour) {
  return 0.2126 * linear(redOf(colour)) + 0.7152 * linear(greenOf(colour)) + 0.0722 * linear(blueOf(colour));
}

double contrastRatio(COLORREF a, COLORREF b) {
  const double la = relativeLuminance(a), lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

COLORREF plainTextOn(COLORREF ground) {
  constexpr COLORREF black = rgb(0, 0, 0), white = rgb(255, 255, 255);
  return contrastRatio(white, ground) > contrastRatio(black, ground) ? white : black;
}

COLORREF shadeStandingOut(COLORREF colour, COLORREF other, double ratio) {
  const QColor hsl = toQColor(colour).toHsl();
  // Lighter than a dark `other`, darker than a light one, hue and saturation kept.
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

COLORREF classicSysColor(int sysColorIndex) {
  static const ClassicSystemMetrics classic;
  return classic.sysColor(sysColorIndex);
}

COLORREF readableOn(COLORREF colour, COLORREF under, COLORREF classicUnder) {
  // Not how far the colour stood out on the classic ground: a desktop's lighter face would then ask
  // the less of it, the lighter the face.
  if (under == classicUnder) return colour;
  return shadeStandingOut(colour, under, kReadableShadeContrast);
}

COLORREF readableOnSysColor(COLORREF colour, int sysColorIndex) {
  return readableOn(colour, getSysColor(sysColorIndex), classicSysColor(sysColorIndex));
}

}  // namespace platform
