// Where decoded sound goes: the system's default output device, or a silent stand-in that keeps
// real time when no device can be opened (a headless machine), so that end-of-sound still arrives
// when it would have been heard.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/audio/audio_format.h"

namespace platform {

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  virtual const AudioFormat& format() const = 0;
  // Hands frames to the output, blocking while the output is full. Returns false when `stop`
  // was raised meanwhile or the device failed; the frames may then be partly written.
  virtual bool write(const void* frames, size_t frameCount, const std::atomic<bool>& stop) = 0;
  // Blocks until everything written has been heard (or `stop` is raised: false).
  virtual bool drain(const std::atomic<bool>& stop) = 0;
  // Throws away whatever is still waiting to be heard; the sink can be written again afterwards.
  virtual void discard() = 0;
  // Whether what is written is heard: false for the stand-in of a machine without a device.
  virtual bool audible() const { return true; }
};

using SinkFactory = std::function<std::unique_ptr<AudioSink>(const AudioFormat&)>;

// The default ALSA device, or null when it cannot be opened in this format.
std::unique_ptr<AudioSink> openAlsaSink(const AudioFormat& format);
// Plays nothing, in real time.
std::unique_ptr<AudioSink> openNullSink(const AudioFormat& format);
// The device when there is one, else the null sink: never null for a valid format.
std::unique_ptr<AudioSink> openSystemSink(const AudioFormat& format);

}  // namespace platform
