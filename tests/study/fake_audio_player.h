// A player that plays nothing: it notes what the queue asks of it and reports the end of a sound
// when the test says so, as the real player's thread would.
#pragma once

#include <QCoreApplication>
#include <set>
#include <string>
#include <vector>

#include "platform/audio/audio_player.h"

class FakeAudioPlayer : public platform::AudioPlayer {
 public:
  std::vector<std::string> started;  // "path left right" of each sound that began to play
  std::set<std::string> unplayable;
  int frees = 0;
  platform::AudioPlayerCallback callback = nullptr;

  bool init() override { return true; }
  bool open(const std::string& path, platform::SoundFileInfo&) override { return opened_ = path, !unplayable.count(path); }
  void setSoftVolume(unsigned left, unsigned right) override { volume_ = std::to_string(left) + " " + std::to_string(right); }
  bool play() override { return started.push_back(opened_ + " " + volume_), ++sound_, true; }
  void setCallback(platform::AudioPlayerCallback c) override { callback = c; }
  void free() override { ++frees; }
  unsigned currentSound() const override { return sound_; }

  // Sound number `sound` has been heard to its end (by default the one that plays).
  void finish(unsigned sound = 0) {
    callback(platform::AudioEventEnded, sound ? sound : sound_);
    QCoreApplication::processEvents();
  }

 private:
  std::string opened_, volume_;
  unsigned sound_ = 0;
};
