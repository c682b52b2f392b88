#include "platform/audio_convert.h"

#include <cmath>
#include <cstring>

namespace platform {

MonoStreamConverter::MonoStreamConverter(int inputRate, const AudioFormat& output)
    : output_(output), step_(static_cast<double>(inputRate) / output.sampleRate) {}

void MonoStreamConverter::convert(const int16_t* samples, size_t count, std::vector<uint8_t>& out) {
  if (count == 0) return;
  const double last = static_cast<double>(count - 1);
  auto at = [&](long index) { return index < 0 ? previous_ : samples[index]; };
  for (; position_ <= last; position_ += step_) {
    const long index = static_cast<long>(std::floor(position_));
    const double fraction = position_ - static_cast<double>(index);
    const double value = index + 1 > static_cast<long>(last)
                             ? at(index)
                             : at(index) * (1.0 - fraction) + at(index + 1) * fraction;
    emit(static_cast<int16_t>(std::lround(value)), out);
  }
  position_ -= static_cast<double>(count);
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
