#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include "app/klv_app.h"
#include "app/number_edit.h"
#include "app/option_pages.h"
#include "services/app_settings.h"

COptionpageGeneral::COptionpageGeneral(KlvApp& app, QWidget* parent) : OptionPage(165, parent), app_(app) {
  addLabel(L"出題の順番", {10, 10, 300, 20});
  randomOn_ = addRadio("random-reply-on", L"ランダムに出題する(&R)", {20, 32, 300, 22});
  randomOff_ = addRadio("random-reply-off", L"問題集の順番どおりに出題する(&O)", {20, 56, 300, 22});
  auto* order = new QButtonGroup(this);
  order->addButton(randomOn_);
  order->addButton(randomOff_);
  questionCount_ = addNumber("default-question-count", L"一度に出題する問題の数(&N)", 0, 200, 96);
  // The background colour itself is chosen with the colour button of the control library.
  osBackground_ = addCheck("use-os-default-background-color", L"背景にシステムの色を使う(&S)", {10, 136, 400, 22});
}

void COptionpageGeneral::load(const AppSettings& settings, bool defaults) {
  (pick(settings.randomReply, defaults) ? randomOn_ : randomOff_)->setChecked(true);
  questionCount_->setNumber(pick(settings.defaultQuestionCount, defaults));
  osBackground_->setChecked(pick(settings.useOsDefaultBackgroundColor, defaults));
  updateEnabled();
}

void COptionpageGeneral::store(AppSettings& settings) {
  settings.randomReply.value = randomOn_->isChecked();
  settings.defaultQuestionCount.value = *questionCount_->number();
  settings.useOsDefaultBackgroundColor.value = osBackground_->isChecked();
  app_.UpdateBackgroundBrush(settings.backgroundColor);
}
