// What a page shows for a figure it could not read: "-", never 0 or -1.
#pragma once

#include <string>

inline constexpr wchar_t kUnknown[] = L"-";

// The figure as text; a negative one is a figure that could not be read.
inline std::wstring figureOrUnknown(int figure) { return figure < 0 ? std::wstring(kUnknown) : std::to_wstring(figure); }
