// Text at the skin boundary: skin files are CP932 on disk (UTF-8 with a byte-order mark is
// accepted too), every string inside Lua is UTF-8, the program's own strings are wide.
#pragma once

#include <string>
#include <string_view>

namespace study {

// Converts a whole skin file at once, so that no double-byte character is ever split; carriage
// return/line feed pairs become line feeds, as a text-mode read gives them.
std::string skinTextToUtf8(std::string_view fileBytes);

// Reads and converts a skin file; false when it cannot be read.
bool readSkinFile(const std::string& utf8Path, std::string& utf8Text);

std::wstring Utf8ToWideString(std::string_view utf8);
std::string WideToUtf8String(std::wstring_view text);
// Names that host functions compare are compared in the file code page (CP932).
std::string Utf8ToAcpString(std::string_view utf8);

}  // namespace study
