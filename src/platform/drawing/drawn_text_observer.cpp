#include "platform/drawing/drawn_text_observer.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<DrawnTextObserver*> current{nullptr};

}  // namespace

DrawnTextObserver* drawnTextObserver() { return current.load(std::memory_order_relaxed); }

DrawnTextWatch::DrawnTextWatch(DrawnTextObserver& observer) : previous_(current.exchange(&observer)) {}

DrawnTextWatch::~DrawnTextWatch() { current.store(previous_); }

}  // namespace platform
