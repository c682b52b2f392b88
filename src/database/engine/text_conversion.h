// Text at the engine boundary. The engine speaks UTF-8; on this platform the "ANSI" code page of
// file names and exception messages is UTF-8 as well. A null input gives an empty string.
#pragma once

#include <string>
#include <string_view>

namespace sqliteplus {

std::wstring Utf8ToWString(const char* text);
std::wstring Utf8ToWString(std::string_view text);
std::wstring AcpToWString(const char* text);
std::string WStringToAcp(const wchar_t* text);
std::string WStringToAcp(std::wstring_view text);
std::string WStringToUtf8(const wchar_t* text);
std::string WStringToUtf8(std::wstring_view text);
std::wstring WCharToWString(const wchar_t* text);
std::wstring WStringToWString(const std::wstring& text);

}  // namespace sqliteplus
