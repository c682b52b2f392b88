#include "study/sound/sound_queue.h"

#include <mutex>

#include "platform/text.h"

namespace {

// The one queue the player reports to (the program has one; the last one made wins).
std::mutex gReceiverMutex;
SoundQueue* gReceiver = nullptr;

}  // namespace

SoundQueue::SoundQueue(platform::AudioPlayer& player) : player_(player) {
  player_.init();
  player_.setCallback(&Vbmp3Callback);
  std::lock_guard lock(gReceiverMutex);
  gReceiver = this;
}

SoundQueue::~SoundQueue() {
  {
    std::lock_guard lock(gReceiverMutex);
    if (gReceiver == this) gReceiver = nullptr;
  }
  release();
}

bool SoundQueue::enqueue(const std::wstring& path, uint32_t leftVolume, uint32_t rightVolume) {
  requests_.push_back({path, leftVolume, rightVolume});
  if (requests_.size() != 1) return true;
  return playFirstPlayable();
}

bool SoundQueue::playNow(const std::wstring& path, uint32_t leftVolume, uint32_t rightVolume) {
  clear();
  return enqueue(path, leftVolume, rightVolume);
}

void SoundQueue::clear() {
  while (!requests_.empty()) popFront();
}

bool SoundQueue::playFront() {
  if (requests_.empty() || released_) return false;
  const SoundRequest& request = requests_.front();
  // File names go to the player in UTF-8, the system's own encoding for them.
  if (!player_.open(platform::toUtf8(request.path), fileInfo_)) return false;
  player_.setSoftVolume(request.leftVolume, request.rightVolume);
  return player_.play();
}

void SoundQueue::popFront() {
  if (!requests_.empty()) requests_.pop_front();
}

bool SoundQueue::advance() {
  popFront();
  return playFirstPlayable();
}

bool SoundQueue::playFirstPlayable() {
  // A request that cannot be played gets no end event: left at the head it would hold back
  // every sound behind it.
  while (!requests_.empty()) {
    if (playFront()) return true;
    popFront();
  }
  return false;
}

void SoundQueue::release() {
  if (released_) return;
  released_ = true;
  player_.free();
  requests_ = {};
}

void SoundQueue::soundEnded(unsigned sound) {
  // The end of a sound that playNow has already replaced must not advance past its successor.
  if (sound != player_.currentSound()) return;
  advance();
}

void Vbmp3Callback(int event, unsigned data) {
  if (event != platform::AudioEventEnded) return;
  std::lock_guard lock(gReceiverMutex);
  if (!gReceiver) return;
  SoundQueue* queue = gReceiver;
  // Queued to an object the queue owns: a call still pending when the queue goes is dropped.
  QMetaObject::invokeMethod(&queue->endNotices_, [queue, data] { queue->soundEnded(data); },
                            Qt::QueuedConnection);
}
