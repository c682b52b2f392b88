// The system colours as a desktop's palette gives them. A desktop theme hands the toolkit its
// palette; without one (no theme, as offscreen) the application's palette is the style's stock
// one, and the classic table goes on answering.
#pragma once

#include "platform/drawing/system_metrics.h"

#include <array>
#include <optional>

class QPalette;

namespace platform {

using SysColourTable = std::array<COLORREF, SysColorCount>;

// Each system colour the palette has a role for, taken from its active colours (the grey text
// from its disabled text); the others as `others` has them.
SysColourTable coloursFromPalette(const QPalette& palette, const SysColourTable& others);

// The application's palette when it is not the style's stock one; nullopt when it is, and
// without a widget application.
std::optional<QPalette> desktopPalette();

}  // namespace platform
