// Whether a key is still held down, told from its presses and releases as the window system
// delivers them. X sends a held key as release and press pairs that share one timestamp, and the
// toolkit flags only some of those pairs as repeats: a release lets the key go only when no press
// of the key follows it at once.
#pragma once

#include <cstdint>

class QKeyEvent;

namespace study {

class HeldKey {
 public:
  // A press this soon after a release continues the same hold.
  static constexpr uint64_t kRepeatGapMs = 50;

  // Follows a release of the key. True when the key is surely up: one without a timestamp cannot
  // be paired with the press that may follow, and the toolkit's flag decides.
  bool release(const QKeyEvent& key);
  // Follows a press of the key. True when it continues a hold, false for a fresh press.
  // The same event seen again (by a widget and then its parent) gives the same answer.
  bool press(const QKeyEvent& key);
  // Pressed, and not surely let go since.
  bool mayBeDown() const { return down_; }

 private:
  bool down_ = false;
  uint64_t lastRelease_ = 0;  // the timestamp of the last release; 0: none that a press may continue
};

}  // namespace study
