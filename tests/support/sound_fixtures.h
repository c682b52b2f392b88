// Sound files made at run time for the tests that decode through the real decoder.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace testsound {

constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;

// Interleaved frames of a sine tone, the same on every channel.
inline std::vector<int16_t> tone(int rate, int channels, double seconds, double amplitude = 8000.0) {
  const auto frames = static_cast<size_t>(rate * seconds);
  std::vector<int16_t> samples;
  samples.reserve(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    const auto value = static_cast<int16_t>(amplitude * std::sin(2.0 * M_PI * 440.0 * i / rate));
    for (int c = 0; c < channels; ++c) samples.push_back(value);
  }
  return samples;
}

inline bool writeSound(const std::string& path, int format, int rate, int channels,
                       const std::vector<int16_t>& samples) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
  const bool written = sf_writef_short(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

}  // namespace testsound
