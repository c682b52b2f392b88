#include "platform/audio/event_sound_player.h"

#include "platform/audio/audio_decoder.h"
#include "platform/audio/sound_theme.h"

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
// Event sounds are short; a longer file is cut here rather than read into memory whole. Seconds
// alone do not bound it: a small file may claim many channels at a high rate.
constexpr int kMaxSeconds = 10;
constexpr size_t kMaxSamples = size_t{48000} * 2 * kMaxSeconds;
}  // namespace

EventSoundPlayer::EventSoundPlayer(SinkFactory openSink, std::string theme)
    : openSink_(std::move(openSink)), theme_(std::move(theme)) {}

const EventSoundPlayer::Sound& EventSoundPlayer::load(const std::string& eventId) {
  if (const auto known = sounds_.find(eventId); known != sounds_.end()) return known->second;
  if (theme_.empty()) theme_ = desktopSoundTheme();
  Sound sound;
  const std::string path = findThemeSound(eventId, theme_);
  if (auto decoder = path.empty() ? nullptr : SoundFileDecoder::open(path)) {
    sound.format = decoder->format();
    const size_t channels = static_cast<size_t>(sound.format.channels);
    const size_t limit =
        std::min(static_cast<size_t>(sound.format.sampleRate) * kMaxSeconds, kMaxSamples / std::max<size_t>(channels, 1));
    std::vector<int16_t> block(4096 * channels);
    size_t frames = 0;
    while (frames < limit) {
      const size_t read = decoder->read(block.data(), std::min<size_t>(4096, limit - frames));
      if (read == 0) break;
      sound.samples.insert(sound.samples.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(read * channels));
      frames += read;
    }
  }
  return sounds_.emplace(eventId, std::move(sound)).first->second;
}

bool EventSoundPlayer::play(const std::string& eventId) {
  std::lock_guard hold(lock_);
  const Sound& sound = load(eventId);
  if (sound.samples.empty() || !openSink_) return false;
  const std::unique_ptr<AudioSink> sink = openSink_(sound.format);
  if (!sink) return false;
  const std::atomic<bool> stop{false};
  const size_t frames = sound.samples.size() / static_cast<size_t>(sound.format.channels);
  return sink->write(sound.samples.data(), frames, stop) && sink->drain(stop);
}

}  // namespace platform
