// A speech engine that only records what it was asked to say.
#pragma once

#include <string>
#include <vector>

#include "platform/speech/speech_engine.h"

class RecordingSpeechEngine : public platform::SpeechEngine {
 public:
  explicit RecordingSpeechEngine(std::vector<std::wstring>& spoken) : spoken_(spoken) {}
  bool start() override { return true; }
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
};
