// How quickly the sound queue starts the next sound after one ends, and how closely the null sink
// keeps real time. Run: build/bench/audio_bench
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <vector>

#include "platform/audio/audio_file_player.h"
#include "study/sound/sound_queue.h"

namespace {

using Clock = std::chrono::steady_clock;

QTemporaryDir* gFolder = nullptr;

std::string writeTone(const char* name, double seconds) {
  const std::string path = (gFolder->path() + "/" + name).toStdString();
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  const auto frames = static_cast<size_t>(44100 * seconds);
  std::vector<int16_t> samples(frames * 2);
  for (size_t i = 0; i < frames; ++i) samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(i * 0.06));
  sf_writef_short(file, samples.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
  return path;
}

// Notes when each sound began to be written and when each was heard to its end.
struct Timeline {
  std::mutex mutex;
  std::vector<Clock::time_point> firstWrites;
  std::vector<Clock::time_point> ends;
};

platform::SinkFactory timedNullSink(Timeline& timeline) {
  class Sink : public platform::AudioSink {
   public:
    Sink(Timeline& timeline, std::unique_ptr<platform::AudioSink> inner) : timeline_(timeline), inner_(std::move(inner)) {}
    const platform::AudioFormat& format() const override { return inner_->format(); }
    bool write(const void* frames, size_t count, const std::atomic<bool>& stop) override {
      if (!writing_) {
        writing_ = true;
        std::lock_guard lock(timeline_.mutex);
        timeline_.firstWrites.push_back(Clock::now());
      }
      return inner_->write(frames, count, stop);
    }
    bool drain(const std::atomic<bool>& stop) override {
      const bool drained = inner_->drain(stop);
      writing_ = false;
      std::lock_guard lock(timeline_.mutex);
      timeline_.ends.push_back(Clock::now());
      return drained;
    }
    void discard() override { inner_->discard(); }

   private:
    Timeline& timeline_;
    std::unique_ptr<platform::AudioSink> inner_;
    bool writing_ = false;
  };
  return [&timeline](const platform::AudioFormat& format) -> std::unique_ptr<platform::AudioSink> {
    return std::make_unique<Sink>(timeline, platform::openNullSink(format));
  };
}

void spinUntil(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

// From the end of one queued sound to the first frame of the next: target 30 ms.
void BM_QueuedSoundStartsAfterThePreviousEnd(benchmark::State& state) {
  static const std::string first = writeTone("first.wav", 0.05);
  static const std::string second = writeTone("second.wav", 0.05);
  double worstMs = 0;
  for (auto _ : state) {
    Timeline timeline;
    platform::SoundFilePlayer player(timedNullSink(timeline));
    SoundQueue queue(player);
    queue.enqueue(QString::fromStdString(first).toStdWString(), 100, 100);
    queue.enqueue(QString::fromStdString(second).toStdWString(), 100, 100);
    spinUntil([&] { return queue.size() == 0; });
    std::lock_guard lock(timeline.mutex);
    const double gap = std::chrono::duration<double>(timeline.firstWrites.at(1) - timeline.ends.at(0)).count();
    worstMs = std::max(worstMs, gap * 1000);
    state.SetIterationTime(gap);
  }
  state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_QueuedSoundStartsAfterThePreviousEnd)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// A sound of known length through the null sink, from play to its end event: target within 5 %.
std::atomic<bool> gEnded{false};
void noteEnd(int event, unsigned) {
  if (event == platform::AudioEventEnded) gEnded = true;
}

void BM_NullSinkKeepsRealTime(benchmark::State& state) {
  const double seconds = static_cast<double>(state.range(0)) / 1000.0;
  const std::string path = writeTone(("len" + std::to_string(state.range(0)) + ".wav").c_str(), seconds);
  platform::SoundFilePlayer player(platform::openNullSink);
  player.init();
  player.setCallback(&noteEnd);
  double worstError = 0;
  for (auto _ : state) {
    platform::SoundFileInfo info;
    player.open(path, info);
    gEnded = false;
    QElapsedTimer timer;
    timer.start();
    player.play();
    while (!gEnded) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    worstError = std::max(worstError, std::abs(elapsed - seconds) / seconds * 100);
    state.SetIterationTime(elapsed);
  }
  state.counters["worst_error_pct"] = worstError;
}
BENCHMARK(BM_NullSinkKeepsRealTime)->Arg(200)->Arg(1000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir folder(QDir::tempPath() + "/kelvara-bench-XXXXXX");
  gFolder = &folder;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
