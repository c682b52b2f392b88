// Who the program is: its version as the title bar, the About box and the maker's site are told
// it, and the maker's home page.
#pragma once

#include <string>

inline constexpr wchar_t kProgramVersion[] = L"7.1.5";

// The maker's web address, a setting of the build (KELVARA_MAKER_URL); empty when the build names
// none, and then nothing offers to open it.
std::wstring makerAddress();
