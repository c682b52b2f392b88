#include "platform/drawing/gdi_objects.h"



namespace platform {

Brush Brush::solid(COLORREF colour) {
  Brush b;
  b.kind_ = Kind::Solid;
  b.colour_ = colour & 0xFFFFFF;
  return b;
}

Brush Brush::hollow() {
  Brush b;
  b.kind_ = Kind::Hollow;
  return b;
}

Brush Brush::pattern(const QImage& pattern8x8) {
  Brush b;
  if (pattern8x8.width() < 1 || pattern8x8.height() < 1) return b;
  b.kind_ = Kind::Pattern;
  b.pattern_ = pattern8x8.convertToFormat(QImage::Format_RGB32);
  b.colour_ = fromPixel(b.pattern_.pixel(0, 0));
  return b;
}

COLORREF Brush::colourAt(int x, int y) const {
  if (kind_ != Kind::Pattern) return colour_;
  const int w = pattern_.width();
  const int h = pattern_.height();
  return fromPixel(pattern_.pixel(((x % w) + w) % w, ((y % h) + h) % h));
}

Pen Pen::solid(COLORREF colour, int width) {
  Pen p;
  p.valid_ = true;
  p.colour_ = colour & 0xFFFFFF;
  p.width_ = width < 1 ? 1 : width;
  return p;
}

namespace {

QFont::StyleHint styleHintOf(int pitchAndFamily) {
  switch (pitchAndFamily & 0xF0) {
    case RomanFamily: return QFont::Serif;
    case SwissFamily: return QFont::SansSerif;
    case ModernFamily: return QFont::TypeWriter;
    case ScriptFamily: return QFont::Cursive;
    case DecorativeFamily: return QFont::Decorative;
    default: return QFont::AnyStyle;
  }
}

}  // namespace

Font Font::create(const LogFont& description) {
  Font f;
  f.valid_ = true;
  f.log_ = description;
  QFont q(QString::fromStdWString(description.faceName));
  // A cell height includes the internal leading; without metrics yet, take most of it.
  int pixels = description.height < 0 ? -description.height : description.height * 7 / 8;
  if (pixels == 0) pixels = 12;
  q.setPixelSize(pixels);
  q.setWeight(description.weight >= 600 ? QFont::Bold : QFont::Normal);
  q.setItalic(description.italic);
  q.setUnderline(description.underline);
  q.setStrikeOut(description.strikeOut);
  q.setStyleHint(styleHintOf(description.pitchAndFamily));
  // Classic controls draw text without smoothing; it also keeps pixels predictable.
  q.setStyleStrategy(QFont::NoAntialias);
  f.qfont_ = q;
  return f;
}

bool Font::isSymbolGlyphFont() const {
  return valid_ && log_.charSet == SymbolCharset && log_.faceName == L"Marlett";
}

}  // namespace platform
