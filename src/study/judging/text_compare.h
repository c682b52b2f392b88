// Text comparisons of the judging rules: lengths count UTF-16 units, case folding follows the
// C library's wide-character rules for the current locale.
#pragma once

#include <string>

namespace study {

std::wstring lowerCased(const std::wstring& text);
bool equalNoCase(const std::wstring& a, const std::wstring& b);
int utf16Length(const std::wstring& text);

}  // namespace study

#include <vector>

namespace study {

std::wstring joinTexts(const std::vector<std::wstring>& texts, const wchar_t* separator);

}  // namespace study
