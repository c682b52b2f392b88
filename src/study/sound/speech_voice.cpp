#include "study/sound/speech_voice.h"

#include "platform/speech/speech_stream_format.h"
#include "services/app_settings.h"

namespace {

// Start-up always speaks in 44 kHz 16-bit stereo, whatever format the settings name.
constexpr int kStartupStreamFormat = 35;
constexpr wchar_t kEngineCannotStart[] = L"音声合成エンジン (espeak-ng) を起動できません。";

}  // namespace

SpeechVoice::SpeechVoice(EngineFactory makeEngine) : makeEngine_(std::move(makeEngine)) {}

bool SpeechVoice::InitSpeechEngine5(const std::wstring& voiceName, int formatCode) {
  pending_.reset();
  engine_ = makeEngine_ ? makeEngine_() : nullptr;
  outputOpen_ = false;
  voiceName_.clear();
  failure_.clear();
  if (!engine_ || !engine_->start()) {
    failure_ = kEngineCannotStart;
    if (engine_ && !engine_->startError().empty()) failure_ += L"\n" + engine_->startError();
    engine_.reset();
    return false;
  }
  bool chosen = false;
  if (!voiceName.empty()) {
    for (const std::wstring& name : engine_->voiceNames()) {
      if (name == voiceName) {
        chosen = engine_->selectVoice(name);
        if (chosen) voiceName_ = name;
        break;
      }
    }
  }
  if (!chosen) {
    const std::wstring fallback = engine_->defaultVoiceName();
    if (fallback.empty() || !engine_->selectVoice(fallback)) {
      failure_ = L"音声合成エンジンに使える音声がありません。";
      return false;
    }
    voiceName_ = fallback;
  }
  if (!engine_->openDefaultOutput()) {
    failure_ = L"音声の出力先を開けません。";
    return false;
  }
  outputOpen_ = true;
  SetSpeechOutputFormat(formatCode);
  return true;
}

void SpeechVoice::SetSpeechOutputFormat(int formatCode) {
  startIfPending();
  if (!engine_ || !outputOpen_) return;
  if (const std::optional<platform::AudioFormat> format = platform::streamFormat(formatCode))
    engine_->setOutputFormat(*format);
}

bool SpeechVoice::prepare(const AppSettings& settings) {
  prepareOnFirstUse(settings);
  startIfPending();
  return available_;
}

void SpeechVoice::prepareOnFirstUse(const AppSettings& settings) {
  pending_ = StartupSettings{settings.voice5Id.value, settings.voiceFormat.value, settings.voiceRate.value,
                             settings.voiceVolume.value};
}

void SpeechVoice::startIfPending() {
  if (!pending_) return;
  const StartupSettings startup = std::move(*pending_);
  pending_.reset();
  available_ = InitSpeechEngine5(startup.voiceName, startup.formatCode);
  if (available_) {
    setRate(startup.rate);
    setVolume(startup.volume);
    SetSpeechOutputFormat(kStartupStreamFormat);
  }
}

bool SpeechVoice::available() {
  startIfPending();
  return available_;
}

const std::wstring& SpeechVoice::voiceName() {
  startIfPending();
  return voiceName_;
}

void SpeechVoice::setRate(int rate) {
  startIfPending();
  if (engine_) engine_->setRate(rate);
}

void SpeechVoice::setVolume(int volume) {
  startIfPending();
  if (engine_) engine_->setVolume(volume);
}

std::vector<std::wstring> SpeechVoice::voiceNames() {
  startIfPending();
  return engine_ ? engine_->voiceNames() : std::vector<std::wstring>{};
}

bool SpeechVoice::selectVoice(const std::wstring& name) {
  startIfPending();
  if (!engine_ || !engine_->selectVoice(name)) return false;
  voiceName_ = name;
  return true;
}

std::wstring SpeechVoice::silenceReason() {
  startIfPending();
  if (!available_) return failure_.empty() ? kEngineCannotStart : failure_;
  if (!engine_->audible()) return L"サウンドデバイスが見つからないため、音声は聞こえません。";
  return {};
}

bool SpeakText(SpeechVoice& voice, const std::wstring& text, bool purge) {
  voice.startIfPending();
  if (!voice.available_ || !voice.engine_) return false;
  return voice.engine_->speak(text, purge);
}
