// Texts on a ground of the program's own (a window that paints its own colour, a picture), and
// pairs of a text and its ground that must stand out from each other whatever colours they start
// from.
#pragma once

#include "platform/drawing/gdi_types.h"

namespace platform {

// Black on a light ground, white on a dark one: whichever stands out more from `ground`.
COLORREF plainTextOn(COLORREF ground);

// `colour`, or the nearest shade of its hue, away from `other`, that stands out from `other` by
// `ratio` (or as far as a shade can: white or black).
COLORREF shadeStandingOut(COLORREF colour, COLORREF other, double ratio);

}  // namespace platform
