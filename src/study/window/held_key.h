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
  // A press this soon after a release continues the same hold. The X server makes a repeat's
  // release and press at one moment and stamps both with that time, or a millisecond apart when
  // its clock ticks between the two. Any wider and a quick second press of a key let up would
  // be taken for the hold: a press stamped later than this is a new one.
  static constexpr uint64_t kRepeatGapMs = 1;

  // Follows a release of the key. True when the key is surely up: one without a timestamp cannot
  // be paired with the press that may follow, and the toolkit's flag decides.
  bool release(const QKeyEvent& key);
  // Follows a press of the key. True when it continues a hold, false for a fresh press.
  // The same event seen again (by a widget and then its parent) gives the same answer.
  bool press(const QKeyEvent& key);
  // Pressed, and no release without a timestamp seen since. A release with a timestamp never says
  // the key is up: only the next press tells whether it went on the hold. So where the window
  // system stamps its events this stays true from the first press on, and only a new press lets
  // the key count as let go.
  bool notSurelyReleased() const { return down_; }

 private:
  bool down_ = false;
  uint64_t lastRelease_ = 0;  // the timestamp of the last release; 0: none that a press may continue
};

}  // namespace study
