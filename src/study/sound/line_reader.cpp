#include "study/sound/line_reader.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string_view>

#include "platform/text.h"

namespace {

// Bytes taken by the character whose first byte this is.
size_t utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

size_t cp932Length(unsigned char lead) {
  return platform::isCp932LeadByte(lead) ? 2 : 1;
}

}  // namespace

wchar_t* readLineNoNewline(wchar_t* buffer, size_t capacity, std::FILE* file) {
  if (!buffer || capacity == 0 || !file) return nullptr;
  const long start = std::ftell(file);
  std::string bytes;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    bytes.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (bytes.empty()) return nullptr;

  std::string_view line = bytes;
  size_t skipped = 0;
  if (start == 0 && line.starts_with(platform::kUtf8Bom)) {
    line.remove_prefix(platform::kUtf8Bom.size());
    skipped = platform::kUtf8Bom.size();
  }
  const bool utf8 = platform::isValidUtf8(line);
  std::string_view content = line;
  if (content.ends_with('\n')) content.remove_suffix(1);
  if (content.ends_with('\r')) content.remove_suffix(1);
  // Take whole characters up to the capacity; what does not fit is read again next time. A line
  // that fits is consumed with its line end, so that it never yields an extra empty line.
  size_t end = 0;
  for (size_t characters = 0; end < content.size() && characters + 1 < capacity; ++characters) {
    const auto lead = static_cast<unsigned char>(content[end]);
    end = std::min(content.size(), end + (utf8 ? utf8Length(lead) : cp932Length(lead)));
  }
  if (end < content.size() && start >= 0) std::fseek(file, start + static_cast<long>(skipped + end), SEEK_SET);

  const std::string_view piece = content.substr(0, end);
  const std::wstring text = utf8 ? platform::fromUtf8(piece) : platform::fromCp932(piece);
  const size_t length = std::min(text.size(), capacity - 1);
  std::wmemcpy(buffer, text.data(), length);
  buffer[length] = L'\0';
  return buffer;
}

bool StripLineEnd(wchar_t* text) {
  size_t length = std::wcslen(text);
  if (length == 0 || text[length - 1] != L'\n') return false;
  text[--length] = L'\0';
  if (length > 0 && text[length - 1] == L'\r') text[length - 1] = L'\0';
  return true;
}
