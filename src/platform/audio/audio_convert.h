// Turns a mono 16-bit stream into another PCM format (rate, channels, sample size), chunk by
// chunk, as a synthesiser hands its samples over.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio/audio_format.h"

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
  int64_t inputRate_;
  // Output sample k lies at input position k x inputRate / outputRate; counted in whole numbers
  // so that chunk boundaries cannot shift it.
  int64_t produced_ = 0;
  int64_t consumed_ = 0;
  int16_t previous_ = 0;
};

}  // namespace platform
