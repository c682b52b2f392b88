#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void appendUtf8(std::string& out, char32_t c) {
  if (!isScalar(c)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[pos]; advances pos. Returns false for a malformed one
// (pos then advances by one byte, so decoding resynchronises on the next byte).
bool decodeUtf8(std::string_view text, size_t& pos, char32_t& out) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int extra;
  char32_t c;
  if (lead < 0x80) { out = lead; ++pos; return true; }
  if (lead >= 0xC2 && lead <= 0xDF) { extra = 1; c = lead & 0x1F; }
  else if (lead >= 0xE0 && lead <= 0xEF) { extra = 2; c = lead & 0x0F; }
  else if (lead >= 0xF0 && lead <= 0xF4) { extra = 3; c = lead & 0x07; }
  else { ++pos; return false; }
  if (pos + extra >= text.size()) { ++pos; return false; }
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) { ++pos; return false; }
    c = (c << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[extra] || !isScalar(c)) { ++pos; return false; }
  pos += extra + 1;
  out = c;
  return true;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Iconv() { iconv_close(handle_); }
  // Forgets a sequence left half-converted by a failure.
  void reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts as much as possible; returns false at an invalid or unconvertible sequence,
  // leaving in/inLeft at it.
  bool convert(char*& in, size_t& inLeft, std::string& out) {
    char buffer[1024];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      const size_t result = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, outPtr - buffer);
      if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t handle_;
};

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  size_t pos = 0;
  char32_t c;
  while (pos < bytes.size())
    if (!decodeUtf8(bytes, pos, c)) return false;
  return true;
}

Utf8Tally tallyUtf8(std::string_view bytes) {
  Utf8Tally tally;
  size_t pos = 0;
  char32_t c;
  while (pos < bytes.size()) {
    if (!decodeUtf8(bytes, pos, c))
      ++tally.strayBytes;
    else if (c >= 0x80)
      ++tally.multiByteCharacters;
  }
  return tally;
}

std::string toUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) appendUtf8(out, static_cast<char32_t>(c));
  return out;
}

std::wstring fromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c;
    out += static_cast<wchar_t>(decodeUtf8(text, pos, c) ? c : kReplacement);
  }
  return out;
}

std::u16string toUtf16(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (wchar_t w : text) {
    char32_t c = static_cast<char32_t>(w);
    if (!isScalar(c)) c = kReplacement;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 | (c >> 10));
      out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
  }
  return out;
}

std::wstring fromUtf16(std::u16string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out += static_cast<wchar_t>(kReplacement);
    } else {
      out += static_cast<wchar_t>(u);
    }
  }
  return out;
}

std::string toCp932(std::wstring_view text) {
  // Opening a converter costs more than converting a line: exports and display widths convert
  // thousands of short texts, so each thread keeps one.
  thread_local Iconv converter("CP932", "UTF-8");
  converter.reset();
  std::string out;
  out.reserve(text.size() * 2);
  // Character by character, so that one character the code page lacks costs only itself.
  for (wchar_t c : text) {
    if (static_cast<uint32_t>(c) < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    std::string utf8 = toUtf8(std::wstring_view(&c, 1));
    char* in = utf8.data();
    size_t inLeft = utf8.size();
    if (!converter.convert(in, inLeft, out)) {
      out += '?';
      converter.reset();
    }
  }
  return out;
}

std::wstring fromCp932(std::string_view text) {
  Iconv converter("UTF-8", "CP932");
  std::string utf8;
  std::string input(text);
  char* in = input.data();
  size_t inLeft = input.size();
  while (!converter.convert(in, inLeft, utf8)) {
    appendUtf8(utf8, kReplacement);
    ++in;
    --inLeft;
  }
  return fromUtf8(utf8);
}

}  // namespace platform
