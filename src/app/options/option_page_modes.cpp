#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "app/common/number_edit.h"
#include "app/options/option_pages.h"
#include "services/app_settings.h"

namespace {

constexpr int kCheckWidth = 420;
constexpr int kRow = 22;

}  // namespace

COptionpageReplyInput::COptionpageReplyInput(QWidget* parent) : OptionPage(200, parent) {
  ignoreCase_ = addCheck("ignore-case", L"大文字と小文字を区別しない(&I)", {10, 10, kCheckWidth, kRow});
  decideWithoutReturn_ =
      addCheck("decide-without-return", L"Enter キーを押さなくても正解を判定する(&D)", {10, 34, kCheckWidth, kRow});

  QLabel* startLabel = nullptr;
  useStartLimit_ = addCheck("use-reply-start-limit-je", L"入力を始めるまでの時間を制限する(&S)", {10, 66, kCheckWidth, kRow});
  startLimit_ = addNumber("reply-start-limit-count-je", L"制限時間 (ミリ秒)", 500, 30000, 90, &startLabel, 30);
  enableWhile([this] { return useStartLimit_->isChecked(); }, {startLimit_, startLabel}, {useStartLimit_});

  QLabel* replyLabel = nullptr;
  useReplyLimit_ = addCheck("use-reply-limit-ej", L"解答の時間を制限する(&L)", {10, 120, kCheckWidth, kRow});
  replyLimit_ = addNumber("reply-limit-ej", L"制限時間 (ミリ秒)", 1000, 30000, 144, &replyLabel, 30);
  enableWhile([this] { return useReplyLimit_->isChecked(); }, {replyLimit_, replyLabel}, {useReplyLimit_});

  multiAll_ = addRadio("multi-judge-count-0", L"解答が複数ある問題は全部答えて正解(&A)", {10, 176, kCheckWidth, kRow});
  multiCount_ = addRadio("multi-judge-count-1", L"解答が複数ある問題は次の数だけ答えれば正解(&M)", {10, 200, kCheckWidth, kRow});
  auto* multi = new QButtonGroup(this);
  multi->addButton(multiAll_);
  multi->addButton(multiCount_);
  QLabel* multiLabel = nullptr;
  multiOkCount_ = addNumber("multi-judge-ok-on-over-count", L"正解とする解答の数", 1, 5, 224, &multiLabel, 30);
  enableWhile([this] { return multiCount_->isChecked(); }, {multiOkCount_, multiLabel}, {multiAll_, multiCount_});

  judgeByHead_ = addCheck("judge-by-head-reply", L"解答の先頭が合っていれば正解とする(&H)", {10, 256, kCheckWidth, kRow});
  judgeBySub_ = addCheck("judge-by-sub-reply", L"解答の一部が合っていれば正解とする(&P)", {10, 280, kCheckWidth, kRow});
  QLabel* subLabel = nullptr;
  subCount_ = addNumber("judge-sub-count", L"合っていればよい文字数", 1, 50, 304, &subLabel, 30);
  enableWhile([this] { return judgeByHead_->isChecked() || judgeBySub_->isChecked(); }, {subCount_, subLabel},
              {judgeByHead_, judgeBySub_});
  // The two rules exclude each other: a click on one takes the other's check away.
  connect(judgeByHead_, &QCheckBox::clicked, this, [this] { judgeBySub_->setChecked(false); });
  connect(judgeBySub_, &QCheckBox::clicked, this, [this] { judgeByHead_->setChecked(false); });
}

void COptionpageReplyInput::load(const AppSettings& settings, bool defaults) {
  ignoreCase_->setChecked(pick(settings.ignoreCase, defaults));
  decideWithoutReturn_->setChecked(pick(settings.decideWithoutReturn, defaults));
  useStartLimit_->setChecked(pick(settings.useReplyStartLimitJe, defaults));
  startLimit_->setNumber(pick(settings.replyStartLimitCountJe, defaults));
  useReplyLimit_->setChecked(pick(settings.useReplyLimitEj, defaults));
  replyLimit_->setNumber(pick(settings.replyLimitEj, defaults));
  (pick(settings.multiJudgeCount, defaults) == 1 ? multiCount_ : multiAll_)->setChecked(true);
  multiOkCount_->setNumber(pick(settings.multiJudgeOkOnOverCount, defaults));
  judgeByHead_->setChecked(pick(settings.judgeByHeadReply, defaults));
  judgeBySub_->setChecked(pick(settings.judgeBySubReply, defaults));
  subCount_->setNumber(pick(settings.judgeSubCount, defaults));
  updateEnabled();
}

void COptionpageReplyInput::store(AppSettings& settings) {
  settings.ignoreCase.value = ignoreCase_->isChecked();
  settings.decideWithoutReturn.value = decideWithoutReturn_->isChecked();
  settings.useReplyStartLimitJe.value = useStartLimit_->isChecked();
  settings.replyStartLimitCountJe.value = *startLimit_->number();
  settings.useReplyLimitEj.value = useReplyLimit_->isChecked();
  settings.replyLimitEj.value = *replyLimit_->number();
  settings.multiJudgeCount.value = multiCount_->isChecked() ? 1 : 0;
  settings.multiJudgeOkOnOverCount.value = *multiOkCount_->number();
  settings.judgeByHeadReply.value = judgeByHead_->isChecked();
  settings.judgeBySubReply.value = judgeBySub_->isChecked();
  settings.judgeSubCount.value = *subCount_->number();
}

COptionpageReplySelect::COptionpageReplySelect(QWidget* parent) : OptionPage(201, parent) {
  showEj4_ = addLimit("use-show-limit-ej4", L"英→日: 選択肢を表示するまでの時間を使う(&1)", "show-limit-ej4", 0, 5000, 10);
  replyEj4_ = addLimit("use-reply-limit-ej4", L"英→日: 解答の時間を制限する(&2)", "reply-limit-ej4", 1000, 30000, 64);
  showJe4_ = addLimit("use-show-limit-je4", L"日→英: 選択肢を表示するまでの時間を使う(&3)", "show-limit-je4", 0, 5000, 118);
  replyJe4_ = addLimit("use-reply-limit-je4", L"日→英: 解答の時間を制限する(&4)", "reply-limit-je4", 1000, 30000, 172);
  selectionReturn_ =
      addCheck("use-selection-str-return", L"選択肢の問題文を改行して表示する(&R)", {10, 230, kCheckWidth, kRow});
}

COptionpageReplySelect::Limit COptionpageReplySelect::addLimit(const char* useName, const wchar_t* useText,
                                                               const char* name, int low, int high, int y) {
  QLabel* label = nullptr;
  Limit limit{addCheck(useName, useText, {10, y, kCheckWidth, kRow}),
              addNumber(name, L"時間 (ミリ秒)", low, high, y + 24, &label, 30)};
  enableWhile([use = limit.use] { return use->isChecked(); }, {limit.value, label}, {limit.use});
  return limit;
}

void COptionpageReplySelect::loadLimit(const Limit& limit, bool use, int value) {
  limit.use->setChecked(use);
  limit.value->setNumber(value);
}

void COptionpageReplySelect::storeLimit(const Limit& limit, BoolSetting& use, IntSetting& value) {
  use.value = limit.use->isChecked();
  value.value = *limit.value->number();
}

void COptionpageReplySelect::load(const AppSettings& s, bool defaults) {
  loadLimit(showEj4_, pick(s.useShowLimitEj4, defaults), pick(s.showLimitEj4, defaults));
  loadLimit(replyEj4_, pick(s.useReplyLimitEj4, defaults), pick(s.replyLimitEj4, defaults));
  loadLimit(showJe4_, pick(s.useShowLimitJe4, defaults), pick(s.showLimitJe4, defaults));
  loadLimit(replyJe4_, pick(s.useReplyLimitJe4, defaults), pick(s.replyLimitJe4, defaults));
  selectionReturn_->setChecked(pick(s.useSelectionStrReturn, defaults));
  updateEnabled();
}

void COptionpageReplySelect::store(AppSettings& s) {
  storeLimit(showEj4_, s.useShowLimitEj4, s.showLimitEj4);
  storeLimit(replyEj4_, s.useReplyLimitEj4, s.replyLimitEj4);
  storeLimit(showJe4_, s.useShowLimitJe4, s.showLimitJe4);
  storeLimit(replyJe4_, s.useReplyLimitJe4, s.replyLimitJe4);
  s.useSelectionStrReturn.value = selectionReturn_->isChecked();
}

COptionpageReplyCard::COptionpageReplyCard(QWidget* parent) : OptionPage(241, parent) {
  showAnswer_ = addCheck("show-answer-on-make-exam-card", L"カードの最初の面に解答を表示する(&A)",
                         {10, 10, kCheckWidth, kRow});
}

void COptionpageReplyCard::load(const AppSettings& settings, bool defaults) {
  showAnswer_->setChecked(pick(settings.showAnswerOnMakeExamCard, defaults));
}

void COptionpageReplyCard::store(AppSettings& settings) {
  settings.showAnswerOnMakeExamCard.value = showAnswer_->isChecked();
}
