#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "app/shell/klv_app.h"
#include "app/common/number_edit.h"
#include "app/options/option_pages.h"
#include "services/app_settings.h"
#include "uictl/frames/colour/color_button.h"

COptionpageGeneral::COptionpageGeneral(KlvApp& app, QWidget* parent) : OptionPage(165, parent), app_(app) {
  addLabel(L"出題の順番", {10, 10, 300, 20});
  randomOn_ = addRadio("random-reply-on", L"ランダムに出題する(&R)", {20, 32, 300, 22});
  randomOff_ = addRadio("random-reply-off", L"問題集の順番どおりに出題する(&O)", {20, 56, 300, 22});
  auto* order = new QButtonGroup(this);
  order->addButton(randomOn_);
  order->addButton(randomOff_);
  questionCount_ = addNumber("default-question-count", L"一度に出題する問題の数(&N)", 0, 200, 96);
  osBackground_ = addCheck("use-os-default-background-color", L"背景にシステムの色を使う(&S)", {10, 136, 400, 22});
  QLabel* backgroundLabel = addLabel(L"背景色(&C)", {10, 166, 120, 22});
  background_ = new CUxColorButton(this);
  backgroundLabel->setBuddy(background_);
  background_->setObjectName("background-color");
  background_->setGeometry(130, 164, 100, 24);
  background_->EnableAutomaticButton(L"Default", AppSettings::kDefaultBackgroundColor, true);
  background_->EnableOtherButton(L"other", false, true);
  // A chosen colour is shown at once; the dialog's Cancel puts the stored one back.
  connect(background_, &CUxColorButton::clicked, this, [this] {
    app_.UpdateBackgroundBrush(chosenBackground());
    window()->update();
  });
  enableWhile([this] { return !osBackground_->isChecked(); }, {background_}, {osBackground_});
}

int COptionpageGeneral::chosenBackground() const {
  const COLORREF colour = background_->GetColor();
  return colour == platform::kNoColor ? AppSettings::kDefaultBackgroundColor : static_cast<int>(colour);
}

void COptionpageGeneral::load(const AppSettings& settings, bool defaults) {
  (pick(settings.randomReply, defaults) ? randomOn_ : randomOff_)->setChecked(true);
  questionCount_->setNumber(pick(settings.defaultQuestionCount, defaults));
  osBackground_->setChecked(pick(settings.useOsDefaultBackgroundColor, defaults));
  background_->SetColor(static_cast<COLORREF>(defaults ? AppSettings::kDefaultBackgroundColor : settings.backgroundColor));
  updateEnabled();
}

void COptionpageGeneral::store(AppSettings& settings) {
  settings.randomReply.value = randomOn_->isChecked();
  settings.defaultQuestionCount.value = *questionCount_->number();
  settings.useOsDefaultBackgroundColor.value = osBackground_->isChecked();
  settings.backgroundColor = chosenBackground();
  app_.UpdateBackgroundBrush(settings.backgroundColor);
}
