// Conversions between the program's wide strings (UTF-32 on Linux), UTF-8, UTF-16 and code page 932.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Invalid input never throws: a malformed UTF-8 or UTF-16 sequence becomes U+FFFD.
std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

std::u16string toUtf16(std::wstring_view text);
std::wstring fromUtf16(std::u16string_view text);

// Code page 932 (Shift_JIS with the vendor extensions). A character the code page lacks
// becomes '?'; an undecodable byte becomes U+FFFD.
std::string toCp932(std::wstring_view text);
std::wstring fromCp932(std::string_view text);
// The first byte of a two-byte code page 932 character (its second byte may look like ASCII).
constexpr bool isCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The byte-order mark that opens a UTF-8 file written by some editors.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// True when the bytes are well-formed UTF-8 (used to tell a UTF-8 file from a CP932 one).
bool isValidUtf8(std::string_view bytes);

// How well bytes read as UTF-8: characters of two or more bytes that are well-formed, and bytes
// that belong to no well-formed sequence.
struct Utf8Tally {
  size_t multiByteCharacters = 0;
  size_t strayBytes = 0;
};
Utf8Tally tallyUtf8(std::string_view bytes);

}  // namespace platform
