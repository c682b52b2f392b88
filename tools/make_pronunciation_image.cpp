// kelvara_make_pronunciation_image <symbol map> <image file>
// Draws the pronunciation image: the symbol of each phoneme code (line c of the map, UTF-8) as a
// black glyph on white in row c, squeezed into the code's glyph width.
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cstdio>

#include "study/sound/phoneme_codes.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <symbol map> <image file>\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QFile map(QString::fromLocal8Bit(argv[1]));
  if (!map.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  const QStringList symbols = QString::fromUtf8(map.readAll()).split('\n');
  int widest = 0;
  for (int code = 0; code < study::kPhonemeCount; ++code) widest = std::max(widest, study::glyphWidth(code));
  QImage image(widest, study::kPhonemeCount * study::kGlyphHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font("DejaVu Sans");
  font.setPixelSize(15);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(font);
  for (int code = 0; code < study::kPhonemeCount && code < symbols.size(); ++code) {
    const QString symbol = symbols[code].trimmed();
    if (symbol.isEmpty()) continue;
    const double width = study::glyphWidth(code);
    const double natural = std::max(metrics.horizontalAdvance(symbol), 1.0);
    painter.save();
    painter.setClipRect(QRectF(0, code * study::kGlyphHeight, width, study::kGlyphHeight));
    painter.translate(0, code * study::kGlyphHeight);
    painter.scale(std::min(1.0, width / natural), 1.0);
    painter.drawText(QRectF(0, 0, natural, study::kGlyphHeight), Qt::AlignLeft | Qt::AlignVCenter, symbol);
    painter.restore();
  }
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[2]), "BMP")) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
