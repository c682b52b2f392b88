// Sums and differences of 32-bit fields that stop at the field's limits: counts and ranks read
// from a damaged file or sent by a server may hold any value, and wrapping round would turn a
// huge count into a negative one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform {

constexpr int32_t clampToInt32(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

constexpr int32_t addWithinInt32(int32_t a, int32_t b) { return clampToInt32(int64_t{a} + b); }

constexpr int32_t subtractWithinInt32(int32_t a, int32_t b) { return clampToInt32(int64_t{a} - b); }

}  // namespace platform
