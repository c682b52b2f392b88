// Numbers the shell derives for display and selection.
#pragma once

#include <cstdint>

// A random number from lo to hi inclusive, drawn from the program's C-library random source.
// The bounds may come in either order.
int RandomRange(int lo, int hi);

// The colour (0x00BBGGRR) of a correct rate from 0 to 1: red below 0.3, blue above 0.8, and in
// between a ramp from red through green to blue.
uint32_t RateToColor(double rate);
