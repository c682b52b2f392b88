#include <chrono>
#include <thread>

#include "platform/audio/audio_sink.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Like a device, the null sink accepts a little ahead of what is being heard, so that the time a
// writer spends between writes does not add up to drift.
constexpr std::chrono::milliseconds kBufferAhead{40};
// How often a waiting write looks at its stop flag.
constexpr std::chrono::milliseconds kStopPoll{5};

class NullSink : public AudioSink {
 public:
  explicit NullSink(const AudioFormat& format) : format_(format) {}

  const AudioFormat& format() const override { return format_; }

  bool write(const void*, size_t frameCount, const std::atomic<bool>& stop) override {
    const Clock::time_point now = Clock::now();
    // After an idle spell (an underrun on a real device) hearing resumes from now.
    if (heardUntil_ < now) heardUntil_ = now;
    heardUntil_ += std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(frameCount) / format_.sampleRate));
    return waitUntil(heardUntil_ - kBufferAhead, stop);
  }

  bool drain(const std::atomic<bool>& stop) override { return waitUntil(heardUntil_, stop); }

  void discard() override { heardUntil_ = Clock::now(); }

  bool audible() const override { return false; }

 private:
  static bool waitUntil(Clock::time_point deadline, const std::atomic<bool>& stop) {
    for (;;) {
      if (stop) return false;
      const Clock::time_point now = Clock::now();
      if (now >= deadline) return true;
      std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kStopPoll));
    }
  }

  AudioFormat format_;
  Clock::time_point heardUntil_ = Clock::now();
};

}  // namespace

std::unique_ptr<AudioSink> openNullSink(const AudioFormat& format) {
  if (format.sampleRate <= 0 || format.channels <= 0) return nullptr;
  return std::make_unique<NullSink>(format);
}

std::unique_ptr<AudioSink> openSystemSink(const AudioFormat& format) {
  if (std::unique_ptr<AudioSink> device = openAlsaSink(format)) return device;
  return openNullSink(format);
}

}  // namespace platform
