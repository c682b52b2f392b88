#include "study/window/unattended_study.h"

#include <QLineEdit>
#include <QPushButton>

#include "platform/windows/modal_dialog.h"
#include "platform/text.h"
#include "study/window/control_ids.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"

namespace study {

namespace {

// Often enough to keep a study short, rarely enough to let the window's own timers run between.
constexpr int kStepMs = 20;

}  // namespace

UnattendedStudy::UnattendedStudy(CTransDlg& window) : window_(window) {
  const std::optional<bool> accept = platform::automaticDialogAnswer();
  if (!accept) return;
  accepting_ = *accept;
  connect(&ticker_, &QTimer::timeout, this, &UnattendedStudy::step);
  ticker_.start(kStepMs);
}

void UnattendedStudy::step() {
  if (!window_.isVisible()) return;
  if (!accepting_) {
    ticker_.stop();
    platform::traceAutomaticAnswer(window_, "cancel");
    window_.reject();
    return;
  }
  switch (window_.flow().tstate) {
    case TurnReply:
    case TurnReinput: answer(); break;
    case TurnWaitNextTrigger:
      platform::traceAutomaticAnswer(window_, "ok");
      press(ctl::Ok);
      break;
    default: break;  // the window's own timers move it on
  }
}

void UnattendedStudy::answer() {
  const int mode = window_.flow().mode();
  if (mode == ModeCard) {
    // The card is turned to its answer first; only then do its verdict buttons take a click.
    press(ctl::ACard);
    platform::traceAutomaticAnswer(window_, "correct");
    press(ctl::CardOk);
  } else if (isChoiceMode(mode)) {
    const int slot = window_.rightChoice();
    platform::traceAutomaticAnswer(window_, std::to_string(slot + 1));
    press(ctl::FirstChoiceButton + slot);
  } else {
    const CorrectAnswerList& answers = window_.correctAnswers();
    const int next = answers.firstUnanswered();
    if (next < 0) return;
    const std::wstring& text = answers.text(next);
    window_.findChild<QLineEdit*>(QString("id%1").arg(ctl::ReplyEdit))->setText(QString::fromStdWString(text));
    platform::traceAutomaticAnswer(window_, platform::toUtf8(text));
    press(ctl::Ok);
  }
}

void UnattendedStudy::press(int id) {
  if (auto* button = window_.findChild<QPushButton*>(QString("id%1").arg(id))) button->click();
}

}  // namespace study
