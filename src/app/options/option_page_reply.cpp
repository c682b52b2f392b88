#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "app/common/number_edit.h"
#include "app/options/option_pages.h"
#include "services/app_settings.h"
#include "services/shell_files.h"
#include "services/text_helpers.h"
#include "study/sound/sound_queue.h"

namespace {

constexpr int kRow = 22;
constexpr int kOpacityHighest = 100;
constexpr int kOpacityLowest = 20;
constexpr int kOpacityStep = 10;

QString opacityText(int percent) { return QString("%1%").arg(percent); }

// A file of the program's data folder; the folder itself for an empty name.
std::wstring soundPath(const AppSettings& settings, const wchar_t* fileName) {
  return settings.installPath.value + L"/data/" + fileName;
}

}  // namespace

COptionpageReply::COptionpageReply(const AppSettings& settings, SoundQueue& sounds, QWidget* parent)
    : OptionPage(166, parent), settings_(settings), sounds_(sounds) {
  correct_ = addSound("correct-sound", L"正解したときに効果音を鳴らす(&C)", 6, L"正解時の再生音",
                      L"正解時の効果音ファイルが見つかりません。設定し直してください。",
                      L"正解時の効果音ファイルが存在しません・・・。設定し直してください。");
  incorrect_ = addSound("incorrect-sound", L"間違えたときに効果音を鳴らす(&I)", 56, L"不正解時の再生音",
                        L"不正解時の効果音ファイルが見つかりません。設定し直してください。",
                        L"不正解時の効果音ファイルが存在しません・・・。設定し直してください。");
  correctWait_ = addNumber("correct-wait-msec", L"正解したあとの待ち時間 (ミリ秒)", 0, 5000, 108);
  incorrectWait_ = addNumber("incorrect-wait-msec", L"間違えたあとの待ち時間 (ミリ秒)", 0, 5000, 132);

  volume_ = new QSlider(Qt::Horizontal, this);
  volume_->setObjectName("sound-volume");
  volume_->setGeometry(160, 160, 200, kRow);
  volume_->setRange(0, 100);
  addLabel(L"効果音の音量(&V)", {10, 160, 150, kRow})->setBuddy(volume_);

  opacity_ = new QComboBox(this);
  opacity_->setObjectName("opacity");
  opacity_->setGeometry(260, 186, 80, kRow);
  for (int percent = kOpacityHighest; percent >= kOpacityLowest; percent -= kOpacityStep)
    opacity_->addItem(opacityText(percent));
  addLabel(L"学習画面の不透明度(&T)", {10, 186, 250, kRow})->setBuddy(opacity_);

  mistakesInOrder_ = addRadio("random-mistake-reply-off", L"間違えた問題を間違えた順に出題し直す(&O)", {10, 214, 420, kRow});
  mistakesAtRandom_ = addRadio("random-mistake-reply-on", L"間違えた問題をランダムに出題し直す(&R)", {10, 236, 420, kRow});
  auto* mistakes = new QButtonGroup(this);
  mistakes->addButton(mistakesInOrder_);
  mistakes->addButton(mistakesAtRandom_);

  alwaysShowHint_ = addCheck("always-show-hint", L"ヒントをいつも表示する(&H)", {10, 262, 210, kRow});
  stopAfterAnswer_ = addCheck("stop-after-answer", L"解答のあとで一時停止する(&P)", {225, 262, 220, kRow});
  showPronounce_ = addCheck("show-pronounce", L"発音記号を表示する(&N)", {10, 286, 210, kRow});
  showPronounceByImage_ = addCheck("show-pronounce-by-image", L"発音記号を画像で表示する(&G)", {225, 286, 220, kRow});
  keepWindowPos_ = addCheck("keep-last-reply-window-pos", L"学習画面の位置を覚える(&K)", {10, 310, 210, kRow});
  alwaysOnTop_ = addCheck("always-on-top", L"学習画面を常に手前に表示する(&A)", {225, 310, 220, kRow});
}

COptionpageReply::Sound COptionpageReply::addSound(const char* name, const wchar_t* useText, int y,
                                                   const wchar_t* browseTitle, const wchar_t* missingMessage,
                                                   const wchar_t* unplayableMessage) {
  const std::string base(name);
  Sound sound{addCheck((base + "-use").c_str(), useText, {10, y, 420, kRow}), new QLineEdit(this), browseTitle,
              missingMessage, unplayableMessage};
  sound.path->setObjectName(name);
  sound.path->setGeometry(30, y + 24, 270, kRow);
  QPushButton* browseButton = addButton((base + "-browse").c_str(), L"参照...", {304, y + 24, 70, kRow});
  QPushButton* playButton = addButton((base + "-play").c_str(), L"再生", {378, y + 24, 60, kRow});
  connect(browseButton, &QPushButton::clicked, this, [this, sound] { browse(sound); });
  connect(playButton, &QPushButton::clicked, this, [this, sound] { play(sound); });
  enableWhile([use = sound.use] { return use->isChecked(); }, {sound.path, browseButton, playButton}, {sound.use});
  return sound;
}

void COptionpageReply::browse(const Sound& sound) {
  std::wstring chosen;
  if (chooseFile(this, soundPath(settings_, L""), chosen, L"*.wav", sound.browseTitle,
                 {{L"WAV Files(*.wav)", L"*.wav"}}, true))
    sound.path->setText(QString::fromStdWString(chosen));
  else if (!chosen.empty())
    tell(L"ファイルが見つかりません。");
}

void COptionpageReply::play(const Sound& sound) {
  const std::wstring path = sound.path->text().toStdWString();
  const auto volume = static_cast<uint32_t>(volume_->value());
  if (!sounds_.playNow(path, volume, volume) && !path.empty()) tell(sound.unplayableMessage);
}

bool COptionpageReply::checkSound(const Sound& sound) {
  if (!sound.use->isChecked()) return true;
  const std::wstring path = sound.path->text().toStdWString();
  if (!path.empty() && fileExists(path)) return true;
  tell(sound.missingMessage);
  sound.path->setFocus();
  return false;
}

bool COptionpageReply::check() {
  if (!OptionPage::check()) return false;
  if (opacity_->currentText().isEmpty() || !opacity_->currentText().front().isDigit()) {
    tell(L"不透明度を選んでください。");
    opacity_->setFocus();
    return false;
  }
  return checkSound(correct_) && checkSound(incorrect_);
}

void COptionpageReply::loadSound(const Sound& sound, const std::wstring& path) {
  sound.use->setChecked(!path.empty());
  sound.path->setText(QString::fromStdWString(path));
}

void COptionpageReply::load(const AppSettings& s, bool defaults) {
  loadSound(correct_, defaults ? soundPath(s, L"Correct.wav") : s.correctSound.value);
  loadSound(incorrect_, defaults ? soundPath(s, L"Incorrect.wav") : s.incorrectSound.value);
  correctWait_->setNumber(pick(s.correctWaitMsec, defaults));
  incorrectWait_->setNumber(pick(s.incorrectWaitMsec, defaults));
  volume_->setValue(pick(s.soundVolume, defaults));
  const int entry = opacity_->findText(opacityText(pick(s.opacity, defaults)));
  opacity_->setCurrentIndex(entry >= 0 ? entry : 0);
  (pick(s.randomMistakeReply, defaults) ? mistakesAtRandom_ : mistakesInOrder_)->setChecked(true);
  alwaysShowHint_->setChecked(pick(s.alwaysShowHint, defaults));
  stopAfterAnswer_->setChecked(pick(s.stopAfterAnswer, defaults));
  showPronounce_->setChecked(pick(s.showPronounce, defaults));
  showPronounceByImage_->setChecked(pick(s.showPronounceByImage, defaults));
  keepWindowPos_->setChecked(pick(s.keepLastReplyWindowPos, defaults));
  alwaysOnTop_->setChecked(pick(s.alwaysOnTop, defaults));
  updateEnabled();
}

void COptionpageReply::store(AppSettings& s) {
  // A sound switched off is stored as no file at all.
  s.correctSound.value = correct_.use->isChecked() ? correct_.path->text().toStdWString() : L"";
  s.incorrectSound.value = incorrect_.use->isChecked() ? incorrect_.path->text().toStdWString() : L"";
  s.correctWaitMsec.value = *correctWait_->number();
  s.incorrectWaitMsec.value = *incorrectWait_->number();
  s.soundVolume.value = volume_->value();
  s.opacity.value = leadingNumber(opacity_->currentText().toStdWString());
  s.randomMistakeReply.value = mistakesAtRandom_->isChecked();
  s.alwaysShowHint.value = alwaysShowHint_->isChecked();
  s.stopAfterAnswer.value = stopAfterAnswer_->isChecked();
  s.showPronounce.value = showPronounce_->isChecked();
  s.showPronounceByImage.value = showPronounceByImage_->isChecked();
  s.keepLastReplyWindowPos.value = keepWindowPos_->isChecked();
  s.alwaysOnTop.value = alwaysOnTop_->isChecked();
}
