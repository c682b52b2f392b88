// The system synthesiser: espeak-ng renders each utterance on a thread of the engine's own, and
// its samples go, converted to the chosen output format, to the default sound device.
#include <espeak-ng/espeak_ng.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audio/audio_convert.h"
#include "platform/audio/audio_sink.h"
#include "platform/files/loaded_library.h"
#include "platform/speech/speech_engine.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

// The synthesiser is loaded by the first start of an engine, not with the program: it and the
// sound libraries under it cost every start time that a run without speech need not pay.
struct EspeakLibrary {
  decltype(&espeak_ng_InitializePath) initializePath = nullptr;
  decltype(&espeak_ng_Initialize) initialize = nullptr;
  decltype(&espeak_ng_InitializeOutput) initializeOutput = nullptr;
  decltype(&espeak_ng_GetStatusCodeMessage) getStatusCodeMessage = nullptr;
  decltype(&espeak_ng_ClearErrorContext) clearErrorContext = nullptr;
  decltype(&espeak_ng_GetSampleRate) getSampleRate = nullptr;
  decltype(&espeak_ListVoices) listVoices = nullptr;
  decltype(&espeak_ng_SetVoiceByName) setVoiceByName = nullptr;
  decltype(&espeak_GetCurrentVoice) getCurrentVoice = nullptr;
  decltype(&espeak_ng_SetParameter) setParameter = nullptr;
  decltype(&espeak_SetSynthCallback) setSynthCallback = nullptr;
  decltype(&espeak_ng_Synthesize) synthesize = nullptr;
  decltype(&espeak_ng_Terminate) terminate = nullptr;
};

// Null when the library cannot be loaded, its loader's reason then in `failure`.
const EspeakLibrary* espeakLibrary(std::string& failure) {
  static std::string loadFailure;
  static const EspeakLibrary* const loaded = []() -> const EspeakLibrary* {
    void* library = loadLibrary("libespeak-ng.so.1", &loadFailure);
    if (!library) return nullptr;
    static EspeakLibrary espeak;
    const bool complete = resolveFunction(library, "espeak_ng_InitializePath", espeak.initializePath) &&
                          resolveFunction(library, "espeak_ng_Initialize", espeak.initialize) &&
                          resolveFunction(library, "espeak_ng_InitializeOutput", espeak.initializeOutput) &&
                          resolveFunction(library, "espeak_ng_GetStatusCodeMessage", espeak.getStatusCodeMessage) &&
                          resolveFunction(library, "espeak_ng_ClearErrorContext", espeak.clearErrorContext) &&
                          resolveFunction(library, "espeak_ng_GetSampleRate", espeak.getSampleRate) &&
                          resolveFunction(library, "espeak_ListVoices", espeak.listVoices) &&
                          resolveFunction(library, "espeak_ng_SetVoiceByName", espeak.setVoiceByName) &&
                          resolveFunction(library, "espeak_GetCurrentVoice", espeak.getCurrentVoice) &&
                          resolveFunction(library, "espeak_ng_SetParameter", espeak.setParameter) &&
                          resolveFunction(library, "espeak_SetSynthCallback", espeak.setSynthCallback) &&
                          resolveFunction(library, "espeak_ng_Synthesize", espeak.synthesize) &&
                          resolveFunction(library, "espeak_ng_Terminate", espeak.terminate);
    if (!complete) loadFailure = "libespeak-ng.so.1 is incomplete";
    return complete ? &espeak : nullptr;
  }();
  failure = loadFailure;
  return loaded;
}

// The synthesiser is one global object of the library: every call goes through this lock.
std::mutex gEspeakMutex;
// Set once the library is loaded and initialised: every call below goes through it.
const EspeakLibrary* gEspeak = nullptr;
struct LibraryCloser {
  ~LibraryCloser() {
    if (gEspeak) gEspeak->terminate();
  }
} gLibraryCloser;

// The library's own default language, the voice it speaks with before one is chosen.
constexpr char kLibraryDefaultVoice[] = "en";
constexpr int kNormalWordsPerMinute = 175;
// The device is left to other programs once nothing has been said for this long.
constexpr std::chrono::seconds kKeepDeviceOpen{1};

struct VoiceEntry {
  std::wstring name;
  std::string identifier;
};

// Rate -10..10 spans a third to three times the normal speed, evenly on a log scale.
int wordsPerMinute(int rate) {
  const double wpm = kNormalWordsPerMinute * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
  return std::clamp(static_cast<int>(std::lround(wpm)), espeakRATE_MINIMUM, espeakRATE_MAXIMUM);
}

bool initialiseLibrary(std::wstring& error) {
  if (gEspeak) return true;
  std::string failure;
  const EspeakLibrary* const espeak = espeakLibrary(failure);
  if (!espeak) {
    error = fromUtf8(failure);
    return false;
  }
  espeak->initializePath(nullptr);
  espeak_ng_ERROR_CONTEXT context = nullptr;
  espeak_ng_STATUS status = espeak->initialize(&context);
  if (status == ENS_OK) status = espeak->initializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
  if (status != ENS_OK) {
    char message[512];
    espeak->getStatusCodeMessage(status, message, sizeof message);
    traceError("speech: the synthesiser cannot start: %s\n", message);
    error = fromUtf8(message);
    espeak->clearErrorContext(&context);
    return false;
  }
  gEspeak = espeak;
  return true;
}

class EspeakEngine : public SpeechEngine {
 public:
  explicit EspeakEngine(SinkFactory openSink) : openSink_(std::move(openSink)) {}
  ~EspeakEngine() override {
    {
      std::lock_guard lock(jobMutex_);
      quit_ = true;
      interrupt_ = true;
    }
    jobReady_.notify_all();
    if (worker_.joinable()) worker_.join();
  }

  bool start() override {
    if (started_) return true;
    {
      std::lock_guard lock(gEspeakMutex);
      if (!initialiseLibrary(startError_)) return false;
      nativeRate_ = gEspeak->getSampleRate();
      for (const espeak_VOICE** voice = gEspeak->listVoices(nullptr); voice && *voice; ++voice)
        voices_.push_back({fromUtf8((*voice)->name), (*voice)->identifier ? (*voice)->identifier : (*voice)->name});
      if (gEspeak->setVoiceByName(kLibraryDefaultVoice) == ENS_OK) {
        if (const espeak_VOICE* current = gEspeak->getCurrentVoice(); current && current->name)
          defaultVoice_ = fromUtf8(current->name);
      }
    }
    settings_.format = {nativeRate_, 1, 16};
    if (const VoiceEntry* entry = find(defaultVoice_)) settings_.voiceIdentifier = entry->identifier;
    started_ = true;
    worker_ = std::thread(&EspeakEngine::work, this);
    return true;
  }

  std::wstring startError() const override { return startError_; }

  std::vector<std::wstring> voiceNames() const override {
    std::vector<std::wstring> names;
    for (const VoiceEntry& voice : voices_) names.push_back(voice.name);
    return names;
  }

  std::wstring defaultVoiceName() const override { return defaultVoice_; }

  bool selectVoice(const std::wstring& name) override {
    const VoiceEntry* entry = find(name);
    if (!entry) return false;
    std::lock_guard lock(settingsMutex_);
    settings_.voiceIdentifier = entry->identifier;
    return true;
  }

  bool openDefaultOutput() override {
    if (!started_) return false;
    std::unique_ptr<AudioSink> sink = openSink_(currentSettings().format);
    if (!sink) return false;
    audible_ = sink->audible();
    std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
    return true;
  }

  bool setOutputFormat(const AudioFormat& format) override {
    if (format.sampleRate < 8000 || format.sampleRate > 48000) return false;
    if (format.channels < 1 || format.channels > 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    std::lock_guard lock(settingsMutex_);
    settings_.format = format;
    return true;
  }

  bool audible() const override { return audible_; }

  void setRate(int rate) override {
    std::lock_guard lock(settingsMutex_);
    settings_.rate = rate;
  }

  void setVolume(int volume) override {
    std::lock_guard lock(settingsMutex_);
    settings_.volume = std::clamp(volume, 0, 100);
  }

  bool speak(const std::wstring& text, bool purgeFirst) override {
    if (!started_) return false;
    {
      std::lock_guard lock(jobMutex_);
      if (purgeFirst) {
        jobs_.clear();
        interrupt_ = true;
      }
      jobs_.push_back(text);
    }
    jobReady_.notify_one();
    return true;
  }

 private:
  struct Settings {
    std::string voiceIdentifier;
    int rate = 0;
    int volume = 100;
    AudioFormat format;
  };

  // What one utterance needs inside the synthesiser's callback.
  struct Utterance {
    EspeakEngine* engine;
    AudioSink* sink;
    MonoStreamConverter converter;
    std::vector<uint8_t> buffer;
  };

  const VoiceEntry* find(const std::wstring& name) const {
    for (const VoiceEntry& voice : voices_)
      if (voice.name == name) return &voice;
    return nullptr;
  }

  Settings currentSettings() {
    std::lock_guard lock(settingsMutex_);
    return settings_;
  }

  void work() {
    for (;;) {
      std::wstring text;
      {
        std::unique_lock lock(jobMutex_);
        const auto ready = [this] { return quit_ || !jobs_.empty(); };
        if (!jobReady_.wait_for(lock, kKeepDeviceOpen, ready)) {
          {
            std::lock_guard sinkLock(sinkMutex_);
            sink_.reset();
          }
          jobReady_.wait(lock, ready);
        }
        if (quit_) return;
        text = std::move(jobs_.front());
        jobs_.pop_front();
        // A purge that came before this text was taken is over; one that comes later stops it.
        interrupt_ = false;
      }
      say(text);
    }
  }

  void say(const std::wstring& text) {
    const Settings settings = currentSettings();
    std::unique_ptr<AudioSink> sink;
    {
      std::lock_guard lock(sinkMutex_);
      sink = std::move(sink_);
    }
    if (!sink || !(sink->format() == settings.format)) {
      sink.reset();  // one device handle at a time
      sink = openSink_(settings.format);
      if (sink) audible_ = sink->audible();
    }
    if (!sink) return;
    Utterance utterance{this, sink.get(), MonoStreamConverter(nativeRate_, settings.format), {}};
    const std::string utf8 = toUtf8(text);
    bool spoken = false;
    {
      std::lock_guard lock(gEspeakMutex);
      if (!settings.voiceIdentifier.empty()) gEspeak->setVoiceByName(settings.voiceIdentifier.c_str());
      gEspeak->setParameter(espeakRATE, wordsPerMinute(settings.rate), 0);
      gEspeak->setParameter(espeakVOLUME, settings.volume, 0);
      gEspeak->setSynthCallback(&EspeakEngine::receiveSamples);
      spoken = gEspeak->synthesize(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                                    nullptr, &utterance) == ENS_OK;
    }
    if (spoken && !interrupt_) sink->drain(interrupt_);
    if (interrupt_) sink->discard();
    std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
  }

  // Returns 1 to make the synthesiser abandon the utterance.
  static int receiveSamples(short* samples, int count, espeak_EVENT* events) {
    auto* utterance = static_cast<Utterance*>(events->user_data);
    EspeakEngine* engine = utterance->engine;
    if (engine->interrupt_) return 1;
    if (!samples || count <= 0) return 0;
    utterance->buffer.clear();
    utterance->converter.convert(samples, static_cast<size_t>(count), utterance->buffer);
    const size_t frames = utterance->buffer.size() / utterance->converter.output().bytesPerFrame();
    return utterance->sink->write(utterance->buffer.data(), frames, engine->interrupt_) ? 0 : 1;
  }

  SinkFactory openSink_;
  std::wstring startError_;
  std::atomic<bool> audible_{false};
  bool started_ = false;
  int nativeRate_ = 0;
  std::vector<VoiceEntry> voices_;
  std::wstring defaultVoice_;

  std::mutex settingsMutex_;
  Settings settings_;

  std::mutex sinkMutex_;
  std::unique_ptr<AudioSink> sink_;

  std::mutex jobMutex_;
  std::condition_variable jobReady_;
  std::deque<std::wstring> jobs_;
  bool quit_ = false;
  std::atomic<bool> interrupt_{false};
  std::thread worker_;
};

}  // namespace

std::unique_ptr<SpeechEngine> makeSystemSpeechEngine(SinkFactory openSink) {
  return std::make_unique<EspeakEngine>(std::move(openSink));
}

}  // namespace platform
