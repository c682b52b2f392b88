#include "platform/ini_profile.h"

#include <QString>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Cp932 };

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view trim(std::wstring_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool sameName(std::wstring_view a, std::wstring_view b) {
  return QString::fromWCharArray(a.data(), a.size())
             .compare(QString::fromWCharArray(b.data(), b.size()), Qt::CaseInsensitive) == 0;
}

// One file as lines of text, with what it takes to write it back the way it was.
struct IniText {
  Encoding encoding = Encoding::Utf8;
  std::wstring lineEnd = L"\r\n";
  std::vector<std::wstring> lines;
  bool endsWithLineEnd = true;
};

IniText decode(const std::string& bytes) {
  IniText file;
  std::wstring text;
  if (bytes.starts_with(kUtf16LeBom)) {
    file.encoding = Encoding::Utf16Le;
    std::u16string units;
    for (size_t i = kUtf16LeBom.size(); i + 1 < bytes.size(); i += 2)
      units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    text = fromUtf16(units);
  } else if (bytes.starts_with(kUtf8Bom)) {
    file.encoding = Encoding::Utf8Bom;
    text = fromUtf8(std::string_view(bytes).substr(kUtf8Bom.size()));
  } else if (isValidUtf8(bytes)) {
    text = fromUtf8(bytes);
  } else {
    file.encoding = Encoding::Cp932;
    text = fromCp932(bytes);
  }
  const size_t firstBreak = text.find_first_of(L"\r\n");
  if (firstBreak != std::wstring::npos)
    file.lineEnd = text.compare(firstBreak, 2, L"\r\n") == 0 ? L"\r\n" : text.substr(firstBreak, 1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) {
      file.lines.push_back(text.substr(start));
      file.endsWithLineEnd = false;
      break;
    }
    file.lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
  }
  return file;
}

std::string encode(const IniText& file) {
  std::wstring text;
  for (size_t i = 0; i < file.lines.size(); ++i) {
    text += file.lines[i];
    if (i + 1 < file.lines.size() || file.endsWithLineEnd) text += file.lineEnd;
  }
  switch (file.encoding) {
    case Encoding::Utf16Le: {
      std::string bytes(kUtf16LeBom);
      for (char16_t unit : toUtf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
      }
      return bytes;
    }
    case Encoding::Utf8Bom: return std::string(kUtf8Bom) + toUtf8(text);
    case Encoding::Cp932: return toCp932(text);
    case Encoding::Utf8: break;
  }
  return toUtf8(text);
}

std::optional<std::wstring_view> sectionName(std::wstring_view line) {
  line = trim(line);
  if (line.empty() || line.front() != L'[') return std::nullopt;
  const size_t close = line.find(L']');
  if (close == std::wstring_view::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

// A key line's name and value; a line without "=" has a name and no value.
struct Entry {
  std::wstring_view name;
  std::optional<std::wstring_view> value;
};

Entry entryOf(std::wstring_view line) {
  line = trim(line);
  const size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos) return {line, std::nullopt};
  return {trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

// The lines of the first section of that name: [first, last) after its header.
struct SectionRange {
  size_t header, first, last;
};

std::optional<SectionRange> findSection(const IniText& file, std::wstring_view section) {
  std::optional<SectionRange> found;
  // Lines before any header form the section without a name.
  if (trim(section).empty()) found = SectionRange{SIZE_MAX, 0, file.lines.size()};
  for (size_t i = 0; i < file.lines.size(); ++i) {
    const auto name = sectionName(file.lines[i]);
    if (!name) continue;
    if (found) {
      found->last = i;
      return found;
    }
    if (sameName(*name, trim(section))) found = SectionRange{i, i + 1, file.lines.size()};
  }
  return found;
}

std::optional<size_t> findKey(const IniText& file, const SectionRange& range, std::wstring_view key) {
  for (size_t i = range.first; i < range.last; ++i) {
    const Entry entry = entryOf(file.lines[i]);
    if (!entry.name.empty() && sameName(entry.name, trim(key))) return i;
  }
  return std::nullopt;
}

std::optional<IniText> load(const std::wstring& path) {
  const std::optional<std::string> bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  return decode(*bytes);
}

std::wstring_view withoutQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// The text of a key, or nothing when the file, the section, the key or its "=" is missing.
std::optional<std::wstring> lookUp(std::wstring_view section, std::wstring_view key, const std::wstring& path) {
  const std::optional<IniText> file = load(path);
  if (!file) return std::nullopt;
  const auto range = findSection(*file, section);
  const auto line = range ? findKey(*file, *range, key) : std::nullopt;
  if (!line) return std::nullopt;
  const Entry entry = entryOf(file->lines[*line]);
  if (!entry.value) return std::nullopt;
  return std::wstring(withoutQuotes(*entry.value));
}

bool breaksLines(std::wstring_view text) { return text.find_first_of(L"\r\n") != std::wstring_view::npos; }

std::mutex gWriteLock;

}  // namespace

std::wstring getProfileString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                              const std::wstring& file) {
  if (std::optional<std::wstring> value = lookUp(section, key, file)) return *value;
  while (!defaultValue.empty() && defaultValue.back() == L' ') defaultValue.remove_suffix(1);
  return std::wstring(defaultValue);
}

int getProfileInt(std::wstring_view section, std::wstring_view key, int defaultValue, const std::wstring& file) {
  const std::optional<std::wstring> value = lookUp(section, key, file);
  if (!value || value->empty()) return defaultValue;
  std::wstring_view text = *value;
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  uint32_t number = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    number = number * 10 + static_cast<uint32_t>(c - L'0');
  }
  return static_cast<int>(negative ? 0u - number : number);
}

bool writeProfileString(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                        const std::wstring& path) {
  if (breaksLines(section) || breaksLines(key) || breaksLines(value) || section.find(L']') != std::wstring_view::npos ||
      key.find(L'=') != std::wstring_view::npos || trim(key).empty() || trim(key).front() == L'[' ||
      value.find(L'\0') != std::wstring_view::npos) {
    traceError("profile: refused to write [%s] %s into %s\n", toUtf8(section).c_str(), toUtf8(key).c_str(),
               toUtf8(path).c_str());
    return false;
  }
  // Names are matched and written without their surrounding blanks, as the original does.
  section = trim(section);
  key = trim(key);
  std::lock_guard guard(gWriteLock);
  IniText file;
  if (fileExists(path)) {
    std::optional<IniText> existing = load(path);
    if (!existing) return false;
    file = std::move(*existing);
  }
  const std::wstring line = std::wstring(key) + L"=" + std::wstring(value);
  if (const auto range = findSection(file, section)) {
    if (const auto at = findKey(file, *range, key)) {
      const Entry entry = entryOf(file.lines[*at]);
      if (entry.value && *entry.value == value) return true;
      file.lines[*at] = std::wstring(entry.name) + L"=" + std::wstring(value);
    } else {
      // After the section's last entry, so that blank lines before the next section stay there.
      size_t insertAt = range->first;
      for (size_t i = range->first; i < range->last; ++i)
        if (!trim(file.lines[i]).empty()) insertAt = i + 1;
      if (insertAt == file.lines.size()) file.endsWithLineEnd = true;
      file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    }
  } else {
    if (!file.lines.empty() && !trim(file.lines.back()).empty()) file.lines.push_back(L"");
    file.lines.push_back(L"[" + std::wstring(section) + L"]");
    file.lines.push_back(line);
    file.endsWithLineEnd = true;
  }
  const std::wstring added = std::wstring(section) + line;
  if (file.encoding == Encoding::Cp932 && fromCp932(toCp932(added)) != added) {
    // Code page 932 cannot hold the value: the file becomes UTF-8 rather than lose characters.
    file.encoding = Encoding::Utf8Bom;
  }
  return writeFileAtomically(path, encode(file));
}

}  // namespace platform
