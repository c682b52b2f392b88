// Font definitions of skins and of the skin option page: "size, bold, italic, underline,
// strikeout, face[, character set]".
#pragma once

#include <cstdint>
#include <string>

namespace study {

struct FontSpec {
  int size = 9;  // the font height in pixels
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  std::wstring faceName;
  uint8_t charset = 128;  // Shift-JIS
};

// Fields are separated by commas; a comma inside "(...)" or '...' does not separate. At least six
// fields; a seventh names the character set exactly ("SHIFTJIS", "GREEK", ...; anything else is
// Shift-JIS). False (and the font spec unchanged) for fewer fields or an unclosed span.
bool ParseFontSpec(FontSpec& spec, const std::wstring& text);

}  // namespace study
