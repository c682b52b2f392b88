// Text-to-speech behind one interface: voices chosen by name, rate and volume, an output format,
// and speaking that returns at once while the words are heard.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_sink.h"

namespace platform {

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // Brings the synthesiser up; false when it cannot run here (speech is then unavailable).
  virtual bool start() = 0;
  // Why the last start failed, in the synthesiser's words; empty when it did not fail or gave none.
  virtual std::wstring startError() const { return {}; }
  // The installed voices by their display names, in the engine's order.
  virtual std::vector<std::wstring> voiceNames() const = 0;
  // The name of the voice the engine speaks with when none is chosen; empty when it has none.
  virtual std::wstring defaultVoiceName() const = 0;
  virtual bool selectVoice(const std::wstring& name) = 0;
  // Opens the system's default output for the voice; false when there is no way to output.
  virtual bool openDefaultOutput() = 0;
  // Whether the output opened reaches a sound device (a headless machine speaks in silence).
  virtual bool audible() const { return true; }
  // The format the words are heard in from the next utterance on; false for a format the output
  // cannot take (nothing changes then).
  virtual bool setOutputFormat(const AudioFormat& format) = 0;
  // -10 (slowest) to 10 (fastest), 0 the voice's normal rate.
  virtual void setRate(int rate) = 0;
  // 0 to 100 percent.
  virtual void setVolume(int volume) = 0;
  // Queues the text behind what is being said; with `purgeFirst` what is being said and waits
  // is dropped first. Returns at once; false when the engine is not running.
  virtual bool speak(const std::wstring& text, bool purgeFirst) = 0;
};

// The system's synthesiser (espeak-ng). It sounds through the default device or, without one,
// silently in real time; tests hand it a sink of their own.
std::unique_ptr<SpeechEngine> makeSystemSpeechEngine(SinkFactory openSink = openSystemSink);

}  // namespace platform
