// The 71 phoneme codes of the pronouncing dictionary: one byte each, which is also the glyph's
// row in the pronunciation image.
#pragma once

#include <string_view>

namespace study {

inline constexpr int kPhonemeCount = 71;
inline constexpr int kWordGapCode = 58;  // "SPC"

// "AA0" ... "ZH"; the name of a code 0..70.
std::string_view phonemeName(int code);
// The code of a name, -1 when there is none.
int phonemeCodeOf(std::string_view name);

// The pronunciation image holds one glyph per code, stacked: glyph c fills the rows from
// c x kGlyphHeight, from column 0 to its own width.
inline constexpr int kGlyphHeight = 20;
// The width in pixels of the glyph of a code 0..70; 0 for any other value.
int glyphWidth(int code);

}  // namespace study
