// Colours that carry a meaning (a correct count in blue, a mistake in red, a level's colour) keep
// it on whatever face the desktop gives: where such a colour would fade into a dark face, a shade
// of the same hue that stands out takes its place. On the classic faces nothing changes.
#pragma once

#include "platform/drawing/gdi_types.h"

namespace platform {

// The relative luminance of a colour, 0 for black to 1 for white.
double relativeLuminance(COLORREF colour);

// How far two colours stand apart, from 1 (the same) to 21 (black and white).
double contrastRatio(COLORREF a, COLORREF b);

// Black on a light ground, white on a dark one: whichever stands out more from `ground`. For texts
// on a ground of the program's own (a window that paints its own colour, a picture).
COLORREF plainTextOn(COLORREF ground);

// `colour`, or the nearest shade of its hue, away from `other`, that stands out from `other` by
// `ratio` (or as far as a shade can: white or black).
COLORREF shadeStandingOut(COLORREF colour, COLORREF other, double ratio);

// The least ratio a text or a mark needs against what lies under it.
inline constexpr double kReadableContrast = 3.0;

// What a shade computed on a palette's colour aims at: the style paints group boxes, frames and
// buttons a shade off the palette's colours, so a text that stood out by the least on the
// palette's colour could fall short of it on the ground as drawn.
inline constexpr double kReadableShadeContrast = 3.2;

// How far a desktop's own pairs (the grey of disabled text on the window, the selection's text
// on the selection) are made to stand out: the style paints buttons and selections in shades well
// off the palette's colours, and these pairs are drawn on every window.
inline constexpr double kDesktopPairContrast = 4.5;

// The classic system colour table's colour `sysColorIndex`: what the program's colours were
// chosen on.
COLORREF classicSysColor(int sysColorIndex);

// `colour` as it is where `under` is `classicUnder` (the colours were chosen for the classic
// look); on any other ground the nearest shade of its hue that stands out from `under` by
// kReadableShadeContrast (or as far as a shade can: white or black).
COLORREF readableOn(COLORREF colour, COLORREF under, COLORREF classicUnder);

// The same over a system colour: `under` as the desktop gives it now, measured against the
// classic table's.
COLORREF readableOnSysColor(COLORREF colour, int sysColorIndex);

}  // namespace platform
