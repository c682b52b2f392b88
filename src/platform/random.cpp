#include "platform/random.h"

#include <cstdlib>

namespace platform {

void seedRandom(unsigned seed) { std::srand(seed); }

int randomValue() { return std::rand(); }

}  // namespace platform
