#include "study/skin/skin_text.h"

#include "platform/files/file_system.h"
#include "platform/text.h"

#include <optional>

namespace study {

std::string skinTextToUtf8(std::string_view fileBytes) {
  std::string utf8;
  if (fileBytes.starts_with(platform::kUtf8Bom)) {
    utf8.assign(fileBytes.substr(platform::kUtf8Bom.size()));
  } else {
    utf8 = platform::toUtf8(platform::fromCp932(fileBytes));
  }
  std::string text;
  text.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    text.push_back(utf8[i]);
  }
  return text;
}

bool readSkinFile(const std::string& utf8Path, std::string& utf8Text) {
  const std::optional<std::string> bytes = platform::readFileBytes(platform::fromUtf8(utf8Path));
  if (!bytes) return false;
  utf8Text = skinTextToUtf8(*bytes);
  return true;
}

std::wstring Utf8ToWideString(std::string_view utf8) { return platform::fromUtf8(utf8); }

std::string WideToUtf8String(std::wstring_view text) { return platform::toUtf8(text); }

std::string Utf8ToAcpString(std::string_view utf8) {
  return platform::toCp932(platform::fromUtf8(utf8));
}

}  // namespace study
