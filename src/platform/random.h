// The C library's random source, the one the program's selections and shuffles draw from,
// so that a seeded run reproduces its order.
#pragma once

namespace platform {

void seedRandom(unsigned seed);
// A value from 0 to RAND_MAX, as rand() gives it.
int randomValue();

}  // namespace platform
