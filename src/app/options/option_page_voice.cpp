#include "app/options/option_page_voice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <cwchar>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "platform/speech/agent_link.h"
#include "platform/files/file_system.h"
#include "platform/speech/speech_stream_format.h"
#include "services/app_settings.h"
#include "services/shell_files.h"
#include "services/text_helpers.h"
#include "study/sound/line_reader.h"

namespace {

// Where the speech engine and more voices for it are found.
constexpr wchar_t kSpeechEngineSite[] = L"https://github.com/espeak-ng/espeak-ng";
constexpr size_t kLineCapacity = 1024;
constexpr int kSliderPage = 5;
constexpr int kRow = 22;

enum ControlId {
  kUseWav = 1199, kUseVoice = 1169, kDownload = 1012, kVoices = 1196, kRate = 1179, kVolume = 1181, kFormats = 1180,
  kUseAgent = 1170, kAgentEngines = 1197, kPitch = 1185, kPitchText = 1275, kAgentVolume = 1184,
  kAgentVolumeText = 1274, kTestText = 1176, kTest = 1015, kClipboard = 1171,
  kVoicesLabel = 1182, kRateLabel = 1186, kVolumeLabel = 1187, kFormatsLabel = 1188, kEnginesLabel = 1183,
  kPitchLabel = 1190, kAgentVolumeLabel = 1189, kTestLabel = 1177,
};

// A label whose mnemonic moves the focus to the control it names.
QLabel* idLabel(QWidget* page, int id, const wchar_t* text, const QRect& rect, QWidget* buddy) {
  QLabel* label = withId(dialogText(page, text, rect), id);
  label->setBuddy(buddy);
  return label;
}

QWidget* child(QWidget* page, int id) { return page->findChild<QWidget*>(QString("id%1").arg(id)); }

}  // namespace

std::vector<AgentEngine> readAgentEngines(const std::wstring& file) {
  std::vector<AgentEngine> engines;
  const platform::UniqueFile in = platform::openFile(file, "rb");
  if (!in) return engines;
  wchar_t name[kLineCapacity], text[kLineCapacity], number[kLineCapacity];
  while (readLineNoNewline(name, kLineCapacity, in.get()) && readLineNoNewline(text, kLineCapacity, in.get()) &&
         readLineNoNewline(number, kLineCapacity, in.get())) {
    unsigned value = 0;
    if (std::swscanf(number, L"%x", &value) == 1) engines.push_back({name, text, value});
  }
  return engines;
}

COptionpageVoice::COptionpageVoice(KlvApp& app, QWidget* parent)
    : OptionPage(169, parent), app_(app), speechAvailable_(app.speechVoice.available()) {
  useWav_ = dialogControl<QCheckBox>(this, kUseWav, {10, 4, 436, kRow});
  useWav_->setText(QString::fromWCharArray(L"&WAVファイルを再生する（問題にWAVファイルがある場合のみ再生します）"));
  useVoice_ = dialogControl<QCheckBox>(this, kUseVoice, {10, 30, 250, kRow});
  useVoice_->setText(QString::fromWCharArray(L"音声再生を利用する(&S)"));
  auto* download = dialogControl<QPushButton>(this, kDownload, {270, 30, 170, kRow});
  download->setText(QString::fromWCharArray(L"ダウンロードサイトを開く(&D)"));

  voices_ = dialogControl<QComboBox>(this, kVoices, {140, 56, 300, kRow});
  idLabel(this, kVoicesLabel, L"音声エンジン(&E)", {30, 56, 110, kRow}, voices_);
  rate_ = addSlider(kRate, -10, 10, {140, 82, 300, kRow});
  idLabel(this, kRateLabel, L"速度(&R)", {30, 82, 110, kRow}, rate_);
  volume_ = addSlider(kVolume, 0, 100, {140, 108, 300, kRow});
  idLabel(this, kVolumeLabel, L"音量(&V)", {30, 108, 110, kRow}, volume_);
  formats_ = dialogControl<QComboBox>(this, kFormats, {140, 134, 300, kRow});
  idLabel(this, kFormatsLabel, L"フォーマット(&F)", {30, 134, 110, kRow}, formats_);

  useAgent_ = dialogControl<QCheckBox>(this, kUseAgent, {10, 166, 430, kRow});
  useAgent_->setText(QString::fromWCharArray(L"Agent による音声再生を利用する(&A)"));
  agentEngines_ = dialogControl<QComboBox>(this, kAgentEngines, {140, 192, 300, kRow});
  idLabel(this, kEnginesLabel, L"音声エンジン(&G)", {30, 192, 110, kRow}, agentEngines_);
  pitch_ = addSlider(kPitch, 0, 300, {140, 218, 240, kRow});
  idLabel(this, kPitchLabel, L"ピッチ(&P)", {30, 218, 110, kRow}, pitch_);
  pitchText_ = readOnlyField(dialogControl<QLineEdit>(this, kPitchText, {386, 218, 54, kRow}));
  // The agent's volume is kept and sent but not offered.
  agentVolume_ = addSlider(kAgentVolume, 0, 100, {140, 244, 240, kRow});
  idLabel(this, kAgentVolumeLabel, L"音量(&L)", {30, 244, 110, kRow}, agentVolume_)->hide();
  agentVolume_->hide();
  agentVolumeText_ = dialogControl<QLineEdit>(this, kAgentVolumeText, {386, 244, 54, kRow});
  agentVolumeText_->hide();

  testText_ = dialogControl<QLineEdit>(this, kTestText, {120, 280, 240, kRow});
  idLabel(this, kTestLabel, L"発音テスト(&X)", {10, 280, 110, kRow}, testText_);
  auto* test = dialogControl<QPushButton>(this, kTest, {366, 280, 74, kRow});
  test->setText(QString::fromWCharArray(L"ﾃｽﾄ(&T)"));
  clipboardCopy_ = dialogControl<QCheckBox>(this, kClipboard, {10, 316, 430, kRow});
  clipboardCopy_->setText(QString::fromWCharArray(L"発音するタイミングでクリップボードに正解文をコピーする(&C)"));

  for (int code = platform::kFirstStreamFormat; code <= platform::kLastStreamFormat; ++code)
    formats_->addItem(QString::fromStdWString(platform::streamFormatName(code)), code);
  for (const std::wstring& name : app.speechVoice.voiceNames()) voices_->addItem(QString::fromStdWString(name));

  connect(useWav_, &QCheckBox::clicked, this, &COptionpageVoice::updateStates);
  connect(useVoice_, &QCheckBox::clicked, this, &COptionpageVoice::onUseVoice);
  connect(useAgent_, &QCheckBox::clicked, this, &COptionpageVoice::onUseAgent);
  connect(download, &QPushButton::clicked, this, [] { ShellOpen(kSpeechEngineSite); });
  connect(test, &QPushButton::clicked, this, &COptionpageVoice::onTest);
  connect(formats_, &QComboBox::currentIndexChanged, this, &COptionpageVoice::onFormat);
  connect(voices_, &QComboBox::currentIndexChanged, this, &COptionpageVoice::onVoice);
  connect(agentEngines_, &QComboBox::currentIndexChanged, this, &COptionpageVoice::onEngine);
}

QSlider* COptionpageVoice::addSlider(int id, int low, int high, const QRect& rect) {
  auto* slider = dialogControl<QSlider>(this, id, rect);
  slider->setOrientation(Qt::Horizontal);
  slider->setRange(low, high);
  slider->setPageStep(kSliderPage);
  connect(slider, &QSlider::valueChanged, this, [this, id](int position) { onSlider(id, position); });
  return slider;
}

void COptionpageVoice::load(const AppSettings& settings, bool) {
  loading_ = true;
  useWav_->setChecked(settings.useWavVoice.value);
  useVoice_->setChecked(settings.useVoice.value);
  useAgent_->setChecked(settings.useAgentVoice.value);
  clipboardCopy_->setChecked(settings.useClipboardCopyOnPronounce.value);
  rate_->setValue(settings.voiceRate.value);
  volume_->setValue(settings.voiceVolume.value);
  pitch_->setValue(settings.agentPitch.value);
  pitchText_->setText(QString::number(pitch_->value()));
  agentVolume_->setValue(settings.agentVolume.value);
  agentVolumeText_->setText(QString::number(agentVolume_->value()));

  // voice5-id naming no voice of the engine leaves the engine's default in use: that one shows.
  int voice = voices_->findText(QString::fromStdWString(settings.voice5Id.value));
  if (voice < 0) voice = voices_->findText(QString::fromStdWString(app_.speechVoice.voiceName()));
  voices_->setCurrentIndex(voice);
  voiceDescription_ = voice >= 0 ? voices_->itemText(voice).toStdWString() : settings.voice5Id.value;
  formats_->setCurrentIndex(speechAvailable_ ? formats_->findData(settings.voiceFormat.value) : -1);

  engines_ = readAgentEngines(settings.katmodeFilePath.value);
  agentEngines_->clear();
  for (const AgentEngine& engine : engines_) agentEngines_->addItem(QString::fromStdWString(engine.name));
  agentEngines_->setCurrentIndex(-1);
  unsigned number = 0;
  wchar_t text[129] = {};
  if (std::swscanf(settings.agentLanguageId.value.c_str(), L"%x,%128ls", &number, text) == 2) {
    for (size_t i = 0; i < engines_.size(); ++i) {
      if (engines_[i].number == number && engines_[i].text == text) {
        agentEngines_->setCurrentIndex(static_cast<int>(i));
        break;
      }
    }
  }
  if (settings.useAgentVoice.value) {
    if (const auto agent = platform::FindAgentSpeakerWindow())
      platform::sendAgentCommand(*agent, platform::AgentEngine, settings.agentLanguageId.value, winId());
  }
  updateStates();
  testText_->setText("Kelvara");
  loading_ = false;
}

void COptionpageVoice::store(AppSettings& settings) {
  settings.useWavVoice.value = useWav_->isChecked();
  settings.useVoice.value = useVoice_->isChecked();
  settings.useAgentVoice.value = useAgent_->isChecked();
  settings.useClipboardCopyOnPronounce.value = clipboardCopy_->isChecked();
  settings.voice5Id.value = voiceDescription_;
  settings.voiceRate.value = rate_->value();
  settings.voiceVolume.value = volume_->value();
  settings.agentPitch.value = pitch_->value();
  settings.agentVolume.value = agentVolume_->value();
  if (const int engine = agentEngines_->currentIndex(); engine >= 0)
    settings.agentLanguageId.value = engineId(engines_[engine]);
}

void COptionpageVoice::updateStates() {
  const bool speech = speechAvailable_ && useVoice_->isChecked();
  const bool agent = useAgent_->isChecked();
  for (int id : {kVolumeLabel, kVolume, kRateLabel, kRate, kFormatsLabel, kFormats, kVoicesLabel, kVoices})
    child(this, id)->setEnabled(speech);
  for (int id : {kPitchText, kPitch, kPitchLabel, kAgentVolumeText, kAgentVolume, kAgentVolumeLabel, kEnginesLabel,
                 kAgentEngines})
    child(this, id)->setEnabled(agent);
  for (int id : {kTest, kTestText, kTestLabel}) child(this, id)->setEnabled(speech || agent);
  useVoice_->setEnabled(speechAvailable_);
  // Why the words will not be heard, on the button that would speak them.
  child(this, kTest)->setToolTip(QString::fromStdWString(app_.speechVoice.silenceReason()));
}

void COptionpageVoice::onUseVoice() {
  if (useVoice_->isChecked()) useAgent_->setChecked(false);
  updateStates();
}

void COptionpageVoice::onUseAgent() {
  if (useAgent_->isChecked()) {
    if (!platform::EnsureAgentSpeaker()) {
      tell(L"KlvAgent が利用できません");
      useAgent_->setChecked(false);
    } else {
      useVoice_->setChecked(false);
    }
  }
  updateStates();
}

void COptionpageVoice::onFormat() {
  if (loading_ || formats_->currentIndex() < 0) return;
  const int code = formats_->currentData().toInt();
  app_.speechVoice.SetSpeechOutputFormat(code);
  app_.settings->voiceFormat.value = code;
}

void COptionpageVoice::onVoice() {
  if (loading_ || voices_->currentIndex() < 0) return;
  const std::wstring name = voices_->currentText().toStdWString();
  if (app_.speechVoice.selectVoice(name)) voiceDescription_ = name;
}

void COptionpageVoice::onEngine() {
  if (loading_ || agentEngines_->currentIndex() < 0) return;
  toAgent(platform::AgentEngine, engineId(engines_[agentEngines_->currentIndex()]));
}

void COptionpageVoice::onSlider(int id, int position) {
  if (loading_) return;
  switch (id) {
    case kRate: app_.speechVoice.setRate(position); break;
    case kVolume: app_.speechVoice.setVolume(position); break;
    case kPitch:
      pitchText_->setText(QString::number(position));
      toAgent(platform::AgentPitch, std::to_wstring(position));
      break;
    case kAgentVolume:
      agentVolumeText_->setText(QString::number(position));
      toAgent(platform::AgentVolume, std::to_wstring(position));
      break;
  }
}

void COptionpageVoice::onTest() {
  const std::wstring text = testText_->text().toStdWString();
  if (useAgent_->isChecked()) toAgent(platform::AgentSpeak, text);
  if (!useVoice_->isChecked()) return;
  if (speechAvailable_) SpeakText(app_.speechVoice, text, true);
  if (const std::wstring silence = app_.speechVoice.silenceReason(); !silence.empty()) tell(silence);
}

void COptionpageVoice::toAgent(uint32_t command, const std::wstring& text) {
  if (const auto agent = platform::FindAgentSpeakerWindow()) platform::sendAgentCommand(*agent, command, text, 0);
}

std::wstring COptionpageVoice::engineId(const AgentEngine& engine) {
  std::wstring id;
  formatString(id, L"%x,%ls", engine.number, engine.text.c_str());
  return id;
}
