// The symbol glyphs of the original platform's glyph font ("Marlett"), which Linux lacks: drawn
// from lines in the cell a character of the font would take.
#pragma once

#include "platform/drawing/gdi_objects.h"
#include "platform/drawing/gdi_types.h"

namespace platform {

class Dc;

// Side of the square cell of one glyph of a symbol font.
int symbolGlyphSize(const Font& font);
// Known glyphs: 'o' and 'x' (size grip, left-to-right and mirrored), '0' minimise, '1' maximise,
// '2' restore, 'r' close, '5' up arrow, '6' down arrow, '3' left arrow, '4' right arrow.
// Others draw nothing.
void drawSymbolGlyph(Dc& dc, wchar_t glyph, const Rect& cell, COLORREF colour, const Rect* clip);

}  // namespace platform
