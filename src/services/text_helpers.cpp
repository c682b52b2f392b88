#include "services/text_helpers.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cwchar>
#include <new>

#include "database/engine/sql_helpers.h"
#include "platform/trace.h"

bool formatString(std::wstring& out, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = true;
  try {
    out = platform::formatv(format, args);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  va_end(args);
  return ok;
}

std::wstring escapeSqlQuotes(const std::wstring& text) { return pdb3::escapeSqlQuotesTo(text); }

int leadingNumber(const std::wstring& text) {
  const long number = std::wcstol(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
}

bool SplitBracketed(const std::wstring& text, std::vector<std::wstring>& fields, const std::wstring& pairs) {
  if (pairs.size() % 2 != 0) return false;
  fields.clear();
  size_t fieldStart = 0;
  size_t at = 0;
  while (at < text.size()) {
    const size_t pair = pairs.find(text[at]);
    if (pair != std::wstring::npos && pair % 2 == 0) {
      const size_t close = text.find(pairs[pair + 1], at + 1);
      if (close == std::wstring::npos) return false;
      at = close + 1;
    } else if (text[at] == L',') {
      fields.push_back(text.substr(fieldStart, at - fieldStart));
      fieldStart = ++at;  // once past the comma: the next character may separate or open a span
    } else {
      ++at;
    }
  }
  fields.push_back(text.substr(fieldStart));
  return true;
}
