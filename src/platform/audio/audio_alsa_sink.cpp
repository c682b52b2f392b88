#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/audio/audio_sink.h"
#include "platform/trace.h"

namespace platform {
namespace {

// Latency the device is asked for: short enough that a stop is heard at once.
constexpr unsigned kLatencyMicroseconds = 100000;
constexpr int kWaitMilliseconds = 10;

// ALSA reports a missing card on stderr in several lines; a headless machine is normal here.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

class AlsaSink : public AudioSink {
 public:
  AlsaSink(snd_pcm_t* pcm, const AudioFormat& format) : pcm_(pcm), format_(format) {}
  ~AlsaSink() override {
    snd_pcm_drop(pcm_);
    snd_pcm_close(pcm_);
  }

  const AudioFormat& format() const override { return format_; }

  bool write(const void* frames, size_t frameCount, const std::atomic<bool>& stop) override {
    const auto* bytes = static_cast<const uint8_t*>(frames);
    while (frameCount > 0) {
      if (stop) return false;
      const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, bytes, frameCount);
      if (written == -EAGAIN) {
        snd_pcm_wait(pcm_, kWaitMilliseconds);
        continue;
      }
      if (written < 0) {
        if (snd_pcm_recover(pcm_, static_cast<int>(written), 1) < 0) {
          traceError("audio: device write failed: %s\n", snd_strerror(static_cast<int>(written)));
          return false;
        }
        continue;
      }
      bytes += static_cast<size_t>(written) * format_.bytesPerFrame();
      frameCount -= static_cast<size_t>(written);
    }
    return true;
  }

  bool drain(const std::atomic<bool>& stop) override {
    // A sound shorter than the device buffer never reached the start threshold.
    if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED) snd_pcm_start(pcm_);
    for (;;) {
      if (stop) return false;
      if (snd_pcm_state(pcm_) != SND_PCM_STATE_RUNNING) break;
      snd_pcm_sframes_t delay = 0;
      if (snd_pcm_delay(pcm_, &delay) < 0 || delay <= 0) break;
      const long remainingMs = static_cast<long>(delay) * 1000 / format_.sampleRate;
      std::this_thread::sleep_for(std::chrono::milliseconds(std::clamp<long>(remainingMs, 1, kWaitMilliseconds)));
    }
    discard();
    return true;
  }

  void discard() override {
    snd_pcm_drop(pcm_);
    snd_pcm_prepare(pcm_);
  }

 private:
  snd_pcm_t* pcm_;
  AudioFormat format_;
};

}  // namespace

std::unique_ptr<AudioSink> openAlsaSink(const AudioFormat& format) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(quietAlsaErrors); });
  if (format.sampleRate <= 0 || format.channels <= 0) return nullptr;
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return nullptr;

  snd_pcm_t* pcm = nullptr;
  // Non-blocking, so that a device held by another program fails the open instead of hanging it.
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
  const snd_pcm_format_t sampleFormat = format.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16;
  const int result = snd_pcm_set_params(pcm, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED,
                                        static_cast<unsigned>(format.channels),
                                        static_cast<unsigned>(format.sampleRate), 1, kLatencyMicroseconds);
  if (result < 0) {
    trace("audio: the output device refuses %d Hz, %d channels: %s\n", format.sampleRate, format.channels,
          snd_strerror(result));
    snd_pcm_close(pcm);
    return nullptr;
  }
  return std::make_unique<AlsaSink>(pcm, format);
}

}  // namespace platform
