// A player that plays nothing: it notes what the queue asks of it and reports the end of a sound
// when the test says so, as the real player's thread would.
#pragma once

#include <QCoreApplication>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_player.h"

class FakeAudioPlayer : public platform::AudioPlayer {
 public:
  std::vector<std::string> started;  // "path l r" for each sound that began to play
  std::set<std::string> unplayable;
  int frees = 0;

  bool init() override { return true; }
  bool open(const std::string& path, platform::SoundFileInfo&) override {
    opened_ = path;
    return unplayable.count(path) == 0;
  }
  void setSoftVolume(unsigned left, unsigned right) override { volume_ = std::to_string(left) + " " + std::to_string(right); }
  bool play() override {
    started.push_back(opened_ + " " + volume_);
    ++sound_;
    return true;
  }
  void setCallback(platform::AudioPlayerCallback callback) override { callback_ = callback; }
  void free() override { ++frees; }
  unsigned currentSound() const override { return sound_; }

  // The sound numbered `sound` (by default the one that plays) has been heard to its end.
  void reportEnd(unsigned sound) {
    callback_(platform::AudioEventEnded, sound);
    QCoreApplication::processEvents();
  }
  void finish() { reportEnd(sound_); }
  platform::AudioPlayerCallback callback() const { return callback_; }

 private:
  std::string opened_;
  std::string volume_;
  unsigned sound_ = 0;
  platform::AudioPlayerCallback callback_ = nullptr;
};
