// A speech engine that only records what it was asked to say.
#pragma once

#include <string>
#include <vector>

#include "platform/speech/speech_engine.h"

class RecordingSpeechEngine : public platform::SpeechEngine {
 public:
  // heard: whether the output reaches a sound device.
  explicit RecordingSpeechEngine(std::vector<std::wstring>& spoken, bool heard = true)
      : spoken_(spoken), heard_(heard) {}
  bool start() override { return true; }
  bool audible() const override { return heard_; }
  std::vector<std::wstring> voiceNames() const override { return {L"Test"}; }
  std::wstring defaultVoiceName() const override { return L"Test"; }
  bool selectVoice(const std::wstring&) override { return true; }
  bool openDefaultOutput() override { return true; }
  bool setOutputFormat(const platform::AudioFormat&) override { return true; }
  void setRate(int) override {}
  void setVolume(int) override {}
  bool speak(const std::wstring& text, bool) override {
    spoken_.push_back(text);
    return true;
  }

 private:
  std::vector<std::wstring>& spoken_;
  bool heard_;
};
