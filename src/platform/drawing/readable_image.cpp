#include "platform/drawing/readable_image.h"

#include "platform/drawing/readable_colour.h"
#include "platform/drawing/system_metrics.h"

#include <QColor>
#include <QHash>

namespace platform {
namespace {

// Grays and near-grays (a bluish gray gear) are ink; anything more saturated is a colour the
// picture means.
constexpr double kInkSaturation = 0.25;

}  // namespace

QImage inkStandingOutOn(const QImage& picture, COLORREF face, COLORREF classicFace, InkParts ink) {
  if (face == classicFace || picture.isNull()) return picture;
  QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
  QHash<QRgb, QRgb> shades;
  for (int y = 0; y < shown.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x) {
      const QRgb pixel = line[x];
      if (qAlpha(pixel) == 0) continue;
      auto found = shades.constFind(pixel);
      if (found == shades.constEnd()) {
        QRgb shade = pixel;
        if (ink == InkParts::all || QColor::fromRgb(pixel).hslSaturationF() <= kInkSaturation) {
          const COLORREF readable = readableOn(rgb(qRed(pixel), qGreen(pixel), qBlue(pixel)), face, classicFace);
          shade = qRgba(redOf(readable), greenOf(readable), blueOf(readable), qAlpha(pixel));
        }
        found = shades.insert(pixel, shade);
      }
      line[x] = *found;
    }
  }
  return shown;
}

QImage inkStandingOutOnSysColor(const QImage& picture, int sysColorIndex) {
  return inkStandingOutOn(picture, getSysColor(sysColorIndex), classicSysColor(sysColorIndex));
}

}  // namespace platform
