#include "platform/drawing/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace platform {

DialogBaseUnits dialogBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width is taken over the Latin letters of both cases, rounded to the nearest pixel.
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

int dialogUnitsAcross(int units, const QFont& font) { return (units * dialogBaseUnits(font).x + 2) / 4; }

QFont japaneseDialogFont(const QFont& base) {
  QFont font(base);
  font.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  return font;
}

}  // namespace platform
