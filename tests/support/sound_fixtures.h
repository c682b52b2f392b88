// Sound files made at run time for the tests that decode through the real decoder.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsound {

constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;

// Interleaved frames of a 440 Hz tone, the same on every channel.
inline std::vector<int16_t> tone(int rate, int channels, double seconds) {
  std::vector<int16_t> samples;
  for (auto i = 0; i < static_cast<int>(rate * seconds); ++i)
    samples.insert(samples.end(), channels, static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate)));
  return samples;
}

inline bool writeSound(const std::string& path, int format, int rate, int channels, const std::vector<int16_t>& samples) {
  SF_INFO info{0, rate, channels, format, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
  const bool written = sf_writef_short(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

// A freedesktop sound theme under the data folder `dataDir`: "sounds/<theme>/index.theme" naming
// one stereo folder and the inherited themes; returns that folder, where the sounds go.
inline std::string writeSoundTheme(const std::string& dataDir, const std::string& theme,
                                   const std::string& inherits = {}) {
  const std::filesystem::path folder = std::filesystem::path(dataDir) / "sounds" / theme;
  std::filesystem::create_directories(folder / "stereo");
  std::ofstream index(folder / "index.theme");
  index << "[Sound Theme]\nName=" << theme << "\n";
  if (!inherits.empty()) index << "Inherits=" << inherits << "\n";
  index << "Directories=stereo\n\n[stereo]\nOutputProfile=stereo\n";
  return (folder / "stereo").string();
}

}  // namespace testsound
