#include "platform/audio/audio_file_player.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace platform {
namespace {

constexpr size_t kChunkFrames = 1024;
// How long the device stays open after a sound for one that follows; then it is left to others
// (a device without a mixer takes one program at a time).
constexpr std::chrono::seconds kKeepDeviceOpen{1};

}  // namespace

void applySoftVolume(int16_t* frames, size_t frameCount, int channels, unsigned left, unsigned right) {
  left = std::min(left, 100u);
  right = std::min(right, 100u);
  if (left == 100 && right == 100) return;
  const size_t samples = frameCount * static_cast<size_t>(channels);
  for (size_t i = 0; i < samples; ++i) {
    const unsigned percent = channels == 1 ? (left + right) / 2 : (i % channels) % 2 == 0 ? left : right;
    frames[i] = static_cast<int16_t>(frames[i] * static_cast<int>(percent) / 100);
  }
}

SoundFilePlayer::SoundFilePlayer(SinkFactory openSink) : openSink_(std::move(openSink)) {}

SoundFilePlayer::~SoundFilePlayer() { free(); }

bool SoundFilePlayer::init() {
  initialised_ = true;
  return true;
}

bool SoundFilePlayer::open(const std::string& utf8Path, SoundFileInfo& info) {
  stopPlaying();
  opened_.reset();
  if (!initialised_) return false;
  opened_ = SoundFileDecoder::open(utf8Path);
  if (!opened_) return false;
  info.format = opened_->format();
  info.frameCount = opened_->frameCount();
  return true;
}

void SoundFilePlayer::setSoftVolume(unsigned left, unsigned right) {
  volumeLeft_ = left;
  volumeRight_ = right;
}

bool SoundFilePlayer::play() {
  if (!opened_) return false;
  stopPlaying();
  std::unique_ptr<AudioSink> sink = takeSink(opened_->format());
  if (!sink) return false;
  stop_ = false;
  const unsigned sound = ++currentSound_;
  thread_ = std::thread(&SoundFilePlayer::run, this, std::move(opened_), std::move(sink), sound);
  return true;
}

void SoundFilePlayer::setCallback(AudioPlayerCallback callback) { callback_ = callback; }

void SoundFilePlayer::free() {
  stopPlaying();
  opened_.reset();
  std::lock_guard lock(sinkMutex_);
  idleSink_.reset();
  initialised_ = false;
}

void SoundFilePlayer::stopPlaying() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(sinkMutex_);
    stop_ = true;
  }
  stopRequested_.notify_all();
  thread_.join();
}

std::unique_ptr<AudioSink> SoundFilePlayer::takeSink(const AudioFormat& format) {
  {
    std::lock_guard lock(sinkMutex_);
    if (idleSink_ && idleSink_->format() == format) return std::move(idleSink_);
    // Only one device handle at a time: a device may refuse a second one.
    idleSink_.reset();
  }
  return openSink_(format);
}

void SoundFilePlayer::run(std::unique_ptr<SoundFileDecoder> decoder, std::unique_ptr<AudioSink> sink,
                          unsigned sound) {
  const int channels = decoder->format().channels;
  std::vector<int16_t> chunk(kChunkFrames * static_cast<size_t>(channels));
  bool healthy = true;
  while (const size_t frames = decoder->read(chunk.data(), kChunkFrames)) {
    applySoftVolume(chunk.data(), frames, channels, volumeLeft_, volumeRight_);
    if (!sink->write(chunk.data(), frames, stop_)) {
      healthy = stop_;
      break;
    }
  }
  if (healthy && !stop_) healthy = sink->drain(stop_) || stop_;
  if (stop_) sink->discard();
  if (healthy) {
    std::lock_guard lock(sinkMutex_);
    idleSink_ = std::move(sink);
  }
  if (stop_) return;
  // A device that failed midway still ends the sound: the queue behind it must go on.
  if (AudioPlayerCallback callback = callback_) callback(AudioEventEnded, sound);

  std::unique_lock lock(sinkMutex_);
  if (!stopRequested_.wait_for(lock, kKeepDeviceOpen, [this] { return stop_.load(); })) idleSink_.reset();
}

AudioPlayer& systemAudioPlayer() {
  static SoundFilePlayer player;
  return player;
}

}  // namespace platform
