// The shape of a PCM stream: what a sound file decodes to and what an output device is opened with.
#pragma once

#include <cstddef>

namespace platform {

// Samples are interleaved; 16-bit samples are signed, 8-bit samples unsigned (as sound devices
// take them).
struct AudioFormat {
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 16;

  size_t bytesPerFrame() const { return static_cast<size_t>(channels) * (bitsPerSample / 8); }
  bool operator==(const AudioFormat&) const = default;
};

}  // namespace platform
