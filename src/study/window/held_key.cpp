#include "study/window/held_key.h"

#include <QKeyEvent>

namespace study {

bool HeldKey::release(const QKeyEvent& key) {
  lastRelease_ = key.timestamp();
  if (key.isAutoRepeat() || lastRelease_ != 0) return false;
  down_ = false;
  return true;
}

bool HeldKey::press(const QKeyEvent& key) {
  const bool wasDown = down_;
  down_ = true;
  if (key.isAutoRepeat()) return true;
  const uint64_t at = key.timestamp();
  return wasDown && lastRelease_ != 0 && at >= lastRelease_ && at - lastRelease_ <= kRepeatGapMs;
}

}  // namespace study
