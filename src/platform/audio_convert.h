// Turns a mono 16-bit stream into another PCM format (rate, channels, sample size), chunk by
// chunk, as a synthesiser hands its samples over.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio_format.h"

namespace platform {

class MonoStreamConverter {
 public:
  MonoStreamConverter(int inputRate, const AudioFormat& output);
  // Appends the converted frames of the next chunk to `out`; chunks join without a seam.
  void convert(const int16_t* samples, size_t count, std::vector<uint8_t>& out);
  const AudioFormat& output() const { return output_; }

 private:
  void emit(int16_t sample, std::vector<uint8_t>& out) const;

  AudioFormat output_;
  double step_;
  // Where the next output sample lies, counted from the current chunk's first sample; -1 up to 0
  // lies between the previous chunk's last sample and this chunk's first.
  double position_ = 0.0;
  int16_t previous_ = 0;
};

}  // namespace platform
