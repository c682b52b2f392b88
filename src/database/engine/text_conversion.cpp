#include "database/engine/text_conversion.h"

#include "platform/text.h"

namespace sqliteplus {

std::wstring Utf8ToWString(const char* text) { return text ? platform::fromUtf8(text) : std::wstring(); }
std::wstring Utf8ToWString(std::string_view text) { return platform::fromUtf8(text); }
std::wstring AcpToWString(const char* text) { return Utf8ToWString(text); }
std::string WStringToAcp(const wchar_t* text) { return WStringToUtf8(text); }
std::string WStringToAcp(std::wstring_view text) { return platform::toUtf8(text); }
std::string WStringToUtf8(const wchar_t* text) { return text ? platform::toUtf8(text) : std::string(); }
std::string WStringToUtf8(std::wstring_view text) { return platform::toUtf8(text); }
std::wstring WCharToWString(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }
std::wstring WStringToWString(const std::wstring& text) { return text; }

}  // namespace sqliteplus
