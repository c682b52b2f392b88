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

// The luminance at which black and white stand out equally: a face darker than this takes
// lighter text.
constexpr double kMiddleLuminance = 0.179;

}  // namespace

double relativeLuminance(COLORREF colour) {
  return 0.2126 * linear(redOf(colour)) + 0.7152 * linear(greenOf(colour)) + 0.0722 * linear(blueOf(colour));
}

double contrastRatio(COLORREF a, COLORREF b) {
  const double la = relativeLuminance(a), lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

COLORREF readableOn(COLORREF colour, COLORREF under, COLORREF classicUnder) {
  const double wanted = std::min(kReadableContrast, contrastRatio(colour, classicUnder));
  if (contrastRatio(colour, under) >= wanted) return colour;
  const QColor hsl = toQColor(colour).toHsl();
  const bool lighten = relativeLuminance(under) < kMiddleLuminance;
  // Lightness moves away from the face in small steps, hue and saturation kept, until the
  // shade stands out; the last step is white or black, which always does as well as can be.
  double lightness = hsl.lightnessF();
  COLORREF shade = colour;
  for (int step = 0; step < 50; ++step) {
    lightness = std::clamp(lightness + (lighten ? 0.02 : -0.02), 0.0, 1.0);
    const QColor next = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).toRgb();
    shade = rgb(next.red(), next.green(), next.blue());
    if (contrastRatio(shade, under) >= wanted || lightness <= 0.0 || lightness >= 1.0) break;
  }
  return shade;
}

COLORREF readableOnSysColor(COLORREF colour, int sysColorIndex) {
  static const ClassicSystemMetrics classic;
  return readableOn(colour, getSysColor(sysColorIndex), classic.sysColor(sysColorIndex));
}

}  // namespace platform
