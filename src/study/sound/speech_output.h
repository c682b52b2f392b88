// How a word is spoken: its recorded voice file, else the agent speech program, else the
// text-to-speech voice; and whether a study mode can run with the voice set-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/speech/agent_link.h"

class AppSettings;
class CNoticeBox;
class SoundQueue;
class SpeechVoice;

constexpr int kDictationMode = 6;
constexpr uint32_t kVoiceFileVolume = 100;

// Queues a question's recorded voice file (folder + name) at full volume, or plays it at once,
// replacing what waits. False when the name is empty or the file cannot be played.
bool playVoiceFile(SoundQueue& sounds, const std::wstring& folder, const std::wstring& fileName, bool atOnce);

// Why words spoken now would not be heard (no sound device, no speech engine); empty when they
// would, or when the agent speech program, which sounds by itself, speaks them.
std::wstring SpeechSilenceReason(const AppSettings& settings, SpeechVoice& voice);

// Every mode but dictation can always be studied; dictation needs some way of speaking that is
// heard: its question is nothing but the spoken word. When it has none the user is told so (and
// why) through the application's notice box and the answer is false.
bool CanStudyInMode(const AppSettings& settings, SpeechVoice& voice, CNoticeBox& notice, int mode);

// The speaking side of one study window.
class WordSpeaker {
 public:
  // The settings are read at each word: they outlive the study.
  WordSpeaker(const AppSettings& settings, SoundQueue& sounds, SpeechVoice& voice);

  // When the window opens with agent speech on: looks for the agent once (it is not started
  // here) and, when it is there, introduces the window and the engine, pitch and volume. Without
  // the agent the study speaks through text-to-speech to its end.
  void attachAgent(uint64_t studyWindow);
  bool agentAttached() const { return agent_.has_value(); }

  // Speaks `text`, or plays the question's voice file `voiceFileName` when there is one and voice
  // files are on. `purge` cuts short what is being said or played.
  bool SpeakWord(const std::wstring& voiceFileName, const std::wstring& text, bool purge);

 private:
  const AppSettings& settings_;
  SoundQueue& sounds_;
  SpeechVoice& voice_;
  std::optional<platform::AgentWindow> agent_;
  uint64_t studyWindow_ = 0;
};
