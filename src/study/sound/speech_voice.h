// The text-to-speech voice of the program: set up once at start-up, then asked to speak words.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/speech/speech_engine.h"

class AppSettings;

class SpeechVoice {
 public:
  using EngineFactory = std::function<std::unique_ptr<platform::SpeechEngine>()>;

  explicit SpeechVoice(EngineFactory makeEngine = [] { return platform::makeSystemSpeechEngine(); });

  // Brings the engine up with the voice whose name equals `voiceName` exactly (the engine's
  // default voice when the name is empty or no voice has it), opens the default output and sets
  // the stream format `formatCode`. False when any step fails.
  bool InitSpeechEngine5(const std::wstring& voiceName, int formatCode);
  // The output format by its stream-format code; a code without a format changes nothing.
  void SetSpeechOutputFormat(int formatCode);

  // Start-up's set-up from voice5-id and voice-format: InitSpeechEngine5 decides once whether
  // speech is available; when it is, voice-rate and voice-volume are applied and the output is
  // set to 44 kHz 16-bit stereo (code 35).
  bool prepare(const AppSettings& settings);
  // The same set-up with the settings as they are now, made when the voice is first used (asked,
  // set or made to speak): bringing up the engine and the sound output is start-up time that a
  // run without speech need not pay.
  void prepareOnFirstUse(const AppSettings& settings);
  bool available();
  // Why nothing is heard when speaking: the engine that cannot start, or the missing sound device.
  // Empty when speech is available and heard.
  std::wstring silenceReason();

  // Take effect from the next word on; nothing happens without an engine.
  void setRate(int rate);
  void setVolume(int volume);
  // The engine's voices for the voice choice; empty without an engine.
  std::vector<std::wstring> voiceNames();
  // Speaks with the voice of that name from the next word on; false when there is no such voice.
  bool selectVoice(const std::wstring& name);
  // The name of the voice words are spoken with; empty without an engine.
  const std::wstring& voiceName();

 private:
  friend bool SpeakText(SpeechVoice& voice, const std::wstring& text, bool purge);

  struct StartupSettings {
    std::wstring voiceName;
    int formatCode;
    int rate;
    int volume;
  };
  void startIfPending();

  EngineFactory makeEngine_;
  std::unique_ptr<platform::SpeechEngine> engine_;
  std::wstring voiceName_;
  std::wstring failure_;
  bool outputOpen_ = false;
  bool available_ = false;
  std::optional<StartupSettings> pending_;
};

// Speaks the text asynchronously, first silencing what is being said when `purge` is set.
// False when speech is not available or the engine refuses the text.
bool SpeakText(SpeechVoice& voice, const std::wstring& text, bool purge);
