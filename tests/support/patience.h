// How long a test waits for what it checks (a box, a row, a worker's end) before it gives up. A
// test that passes never waits this long: it goes on as soon as the thing is there. So the limit is
// far beyond anything a busy machine makes a step take; one short enough for a slow machine to
// reach would make the test's outcome depend on the machine's speed.
#pragma once

#include <chrono>

namespace testwait {

inline constexpr std::chrono::milliseconds kPatience{60000};
inline constexpr int kPatienceMs = static_cast<int>(kPatience.count());

}  // namespace testwait
