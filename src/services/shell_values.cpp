#include "services/shell_values.h"

#include <utility>

#include "platform/random.h"

int RandomRange(int lo, int hi) {
  if (hi < lo) std::swap(lo, hi);
  const int64_t span = int64_t{hi} - lo + 1;
  return static_cast<int>(lo + platform::randomValue() % span);
}

uint32_t RateToColor(double rate) {
  if (!(rate >= 0.3)) return 0x0000FF;  // a rate that is not a number counts as the lowest
  if (rate > 0.8) return 0xFF0000;
  const double t = (rate - 0.3) * 2;
  const auto red = static_cast<uint32_t>(255 - 255 * t);
  const auto blue = static_cast<uint32_t>(255 * t);
  const auto green = static_cast<uint32_t>(t <= 0.5 ? 300 * t : 150 - (t - 0.5) * 300);
  return red | green << 8 | blue << 16;
}
