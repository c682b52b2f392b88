// An output sink that keeps what it is given, so tests can see what would have been heard; with
// `realTime` the frames also pass through the null sink and take their time.
#pragma once

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "patience.h"
#include "platform/audio/audio_sink.h"

struct SinkRecord {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<platform::AudioFormat> opened;
  std::vector<int16_t> samples;  // 16-bit output only
  int drains = 0;

  template <typename Predicate>
  bool waitFor(Predicate done) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, testwait::kPatience, [&] { return done(*this); });
  }
};

class RecordingSink : public platform::AudioSink {
 public:
  RecordingSink(std::shared_ptr<SinkRecord> record, const platform::AudioFormat& format, bool realTime)
      : record_(std::move(record)), format_(format), inner_(realTime ? platform::openNullSink(format) : nullptr) {}
  const platform::AudioFormat& format() const override { return format_; }
  bool write(const void* frames, size_t count, const std::atomic<bool>& stop) override {
    update([&](SinkRecord& r) {
      const auto* first = static_cast<const int16_t*>(frames);
      r.samples.insert(r.samples.end(), first, first + count * format_.channels);
    });
    return inner_ ? inner_->write(frames, count, stop) : !stop;
  }
  bool drain(const std::atomic<bool>& stop) override {
    if (inner_ ? !inner_->drain(stop) : stop.load()) return false;
    update([](SinkRecord& r) { ++r.drains; });
    return true;
  }
  void discard() override {}

  static platform::SinkFactory factory(std::shared_ptr<SinkRecord> record, bool realTime) {
    return [record, realTime](const platform::AudioFormat& format) {
      update(*record, [&](SinkRecord& r) { r.opened.push_back(format); });
      return std::make_unique<RecordingSink>(record, format, realTime);
    };
  }

 private:
  template <typename Change>
  static void update(SinkRecord& record, Change change) {
    {
      std::lock_guard lock(record.mutex);
      change(record);
    }
    record.changed.notify_all();
  }
  template <typename Change>
  void update(Change change) { update(*record_, change); }

  std::shared_ptr<SinkRecord> record_;
  platform::AudioFormat format_;
  std::unique_ptr<platform::AudioSink> inner_;
};
