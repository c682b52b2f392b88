#include "study/speech_voice.h"

#include "platform/speech_stream_format.h"
#include "services/app_settings.h"

namespace {

// Start-up always speaks in 44 kHz 16-bit stereo, whatever format the settings name.
constexpr int kStartupStreamFormat = 35;

}  // namespace

SpeechVoice::SpeechVoice(EngineFactory makeEngine) : makeEngine_(std::move(makeEngine)) {}

bool SpeechVoice::InitSpeechEngine5(const std::wstring& voiceName, int formatCode) {
  engine_ = makeEngine_ ? makeEngine_() : nullptr;
  outputOpen_ = false;
  if (!engine_ || !engine_->start()) {
    engine_.reset();
    return false;
  }
  bool chosen = false;
  if (!voiceName.empty()) {
    for (const std::wstring& name : engine_->voiceNames()) {
      if (name == voiceName) {
        chosen = engine_->selectVoice(name);
        break;
      }
    }
  }
  if (!chosen) {
    const std::wstring fallback = engine_->defaultVoiceName();
    if (fallback.empty() || !engine_->selectVoice(fallback)) return false;
  }
  if (!engine_->openDefaultOutput()) return false;
  outputOpen_ = true;
  SetSpeechOutputFormat(formatCode);
  return true;
}

void SpeechVoice::SetSpeechOutputFormat(int formatCode) {
  if (!engine_ || !outputOpen_) return;
  if (const std::optional<platform::AudioFormat> format = platform::streamFormat(formatCode))
    engine_->setOutputFormat(*format);
}

bool SpeechVoice::prepare(const AppSettings& settings) {
  available_ = InitSpeechEngine5(settings.voice5Id.value, settings.voiceFormat.value);
  if (available_) {
    setRate(settings.voiceRate.value);
    setVolume(settings.voiceVolume.value);
    SetSpeechOutputFormat(kStartupStreamFormat);
  }
  return available_;
}

void SpeechVoice::setRate(int rate) {
  if (engine_) engine_->setRate(rate);
}

void SpeechVoice::setVolume(int volume) {
  if (engine_) engine_->setVolume(volume);
}

std::vector<std::wstring> SpeechVoice::voiceNames() const {
  return engine_ ? engine_->voiceNames() : std::vector<std::wstring>{};
}

bool SpeechVoice::selectVoice(const std::wstring& name) { return engine_ && engine_->selectVoice(name); }

bool SpeakText(SpeechVoice& voice, const std::wstring& text, bool purge) {
  if (!voice.available_ || !voice.engine_) return false;
  return voice.engine_->speak(text, purge);
}
