// The fixed system palette of a 256-colour display: the twenty static colours, a 6x6x6 colour
// cube, then greys to 256 entries.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <array>

const std::array<platform::COLORREF, 256>& systemPalette();
// The entry of the system palette closest to the colour.
platform::COLORREF nearestSystemPaletteColor(platform::COLORREF color);
// The colour as the display shows it: a 256-colour display has only its palette's entries.
platform::COLORREF displayedColor(platform::COLORREF color);
