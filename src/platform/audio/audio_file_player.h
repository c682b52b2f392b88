// The real player: decodes the file on a thread of its own and writes it, volume applied, to an
// output sink; the end callback follows once the last frame has been heard.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/audio/audio_decoder.h"
#include "platform/audio/audio_player.h"
#include "platform/audio/audio_sink.h"

namespace platform {

class SoundFilePlayer : public AudioPlayer {
 public:
  explicit SoundFilePlayer(SinkFactory openSink = openSystemSink);
  ~SoundFilePlayer() override;

  bool init() override;
  bool open(const std::string& utf8Path, SoundFileInfo& info) override;
  void setSoftVolume(unsigned left, unsigned right) override;
  bool play() override;
  void setCallback(AudioPlayerCallback callback) override;
  void free() override;
  unsigned currentSound() const override { return currentSound_; }

 private:
  void stopPlaying();
  void run(std::unique_ptr<SoundFileDecoder> decoder, std::unique_ptr<AudioSink> sink, unsigned sound);
  std::unique_ptr<AudioSink> takeSink(const AudioFormat& format);

  SinkFactory openSink_;
  bool initialised_ = false;
  std::unique_ptr<SoundFileDecoder> opened_;
  std::atomic<unsigned> volumeLeft_{100};
  std::atomic<unsigned> volumeRight_{100};
  std::atomic<AudioPlayerCallback> callback_{nullptr};
  std::atomic<unsigned> currentSound_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
  // The device stays open for a moment after a sound, so that a next one of the same format starts
  // without delay; the playing thread hands it back here when it ends.
  std::mutex sinkMutex_;
  std::unique_ptr<AudioSink> idleSink_;
  std::condition_variable stopRequested_;
};

// Scales interleaved 16-bit frames in place: even channels by `left`, odd ones by `right`
// (percent, at most 100); a mono sound by the mean of both.
void applySoftVolume(int16_t* frames, size_t frameCount, int channels, unsigned left, unsigned right);

}  // namespace platform
