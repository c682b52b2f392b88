// An output sink that keeps what it is given, so tests can see what would have been heard.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio_sink.h"

struct SinkRecord {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<platform::AudioFormat> opened;
  std::vector<uint8_t> bytes;
  int drains = 0;
  int discards = 0;

  template <typename Predicate>
  bool waitFor(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return done(*this); });
  }
  std::vector<int16_t> samples16() {
    std::lock_guard lock(mutex);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }
};

// With `realTime` the frames also pass through the null sink and take their time.
inline platform::SinkFactory recordingSink(std::shared_ptr<SinkRecord> record, bool realTime) {
  class Sink : public platform::AudioSink {
   public:
    Sink(std::shared_ptr<SinkRecord> record, std::unique_ptr<platform::AudioSink> inner, platform::AudioFormat format)
        : record_(std::move(record)), inner_(std::move(inner)), format_(format) {}
    const platform::AudioFormat& format() const override { return format_; }
    bool write(const void* frames, size_t count, const std::atomic<bool>& stop) override {
      {
        std::lock_guard lock(record_->mutex);
        const auto* bytes = static_cast<const uint8_t*>(frames);
        record_->bytes.insert(record_->bytes.end(), bytes, bytes + count * format_.bytesPerFrame());
      }
      record_->changed.notify_all();
      return inner_ ? inner_->write(frames, count, stop) : !stop;
    }
    bool drain(const std::atomic<bool>& stop) override {
      const bool drained = inner_ ? inner_->drain(stop) : !stop;
      if (drained) note(&SinkRecord::drains);
      return drained;
    }
    void discard() override {
      if (inner_) inner_->discard();
      note(&SinkRecord::discards);
    }

   private:
    void note(int SinkRecord::*counter) {
      {
        std::lock_guard lock(record_->mutex);
        ++(record_.get()->*counter);
      }
      record_->changed.notify_all();
    }
    std::shared_ptr<SinkRecord> record_;
    std::unique_ptr<platform::AudioSink> inner_;
    platform::AudioFormat format_;
  };
  return [record, realTime](const platform::AudioFormat& format) -> std::unique_ptr<platform::AudioSink> {
    {
      std::lock_guard lock(record->mutex);
      record->opened.push_back(format);
    }
    return std::make_unique<Sink>(record, realTime ? platform::openNullSink(format) : nullptr, format);
  };
}
