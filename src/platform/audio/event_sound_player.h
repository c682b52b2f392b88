// Plays the desktop's event sounds ("menu-click", "menu-popup", ...) from its sound theme. Each
// sound is looked up and decoded when it is first asked for, so that a program that never plays
// one pays nothing at start.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/audio_sink.h"

namespace platform {

class EventSoundPlayer {
 public:
  // An empty theme follows the desktop's (desktopSoundTheme, read at the first sound).
  explicit EventSoundPlayer(SinkFactory openSink = openSystemSink, std::string theme = {});

  // Plays the sound to its end. False, and silent, when the theme has no such sound (no other
  // sound stands in for it) or it cannot be decoded or played.
  bool play(const std::string& eventId);

 private:
  struct Sound {
    AudioFormat format;
    std::vector<int16_t> samples;  // empty: the theme has none
  };
  const Sound& load(const std::string& eventId);

  SinkFactory openSink_;
  std::string theme_;
  std::mutex lock_;
  std::map<std::string, Sound> sounds_;
};

}  // namespace platform
