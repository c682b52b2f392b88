// The program's clocks, replaceable so that tests can set the time.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Wall-clock time: whole seconds since 1970.
int64_t nowSeconds();
// A monotonic millisecond tick count (the study window's timings).
int64_t tickCountMs();

// Replaces a clock until the returned guard is destroyed (tests only).
class ClockOverride {
 public:
  ClockOverride(std::function<int64_t()> seconds, std::function<int64_t()> ticks = {});
  ~ClockOverride();
  ClockOverride(const ClockOverride&) = delete;
  ClockOverride& operator=(const ClockOverride&) = delete;
};

}  // namespace platform
