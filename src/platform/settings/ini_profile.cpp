#include "platform/settings/ini_profile.h"

#include <QString>
#include <cerrno>
#include <cstdint>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/files/file_system.h"
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

bool isAscii(std::wstring_view text) {
  for (wchar_t c : text)
    if (c > 0x7F) return false;
  return true;
}

wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; }

// A template looks up hundreds of keys among hundreds of lines: ASCII names, nearly all of them,
// are compared in place.
bool sameName(std::wstring_view a, std::wstring_view b) {
  if (isAscii(a) && isAscii(b)) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
  }
  return QString::fromWCharArray(a.data(), a.size())
             .compare(QString::fromWCharArray(b.data(), b.size()), Qt::CaseInsensitive) == 0;
}

// A file without a byte-order mark is UTF-8 when its multi-byte characters well outnumber the
// bytes that fit no UTF-8 sequence: code page 932 text read as UTF-8 is mostly stray bytes, so a
// few strays in a UTF-8 file (a line pasted from elsewhere, a damaged byte) do not turn the whole
// file into mojibake.
constexpr size_t kMultiByteCharactersPerStrayByte = 4;

std::optional<Encoding> markedEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeBom)) return Encoding::Utf16Le;
  if (bytes.starts_with(kUtf8Bom)) return Encoding::Utf8Bom;
  return std::nullopt;
}

Encoding unmarkedEncoding(const Utf8Tally& tally) {
  return tally.strayBytes * kMultiByteCharactersPerStrayByte <= tally.multiByteCharacters ? Encoding::Utf8
                                                                                          : Encoding::Cp932;
}

// Counts of lines add up to the count of the file: a line break is ASCII in both encodings
// without a mark, and no UTF-8 sequence spans one.
Utf8Tally operator+(const Utf8Tally& a, const Utf8Tally& b) {
  return {a.multiByteCharacters + b.multiByteCharacters, a.strayBytes + b.strayBytes};
}
Utf8Tally operator-(const Utf8Tally& a, const Utf8Tally& b) {
  return {a.multiByteCharacters - b.multiByteCharacters, a.strayBytes - b.strayBytes};
}

std::string_view byteOrderMark(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf16Le: return kUtf16LeBom;
    case Encoding::Utf8Bom: return kUtf8Bom;
    case Encoding::Utf8:
    case Encoding::Cp932: break;
  }
  return {};
}

size_t unitSize(Encoding encoding) { return encoding == Encoding::Utf16Le ? 2 : 1; }

std::wstring decodeText(std::string_view bytes, Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf16Le: {
      std::u16string units;
      for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
      return fromUtf16(units);
    }
    case Encoding::Cp932: return fromCp932(bytes);
    case Encoding::Utf8:
    case Encoding::Utf8Bom: break;
  }
  return fromUtf8(bytes);
}

std::string encodeText(std::wstring_view text, Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf16Le: {
      std::string bytes;
      for (char16_t unit : toUtf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
      }
      return bytes;
    }
    case Encoding::Cp932: return toCp932(text);
    case Encoding::Utf8:
    case Encoding::Utf8Bom: break;
  }
  return toUtf8(text);
}

// One line as it stands in the file. A write puts back the bytes of every line it does not
// change exactly as they were read, so bytes that do not decode survive untouched.
struct IniLine {
  std::wstring text;
  std::string bytes;      // without the line break
  std::string lineBreak;  // as read; empty for a last line without one
};

struct IniText {
  Encoding encoding = Encoding::Utf8;
  std::string lineBreak = "\r\n";  // in the file's encoding, for lines the write adds
  std::vector<IniLine> lines;
  // How the lines' bytes read as UTF-8, kept with every edit of a file without a mark: it is read
  // back in the encoding this tally makes it out to be.
  Utf8Tally tally;

  IniLine makeLine(std::wstring text) const {
    std::string bytes = encodeText(text, encoding);
    return {std::move(text), std::move(bytes), lineBreak};
  }

  // A line added before the line at `next`. Its break is the file's first one, unless that is a
  // lone CR and the next line starts with an LF: the two would read back as one CR LF, and the
  // line after it would be lost. It then takes CR LF, the break of a new file.
  IniLine makeLineBefore(size_t next, std::wstring text) const {
    IniLine line = makeLine(std::move(text));
    if (next < lines.size() && line.lineBreak == encodeText(L"\r", encoding) && lines[next].bytes.empty() &&
        lines[next].lineBreak.starts_with(encodeText(L"\n", encoding)))
      line.lineBreak = encodeText(L"\r\n", encoding);
    return line;
  }
};

IniText decode(std::string_view bytes) {
  IniText file;
  if (const std::optional<Encoding> marked = markedEncoding(bytes)) {
    file.encoding = *marked;
    bytes.remove_prefix(byteOrderMark(file.encoding).size());
  } else {
    file.tally = tallyUtf8(bytes);
    file.encoding = unmarkedEncoding(file.tally);
  }
  const size_t unit = unitSize(file.encoding);
  // Half a UTF-16 unit at the end is no character. Kept, it would put every line a write adds
  // one byte out of step, and the file could not be read back: a write leaves it out.
  if (bytes.size() % unit != 0) bytes.remove_suffix(bytes.size() % unit);
  // A code page 932 trail byte is never CR or LF, and a UTF-16 unit is tested whole.
  auto unitIs = [&](size_t at, char c) {
    return at + unit <= bytes.size() && bytes[at] == c && (unit == 1 || bytes[at + 1] == '\0');
  };
  bool breakSeen = false;
  size_t start = 0;
  for (size_t at = 0; at < bytes.size(); at += unit) {
    if (!unitIs(at, '\r') && !unitIs(at, '\n')) continue;
    const size_t breakSize = unitIs(at, '\r') && unitIs(at + unit, '\n') ? 2 * unit : unit;
    const std::string_view content = bytes.substr(start, at - start);
    std::string lineBreak(bytes.substr(at, breakSize));
    if (!breakSeen) file.lineBreak = lineBreak;
    breakSeen = true;
    file.lines.push_back({decodeText(content, file.encoding), std::string(content), std::move(lineBreak)});
    start = at + breakSize;
    at = start - unit;
  }
  if (start < bytes.size()) {
    const std::string_view content = bytes.substr(start);
    file.lines.push_back({decodeText(content, file.encoding), std::string(content), ""});
  }
  if (!breakSeen) file.lineBreak = encodeText(L"\r\n", file.encoding);
  return file;
}

std::string encode(const IniText& file) {
  std::string bytes(byteOrderMark(file.encoding));
  for (const IniLine& line : file.lines) bytes += line.bytes + line.lineBreak;
  return bytes;
}

// Whether every line's bytes decode: a line that does not would lose them if encoded anew.
template <class Lines>
bool decodesWhole(const Lines& lines) {
  for (const IniLine& line : lines)
    if (line.text.find(L'\uFFFD') != std::wstring::npos) return false;
  return true;
}

// Moves a code page 932 file to UTF-8 (with a mark, so that it is never taken for code page 932
// again). False when a line holds bytes the code page cannot decode: they would be lost.
bool moveToUtf8(IniText& file) {
  if (!decodesWhole(file.lines)) return false;
  for (IniLine& line : file.lines) line.bytes = toUtf8(line.text);
  file.encoding = Encoding::Utf8Bom;
  return true;
}

// A section name runs to the line's last "]", as the original reads it: a name holding "]" (a
// user's name may) is found again, and text after the closing "]" is still no part of it.
std::optional<std::wstring_view> sectionName(std::wstring_view line) {
  line = trim(line);
  if (line.empty() || line.front() != L'[') return std::nullopt;
  const size_t close = line.rfind(L']');
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
    const auto name = sectionName(file.lines[i].text);
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
    const Entry entry = entryOf(file.lines[i].text);
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

// The text of a key, or nothing when the section, the key or its "=" is missing. A value ends at
// its first NUL, as a string of the registry does, before it is trimmed and loses its quotes:
// what follows the NUL is not there. Read whole, it could never be written back (writes refuse a
// NUL), and the file could not be saved again.
std::optional<std::wstring> lookUpIn(const IniText& file, std::wstring_view section, std::wstring_view key) {
  const auto range = findSection(file, section);
  const auto line = range ? findKey(file, *range, key) : std::nullopt;
  if (!line) return std::nullopt;
  const Entry entry = entryOf(file.lines[*line].text);
  if (!entry.value) return std::nullopt;
  std::wstring_view value = *entry.value;
  return std::wstring(withoutQuotes(trim(value.substr(0, value.find(L'\0')))));
}

// The same in the file; nothing as well when the file is missing.
std::optional<std::wstring> lookUp(std::wstring_view section, std::wstring_view key, const std::wstring& path) {
  const std::optional<IniText> file = load(path);
  if (!file) return std::nullopt;
  return lookUpIn(*file, section, key);
}

std::wstring valueOrDefault(std::optional<std::wstring> value, std::wstring_view defaultValue) {
  if (value) return std::move(*value);
  while (!defaultValue.empty() && defaultValue.back() == L' ') defaultValue.remove_suffix(1);
  return std::wstring(defaultValue);
}

int numberOrDefault(const std::optional<std::wstring>& value, int defaultValue) {
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

// A line break would start another line of the file, and a NUL ends a name or a value where a
// read stops.
bool breaksLinesOrEnds(std::wstring_view text) {
  return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
}

std::mutex gWriteLock;

// A name or a value that would change other entries of the file (traced; errno EILSEQ).
bool refusedEntry(std::wstring_view section, std::wstring_view key, std::wstring_view value, const std::wstring& path) {
  if (breaksLinesOrEnds(section) || breaksLinesOrEnds(key) || breaksLinesOrEnds(value) ||
      key.find(L'=') != std::wstring_view::npos || trim(key).empty() || trim(key).front() == L'[') {
    traceError("profile: refused to write [%s] %s into %s\n", toUtf8(section).c_str(), toUtf8(key).c_str(),
               toUtf8(path).c_str());
    errno = EILSEQ;
    return true;
  }
  return false;
}

// What a write does to the lines: `lines` in place of the `replaced` lines from `at`.
struct Edit {
  size_t at = 0;
  size_t replaced = 0;
  std::vector<IniLine> lines;
};

// Lines added after a last line without a break give it one: the edit replaces that line too.
Edit breakingTheLineBefore(const IniText& file, Edit edit) {
  if (edit.at == 0 || !file.lines[edit.at - 1].lineBreak.empty()) return edit;
  --edit.at;
  ++edit.replaced;
  IniLine previous = file.lines[edit.at];
  previous.lineBreak = file.lineBreak;
  edit.lines.insert(edit.lines.begin(), std::move(previous));
  return edit;
}

// The edit that sets key=value (names without their surrounding blanks); none when the key holds
// that value already.
std::optional<Edit> editSetting(const IniText& file, std::wstring_view section, std::wstring_view key,
                                std::wstring_view value) {
  const std::wstring line = std::wstring(key) + L"=" + std::wstring(value);
  if (const auto range = findSection(file, section)) {
    if (const auto at = findKey(file, *range, key)) {
      const IniLine& old = file.lines[*at];
      const Entry entry = entryOf(old.text);
      if (entry.value && *entry.value == value) return std::nullopt;
      IniLine changed = file.makeLine(std::wstring(entry.name) + L"=" + std::wstring(value));
      changed.lineBreak = old.lineBreak;
      return Edit{*at, 1, {std::move(changed)}};
    }
    // After the section's last entry, so that blank lines before the next section stay there.
    size_t insertAt = range->first;
    for (size_t i = range->first; i < range->last; ++i)
      if (!trim(file.lines[i].text).empty()) insertAt = i + 1;
    return breakingTheLineBefore(file, Edit{insertAt, 0, {file.makeLineBefore(insertAt, line)}});
  }
  Edit edit{file.lines.size(), 0, {}};
  if (!file.lines.empty() && !trim(file.lines.back().text).empty()) edit.lines.push_back(file.makeLine(L""));
  edit.lines.push_back(file.makeLine(L"[" + std::wstring(section) + L"]"));
  edit.lines.push_back(file.makeLine(line));
  return breakingTheLineBefore(file, std::move(edit));
}

template <class Lines>
Utf8Tally tallyOf(const Lines& lines) {
  Utf8Tally tally;
  for (const IniLine& line : lines) tally = tally + tallyUtf8(line.bytes);
  return tally;
}

// The encoding a reader takes a file without a mark for once the edit is made, its lines then
// counting `tally`.
Encoding unmarkedReadBackAs(const IniText& file, const Edit& edit, const Utf8Tally& tally) {
  // A mark is never split by a line break, which is ASCII: the first line holds any the file starts with.
  const IniLine& first = edit.at == 0 ? edit.lines.front() : file.lines.front();
  if (const std::optional<Encoding> marked = markedEncoding(first.bytes)) return *marked;
  return unmarkedEncoding(tally);
}

// Makes the edit so that the file reads back in the encoding it was read in: a write never
// changes how the rest of the file reads. A UTF-8 file the bytes would no longer tell takes the
// mark, its lines' bytes kept; code page 932 has no mark, so such a file moves to UTF-8 as for a
// value the code page lacks. False, the file as it was, when it cannot.
bool editKeepingTheEncoding(IniText& file, Edit edit) {
  const auto first = file.lines.begin() + static_cast<std::ptrdiff_t>(edit.at);
  const auto last = first + static_cast<std::ptrdiff_t>(edit.replaced);
  const bool unmarked = byteOrderMark(file.encoding).empty();
  const Utf8Tally tally = unmarked ? file.tally - tallyOf(std::span(first, last)) + tallyOf(edit.lines) : Utf8Tally{};
  const Encoding readBack = unmarked ? unmarkedReadBackAs(file, edit, tally) : file.encoding;
  if (readBack != file.encoding && file.encoding == Encoding::Cp932 &&
      !(decodesWhole(std::span(file.lines.begin(), first)) && decodesWhole(edit.lines) &&
        decodesWhole(std::span(last, file.lines.end()))))
    return false;
  const auto at = file.lines.erase(first, last);
  file.lines.insert(at, std::make_move_iterator(edit.lines.begin()), std::make_move_iterator(edit.lines.end()));
  file.tally = tally;
  if (readBack == file.encoding) return true;
  if (file.encoding == Encoding::Utf8)
    file.encoding = Encoding::Utf8Bom;
  else
    moveToUtf8(file);
  return true;
}

enum class Put { refused, unchanged, changed };

// Sets key=value, which refusedEntry accepted, in the file's lines; `path` names the file in
// traces. Refused (errno kUndecodableProfile) with the lines as they were.
Put putEntry(IniText& file, std::wstring_view section, std::wstring_view key, std::wstring_view value,
             const std::wstring& path) {
  // Names are matched and written without their surrounding blanks, as the original does.
  section = trim(section);
  key = trim(key);
  const std::wstring added = std::wstring(section) + std::wstring(key) + L"=" + std::wstring(value);
  if (file.encoding == Encoding::Cp932 && fromCp932(toCp932(added)) != added) {
    // A key that holds its value already changes nothing, the file's encoding neither.
    if (!editSetting(file, section, key, value)) return Put::unchanged;
    if (!moveToUtf8(file)) {
      // Code page 932 cannot hold the text, and moving the file to UTF-8 would lose the bytes
      // that do not decode: the file stays as it is.
      traceError("profile: [%s] %s does not fit the code page of %s\n", toUtf8(section).c_str(),
                 toUtf8(key).c_str(), toUtf8(path).c_str());
      errno = kUndecodableProfile;
      return Put::refused;
    }
  }
  std::optional<Edit> edit = editSetting(file, section, key, value);
  if (!edit) return Put::unchanged;
  if (!editKeepingTheEncoding(file, std::move(*edit))) {
    traceError("profile: [%s] %s would change how the rest of %s reads\n", toUtf8(section).c_str(),
               toUtf8(key).c_str(), toUtf8(path).c_str());
    errno = kUndecodableProfile;
    return Put::refused;
  }
  return Put::changed;
}

// The file's lines, or none for a missing file; nothing when it exists and cannot be read.
std::optional<IniText> loadForWriting(const std::wstring& path) {
  if (!fileExists(path)) return IniText{};
  return load(path);
}

}  // namespace

std::wstring getProfileString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                              const std::wstring& file) {
  return valueOrDefault(lookUp(section, key, file), defaultValue);
}

int getProfileInt(std::wstring_view section, std::wstring_view key, int defaultValue, const std::wstring& file) {
  return numberOrDefault(lookUp(section, key, file), defaultValue);
}

bool writeProfileString(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                        const std::wstring& path) {
  if (refusedEntry(section, key, value, path)) return false;
  std::lock_guard guard(gWriteLock);
  std::optional<IniText> file = loadForWriting(path);
  if (!file) return false;
  switch (putEntry(*file, section, key, value, path)) {
    case Put::refused: return false;
    case Put::unchanged: return true;
    case Put::changed: break;
  }
  return writeFileAtomically(path, encode(*file));
}

struct IniBatch::Lines {
  IniText text;
  bool changed = false;
};

IniBatch::IniBatch(std::wstring path) : path_(std::move(path)) {
  const bool missing = !fileExists(path_);
  if (std::optional<IniText> file = loadForWriting(path_))
    lines_ = std::make_unique<Lines>(Lines{std::move(*file), missing});
  else
    readError_ = errno;
}

IniBatch::~IniBatch() = default;

std::wstring IniBatch::getString(std::wstring_view section, std::wstring_view key,
                                 std::wstring_view defaultValue) const {
  return valueOrDefault(lines_ ? lookUpIn(lines_->text, section, key) : std::nullopt, defaultValue);
}

int IniBatch::getInt(std::wstring_view section, std::wstring_view key, int defaultValue) const {
  return numberOrDefault(lines_ ? lookUpIn(lines_->text, section, key) : std::nullopt, defaultValue);
}

bool IniBatch::hasKey(std::wstring_view section, std::wstring_view key) const {
  return lines_ && lookUpIn(lines_->text, section, key).has_value();
}

bool IniBatch::writeString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  if (!lines_ || refusedEntry(section, key, value, path_)) return false;
  const Put put = putEntry(lines_->text, section, key, value, path_);
  if (put == Put::changed) lines_->changed = true;
  return put != Put::refused;
}

bool IniBatch::commit() {
  if (!lines_) {
    errno = readError_;
    return false;
  }
  if (!lines_->changed) return true;
  std::lock_guard guard(gWriteLock);
  if (!writeFileAtomically(path_, encode(lines_->text))) return false;
  lines_->changed = false;
  return true;
}

}  // namespace platform
