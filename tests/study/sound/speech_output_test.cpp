#include <gtest/gtest.h>

#include <functional>

#include "fake_agent_server.h"
#include "services/app_settings.h"
#include "services/notice_box.h"
#include "fake_audio_player.h"
#include "platform/windows/notifier.h"
#include "platform/text.h"
#include "study/sound/sound_queue.h"
#include "study/sound/speech_output.h"
#include "study/sound/speech_voice.h"

using Calls = std::vector<std::string>;

namespace {

// Notes every call in order; "Alpha" and "Beta" are installed, "Beta" is the default.
class FakeSpeechEngine : public platform::SpeechEngine {
 public:
  FakeSpeechEngine(Calls& calls, bool starts, bool heard = true) : calls_(calls), starts_(starts), heard_(heard) {}
  bool start() override { return note("start"), starts_; }
  bool audible() const override { return heard_; }
  std::vector<std::wstring> voiceNames() const override { return {L"Alpha", L"Beta"}; }
  std::wstring defaultVoiceName() const override { return L"Beta"; }
  bool selectVoice(const std::wstring& name) override { return note("voice " + platform::toUtf8(name)), true; }
  bool openDefaultOutput() override { return note("output"), true; }
  bool setOutputFormat(const platform::AudioFormat& f) override {
    return note("format " + std::to_string(f.sampleRate) + "/" + std::to_string(f.bitsPerSample) + "/" +
                std::to_string(f.channels)), true;
  }
  void setRate(int rate) override { note("rate " + std::to_string(rate)); }
  void setVolume(int volume) override { note("volume " + std::to_string(volume)); }
  bool speak(const std::wstring& text, bool purge) override {
    return note("speak " + platform::toUtf8(text) + (purge ? " purge" : "")), true;
  }

 private:
  void note(const std::string& call) const { calls_.push_back(call); }
  Calls& calls_;
  bool starts_;
  bool heard_;
};

SpeechVoice::EngineFactory fakeEngine(Calls& calls, bool starts = true, bool heard = true) {
  return [&calls, starts, heard] { return std::make_unique<FakeSpeechEngine>(calls, starts, heard); };
}

}  // namespace

TEST(SpeechVoice, InitChoosesTheVoiceByExactNameElseTheDefault) {
  Calls calls;
  SpeechVoice voice(fakeEngine(calls));
  EXPECT_TRUE(voice.InitSpeechEngine5(L"Alpha", 27));
  EXPECT_TRUE(voice.InitSpeechEngine5(L"alpha", 4));  // names compare exactly
  EXPECT_TRUE(voice.InitSpeechEngine5(L"", 99));      // a code without a format leaves the output as it is
  EXPECT_EQ(calls, (Calls{"start", "voice Alpha", "output", "format 24000/16/2", "start", "voice Beta", "output",
                          "format 8000/8/1", "start", "voice Beta", "output"}));
}

TEST(SpeechVoice, PrepareForcesTheStartupFormatAndDecidesAvailabilityOnce) {
  Calls calls;
  SpeechVoice voice(fakeEngine(calls));
  EXPECT_FALSE(SpeakText(voice, L"early", false));
  AppSettings settings(L"KLV7");
  settings.voice5Id.value = L"Beta";
  settings.voiceRate.value = -3;
  settings.voiceVolume.value = 80;
  EXPECT_TRUE(voice.prepare(settings));
  EXPECT_TRUE(SpeakText(voice, L"hello", true));
  EXPECT_TRUE(SpeakText(voice, L"again", false));
  EXPECT_EQ(calls, (Calls{"start", "voice Beta", "output", "format 24000/16/2", "rate -3", "volume 80",
                          "format 44100/16/2", "speak hello purge", "speak again"}));
  Calls failed;
  SpeechVoice mute(fakeEngine(failed, false));
  EXPECT_FALSE(mute.prepare(settings));
  mute.setRate(5);
  EXPECT_FALSE(SpeakText(mute, L"hello", false));
  EXPECT_EQ(failed, (Calls{"start"}));
}

TEST(SpeechVoice, StartUpsSetUpWaitsForTheFirstUseWithTheSettingsOfThen) {
  AppSettings settings(L"KLV7");
  settings.voice5Id.value = L"Alpha";
  settings.voiceRate.value = 4;
  settings.voiceVolume.value = 60;
  const auto firstUse = [&](const std::function<void(SpeechVoice&)>& use) {
    Calls calls;
    SpeechVoice voice(fakeEngine(calls));
    voice.prepareOnFirstUse(settings);
    EXPECT_TRUE(calls.empty()) << "nothing is started before it is used";
    use(voice);
    return calls;
  };
  const Calls setUp{"start", "voice Alpha", "output", "format 24000/16/2", "rate 4", "volume 60", "format 44100/16/2"};
  EXPECT_EQ(firstUse([](SpeechVoice& voice) { EXPECT_TRUE(voice.available()); }), setUp);
  EXPECT_EQ(firstUse([](SpeechVoice& voice) { EXPECT_EQ(voice.voiceName(), L"Alpha"); }), setUp);
  Calls spoken = setUp, rated = setUp;
  spoken.push_back("speak hi");
  rated.push_back("rate -2");
  EXPECT_EQ(firstUse([](SpeechVoice& voice) { SpeakText(voice, L"hi", false); }), spoken);
  EXPECT_EQ(firstUse([](SpeechVoice& voice) { voice.setRate(-2); }), rated);
}

TEST(CanStudyInMode, DictationNeedsAWayToSpeakThatIsHeard) {
  struct : platform::Notifier {
    std::vector<std::wstring> boxes;
    int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned flags) override {
      return boxes.push_back(caption + L"|" + std::to_wstring(flags) + L"|" + text), platform::IdOk;
    }
  } recorder;
  platform::NotifierOverride use(recorder);
  CNoticeBox notice;
  AppSettings settings(L"KLV7");
  Calls calls;
  SpeechVoice heard(fakeEngine(calls)), noDevice(fakeEngine(calls, true, false)), noEngine(fakeEngine(calls, false));
  for (SpeechVoice* voice : {&heard, &noDevice, &noEngine}) voice->prepare(settings);
  BoolSetting* ways[] = {&settings.useVoice, &settings.useAgentVoice, &settings.useWavVoice};
  for (BoolSetting* way : ways) way->value = false;
  for (int mode = 0; mode < kDictationMode; ++mode) EXPECT_TRUE(CanStudyInMode(settings, noEngine, notice, mode));
  EXPECT_FALSE(CanStudyInMode(settings, heard, notice, kDictationMode));
  for (BoolSetting* way : ways) {
    way->value = true;
    EXPECT_TRUE(CanStudyInMode(settings, heard, notice, kDictationMode));
    way->value = false;
  }
  // A word nobody hears: the blind answers would all count as mistakes.
  settings.useVoice.value = true;
  EXPECT_FALSE(CanStudyInMode(settings, noDevice, notice, kDictationMode));
  settings.useVoice.value = false;
  settings.useWavVoice.value = true;  // recorded voices sound through the same missing device
  EXPECT_FALSE(CanStudyInMode(settings, noEngine, notice, kDictationMode));
  // The agent program sounds by itself.
  settings.useAgentVoice.value = true;
  {
    FakeAgentServer agent(platform::agentSocketPath());
    EXPECT_TRUE(CanStudyInMode(settings, noDevice, notice, kDictationMode));
  }
  const std::wstring refusal =
      L"Error!|4096|音声再生が利用できないので、ディクテーションモードで学習できません。\n\n"
      L"ディクテーションモード以外で学習するか、音声再生を利用できるように設定してください。\n";
  EXPECT_EQ(recorder.boxes, (std::vector<std::wstring>{
                                refusal, refusal + L"\nサウンドデバイスが見つからないため、音声は聞こえません。\n",
                                refusal + L"\n音声合成エンジン (espeak-ng) を起動できません。\n"}));
}

class WordSpeakerTest : public ::testing::Test {
 protected:
  WordSpeakerTest() : voice(fakeEngine(calls)) {
    voice.prepare(settings);
    calls.clear();
    settings.useWavVoice.value = false;
    settings.wavVoiceFolder.value = L"/data/wavvoice";
    settings.useAgentVoice.value = true;
    settings.agentLanguageId.value = L"409,{CA141FD0}";
    settings.agentVolume.value = 90;
    settings.agentPitch.value = 120;
  }
  AppSettings settings{L"KLV7"};
  Calls calls;
  SpeechVoice voice;
  FakeAudioPlayer player;
  SoundQueue sounds{player};
};

TEST_F(WordSpeakerTest, AVoiceFileComesFirstThenTheAgent) {
  settings.useWavVoice.value = true;
  FakeAgentServer agent(platform::agentSocketPath());
  WordSpeaker speaker(settings, sounds, voice);
  speaker.attachAgent(0xBEEF);
  ASSERT_TRUE(speaker.agentAttached());
  sounds.enqueue(L"/sounds/correct.wav", 70, 70);
  EXPECT_TRUE(speaker.SpeakWord(L"apple.mp3", L"apple", false));
  EXPECT_EQ(sounds.size(), 2u);  // waits behind the answer sound
  EXPECT_TRUE(speaker.SpeakWord(L"fruit\\pear.wav", L"pear", true));
  EXPECT_EQ(player.started.back(), "/data/wavvoice/fruit/pear.wav 100 100");
  EXPECT_EQ(sounds.size(), 1u);
  EXPECT_TRUE(speaker.SpeakWord(L"", L"りんご", true));

  const auto messages = agent.messages();
  const std::vector<std::pair<uint32_t, std::u16string>> expected = {
      {platform::AgentAttach, u""}, {platform::AgentEngine, u"409,{CA141FD0}"}, {platform::AgentPitch, u"120"},
      {platform::AgentVolume, u"90"}, {platform::AgentSpeak, u"りんご"}};
  ASSERT_EQ(messages.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(std::make_pair(messages[i].command, messages[i].text), expected[i]) << i;
    EXPECT_EQ(messages[i].sender, 0xBEEFu) << i;
  }
  EXPECT_TRUE(calls.empty());
}

TEST_F(WordSpeakerTest, WithoutARunningAgentTheStudySpeaksThroughTextToSpeech) {
  WordSpeaker speaker(settings, sounds, voice);
  speaker.attachAgent(1);
  EXPECT_FALSE(speaker.agentAttached());
  FakeAgentServer lateAgent(platform::agentSocketPath());  // looked for only when the window opened
  EXPECT_TRUE(speaker.SpeakWord(L"", L"grape", false));
  EXPECT_EQ(calls, (Calls{"speak grape"}));
  EXPECT_TRUE(lateAgent.messages().empty());
}
