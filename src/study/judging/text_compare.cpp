#include "study/judging/text_compare.h"

#include <cwctype>

namespace study {

std::wstring lowerCased(const std::wstring& text) {
  std::wstring result(text);
  for (auto& c : result) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return result;
}

bool equalNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

int utf16Length(const std::wstring& text) {
  int length = 0;
  for (wchar_t c : text) length += static_cast<unsigned long>(c) > 0xFFFF ? 2 : 1;
  return length;
}

}  // namespace study

namespace study {

std::wstring joinTexts(const std::vector<std::wstring>& texts, const wchar_t* separator) {
  std::wstring result;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) result += separator;
    result += texts[i];
  }
  return result;
}

}  // namespace study
