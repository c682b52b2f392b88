// Bringing the files of an older installation up to date, through the sibling library KlvLib,
// before the first user is registered.
#pragma once

// True when the library ran and reported success (0 or 1); a missing library or function is told
// in a box and gives false.
bool CallUpdateOldFiles();
