#include "platform/audio/audio_convert.h"

#include <cmath>
#include <cstring>

namespace platform {

MonoStreamConverter::MonoStreamConverter(int inputRate, const AudioFormat& output)
    : output_(output), inputRate_(inputRate) {}

void MonoStreamConverter::convert(const int16_t* samples, size_t count, std::vector<uint8_t>& out) {
  if (count == 0) return;
  const int64_t outputRate = output_.sampleRate;
  const auto last = static_cast<int64_t>(count) - 1;
  // Index -1 is the previous chunk's last sample.
  auto at = [&](int64_t index) -> double { return index < 0 ? previous_ : samples[index]; };
  for (;;) {
    // The next output sample's position relative to this chunk, as a fraction of outputRate.
    const int64_t position = produced_ * inputRate_ - consumed_ * outputRate;
    if (position > last * outputRate) break;
    const int64_t index = position >= 0 ? position / outputRate : -1;
    const double fraction = static_cast<double>(position - index * outputRate) / static_cast<double>(outputRate);
    const double value = index >= last ? at(index) : at(index) * (1.0 - fraction) + at(index + 1) * fraction;
    emit(static_cast<int16_t>(std::lround(value)), out);
    ++produced_;
  }
  consumed_ += static_cast<int64_t>(count);
  previous_ = samples[count - 1];
}

void MonoStreamConverter::emit(int16_t sample, std::vector<uint8_t>& out) const {
  for (int channel = 0; channel < output_.channels; ++channel) {
    if (output_.bitsPerSample == 8) {
      out.push_back(static_cast<uint8_t>((sample >> 8) + 128));
    } else {
      // In the machine's own byte order, as the output takes 16-bit samples.
      uint8_t bytes[sizeof sample];
      std::memcpy(bytes, &sample, sizeof sample);
      out.insert(out.end(), bytes, bytes + sizeof sample);
    }
  }
}

}  // namespace platform
