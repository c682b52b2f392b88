// The sound-file player the program's sound queue drives: one sound at a time, opened, given a
// volume, started, and reported through a callback when it has been heard to its end.
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio/audio_format.h"

namespace platform {

// What the player learns about the file it opens.
struct SoundFileInfo {
  AudioFormat format;
  int64_t frameCount = 0;
};

// Event codes passed to the callback.
enum AudioPlayerEvent : int {
  AudioEventEnded = 4,  // the sound started last has been heard to its end; data = its sound number
};

// Called on the player's own thread: it must only hand the news on.
using AudioPlayerCallback = void (*)(int event, unsigned data);

class AudioPlayer {
 public:
  virtual ~AudioPlayer() = default;
  // Makes the player usable (again, after free()).
  virtual bool init() = 0;
  // Stops the sound that plays, without an end event, and opens the file. False when it cannot
  // be opened or decoded, or the player is not initialised.
  virtual bool open(const std::string& utf8Path, SoundFileInfo& info) = 0;
  // Percent of full scale per channel (0-100; more is taken as 100). Also changes a sound
  // that plays.
  virtual void setSoftVolume(unsigned left, unsigned right) = 0;
  // Starts the opened file; false when nothing is open.
  virtual bool play() = 0;
  virtual void setCallback(AudioPlayerCallback callback) = 0;
  // Stops and closes everything; no event follows.
  virtual void free() = 0;
  // The number of the sound started last (each play() counts one up). An end event whose number
  // is not this one belongs to a sound that has since been replaced.
  virtual unsigned currentSound() const = 0;
};

// The program's one player, sounding through the system's default device.
AudioPlayer& systemAudioPlayer();

}  // namespace platform
