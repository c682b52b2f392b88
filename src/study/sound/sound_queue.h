// Sounds of the program (answer sounds, recorded voices, test sounds of the options) play one
// after another, never mixed: each request waits until the one before it has been heard.
#pragma once

#include <QObject>
#include <deque>
#include <string>

#include "platform/audio/audio_player.h"

struct SoundRequest {
  std::wstring path;
  uint32_t leftVolume;
  uint32_t rightVolume;
};

// The head request is the one that plays. Every operation runs on the GUI thread; the end of a
// sound reaches it as a queued call that advances the queue.
class SoundQueue {
 public:
  explicit SoundQueue(platform::AudioPlayer& player = platform::systemAudioPlayer());
  ~SoundQueue();
  SoundQueue(const SoundQueue&) = delete;
  SoundQueue& operator=(const SoundQueue&) = delete;

  // Plays at once when nothing else is queued (false when that request could not be played);
  // otherwise waits its turn and gives true.
  bool enqueue(const std::wstring& path, uint32_t leftVolume, uint32_t rightVolume);
  // Drops every request, the playing one included, and plays this one at once.
  bool playNow(const std::wstring& path, uint32_t leftVolume, uint32_t rightVolume);
  // Drops every request; a sound that plays is not stopped.
  void clear();
  bool playFront();
  void popFront();
  // The head has been heard: drops it and starts the next one that can be played.
  bool advance();
  // Frees the player; the queue plays nothing afterwards.
  void release();

  size_t size() const { return requests_.size(); }

 private:
  friend void Vbmp3Callback(int event, unsigned data);
  // Plays the head; a head that cannot be played is dropped for the next one.
  bool playFirstPlayable();
  void soundEnded(unsigned sound);

  platform::SoundFileInfo fileInfo_;
  std::deque<SoundRequest> requests_;
  platform::AudioPlayer& player_;
  bool released_ = false;
  // Lives on the GUI thread: the end-of-sound call is queued to it.
  QObject endNotices_;
};

// The player's callback: on the end of a sound it queues SoundQueue::advance to the GUI thread
// of the queue that plays; other events are ignored. Safe on any thread.
void Vbmp3Callback(int event, unsigned data);
