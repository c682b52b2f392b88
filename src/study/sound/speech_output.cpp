#include "study/sound/speech_output.h"

#include "database/records/question_sound.h"
#include "services/app_settings.h"
#include "services/notice_box.h"
#include "study/sound/sound_queue.h"
#include "study/sound/speech_voice.h"

bool playVoiceFile(SoundQueue& sounds, const std::wstring& folder, const std::wstring& fileName, bool atOnce) {
  if (fileName.empty()) return false;
  const std::wstring path = pdb3::soundFilePath(folder, fileName);
  return atOnce ? sounds.playNow(path, kVoiceFileVolume, kVoiceFileVolume)
                : sounds.enqueue(path, kVoiceFileVolume, kVoiceFileVolume);
}

std::wstring SpeechSilenceReason(const AppSettings& settings, SpeechVoice& voice) {
  if (settings.useAgentVoice.value && platform::FindAgentSpeakerWindow()) return {};
  return voice.silenceReason();
}

bool CanStudyInMode(const AppSettings& settings, SpeechVoice& voice, CNoticeBox& notice, int mode) {
  if (mode != kDictationMode) return true;
  static const std::wstring kRefusal =
      L"音声再生が利用できないので、ディクテーションモードで学習できません。\n\n"
      L"ディクテーションモード以外で学習するか、音声再生を利用できるように設定してください。\n";
  if (!settings.useVoice.value && !settings.useAgentVoice.value && !settings.useWavVoice.value) {
    notice.ShowText(kRefusal);
    return false;
  }
  const std::wstring silence = SpeechSilenceReason(settings, voice);
  if (silence.empty()) return true;
  notice.ShowText(kRefusal + L"\n" + silence + L"\n");
  return false;
}

WordSpeaker::WordSpeaker(const AppSettings& settings, SoundQueue& sounds, SpeechVoice& voice)
    : settings_(settings), sounds_(sounds), voice_(voice) {}

void WordSpeaker::attachAgent(uint64_t studyWindow) {
  studyWindow_ = studyWindow;
  agent_.reset();
  if (!settings_.useAgentVoice.value) return;
  agent_ = platform::FindAgentSpeakerWindow();
  if (!agent_) return;
  platform::sendAgentCommand(*agent_, platform::AgentAttach, L"", studyWindow_);
  platform::sendAgentCommand(*agent_, platform::AgentEngine, settings_.agentLanguageId.value, studyWindow_);
  platform::sendAgentCommand(*agent_, platform::AgentPitch, std::to_wstring(settings_.agentPitch.value), studyWindow_);
  platform::sendAgentCommand(*agent_, platform::AgentVolume, std::to_wstring(settings_.agentVolume.value), studyWindow_);
}

bool WordSpeaker::SpeakWord(const std::wstring& voiceFileName, const std::wstring& text, bool purge) {
  if (settings_.useWavVoice.value && !voiceFileName.empty())
    return playVoiceFile(sounds_, settings_.wavVoiceFolder.value, voiceFileName, purge);
  if (settings_.useAgentVoice.value && agent_) {
    platform::sendAgentCommand(*agent_, platform::AgentSpeak, text, studyWindow_);
    return true;
  }
  return SpeakText(voice_, text, purge);
}
