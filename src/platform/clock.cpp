#include "platform/clock.h"

#include <chrono>
#include <mutex>

namespace platform {
namespace {

std::mutex gLock;
std::function<int64_t()> gSeconds;
std::function<int64_t()> gTicks;

}  // namespace

int64_t nowSeconds() {
  {
    std::lock_guard guard(gLock);
    if (gSeconds) return gSeconds();
  }
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

int64_t tickCountMs() {
  {
    std::lock_guard guard(gLock);
    if (gTicks) return gTicks();
  }
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

ClockOverride::ClockOverride(std::function<int64_t()> seconds, std::function<int64_t()> ticks) {
  std::lock_guard guard(gLock);
  gSeconds = std::move(seconds);
  gTicks = std::move(ticks);
}

ClockOverride::~ClockOverride() {
  std::lock_guard guard(gLock);
  gSeconds = nullptr;
  gTicks = nullptr;
}

}  // namespace platform
