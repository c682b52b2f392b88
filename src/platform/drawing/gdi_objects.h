// Brushes, pens and fonts as plain values. An empty object stands for a failed or not yet
// made one: drawing with it keeps what the device context already had selected.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QFont>
#include <QImage>
#include <optional>
#include <string>

namespace platform {

class Brush {
 public:
  Brush() = default;
  static Brush solid(COLORREF colour);
  // An 8 x 8 colour pattern, tiled from the device context's origin.
  static Brush pattern(const QImage& pattern8x8);
  // The stock brush that paints nothing: shapes drawn with it keep their inside.
  static Brush hollow();
  bool isNull() const { return kind_ == Kind::None; }
  bool isHollow() const { return kind_ == Kind::Hollow; }
  bool isSolid() const { return kind_ == Kind::Solid; }
  COLORREF colour() const { return colour_; }
  // The colour the brush paints at a device pixel.
  COLORREF colourAt(int x, int y) const;

 private:
  enum class Kind { None, Solid, Pattern, Hollow };
  Kind kind_ = Kind::None;
  COLORREF colour_ = 0;
  QImage pattern_;
};

class Pen {
 public:
  Pen() = default;
  static Pen solid(COLORREF colour, int width = 1);
  bool isNull() const { return !valid_; }
  COLORREF colour() const { return colour_; }
  int width() const { return width_; }

 private:
  bool valid_ = false;
  COLORREF colour_ = 0;
  int width_ = 1;
};

// Character sets the library tells apart.
enum CharSet : int { AnsiCharset = 0, DefaultCharset = 1, SymbolCharset = 2, ShiftJisCharset = 128 };

// A logical font description. height < 0 is the character height in pixels, > 0 the cell height;
// escapement is in tenths of a degree counter-clockwise (2700 runs text downwards).
// The family half of a pitch-and-family byte (its high nibble); the low bits give the pitch.
enum FontFamily : int {
  DontCareFamily = 0x00, RomanFamily = 0x10, SwissFamily = 0x20, ModernFamily = 0x30, ScriptFamily = 0x40,
  DecorativeFamily = 0x50,
};

struct LogFont {
  int height = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = DefaultCharset;
  // Which face stands in when the named one is missing: the family (SwissFamily: a sans-serif).
  int pitchAndFamily = 0;
  int escapement = 0;
  int orientation = 0;
  std::wstring faceName;
};

class Font {
 public:
  Font() = default;
  static Font create(const LogFont& description);
  bool isNull() const { return !valid_; }
  const LogFont& logFont() const { return log_; }
  const QFont& qfont() const { return qfont_; }
  // Glyph fonts that Linux lacks are drawn by us instead of by a font engine.
  bool isSymbolGlyphFont() const;

 private:
  bool valid_ = false;
  LogFont log_;
  QFont qfont_;
};

struct TextMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int averageCharWidth = 0;
};

}  // namespace platform
