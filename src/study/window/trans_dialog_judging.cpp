// Judging the reply and everything that follows a verdict: counting, sounds, showing the answer,
// flashing, re-input, the end of the study and saving it.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "study/window/control_ids.h"
#include "study/study_modes.h"
#include "study/judging/text_compare.h"
#include "study/window/trans_dialog.h"

namespace study {

namespace {

constexpr int64_t kAnswerCapMs = 60000;

}  // namespace

void CTransDlg::OnReply() {
  switch (flow_.tstate) {
    case TurnReply: JudgeReply(); break;
    case TurnReinput: JudgeReinput(); break;
    case TurnWaitNextTrigger: NextQuestion(); break;
    default: break;
  }
}

void CTransDlg::onChoice(int choice) {
  chosenChoice_ = choice;
  OnReply();
}

void CTransDlg::JudgeReply() {
  const int mode = setup_.mode;
  if (isChoiceMode(mode)) {
    OnHint();
    for (int slot = 0; slot < 4; ++slot) {
      if (choiceIds_[slot] < 0) continue;
      const StudyQuestion& q = choiceQuestions_[slot];
      setControlText(ctl::FirstChoiceText + slot, joinTexts(q.questions, L" ") + L" = " + joinTexts(q.answers, L"/"));
    }
    StopLimitTimers(true);
    showLimitOn_ = replyLimitOn_ = false;
    showControl(ctl::ReplyLimit, false);
    lastReplyCorrect_ = chosenChoice_ == rightChoice_;
    ApplyJudgement();
    return;
  }
  if (mode == ModeCard) return;  // the card's verdict comes from its own buttons

  StopLimitTimers(true);
  const std::wstring reply = replyText();
  const StudySettings settings = host_.settings();
  const TypedJudgement judgement = CheckTypedAnswer(reply, answers_, mode, settings.judge, true);
  if (judgement.message) message_ = *judgement.message;
  if (judgement.lastReplyCorrect) lastReplyCorrect_ = *judgement.lastReplyCorrect;
  switch (judgement.result) {
    case TypedWrong:
      RecordMistake();
      break;
    case TypedEndCommand:
      reject();
      return;
    case TypedExitCommand:
      exitRequested_ = true;
      accept();
      return;
    default:
      host_.playJudgementSound(true);
      typed_ += static_cast<unsigned>(utf16Length(reply));
      if (AwaitsFurtherAnswers(answers_, settings.judge)) {
        message_ = L"ほかには？";
        replyEdit()->clear();
        repaintWindow();
        return;
      }
      OnHint();
      RecordAnswerTime();
      break;
  }
  if (mode == ModeDictation) {
    setControlText(ctl::QuestionText, joinTexts(question_.questions, L"\r\n"));
    showControl(ctl::QuestionText, true);
  }
  if (mode == ModeEj) {
    killTimer(TimerReplyLimit);
    replyLimitOn_ = false;
  }
  enableControl(ctl::Ok, false);
  showControl(ctl::AnswerDisplay, true);
  ApplyJudgement();
}

void CTransDlg::onReplyEdited(const QString&) {
  const int mode = setup_.mode;
  const StudySettings settings = host_.settings();
  if (!isTypedMode(mode) || !settings.decideWithoutReturn) return;
  if (flow_.tstate == TurnReinput) {
    auto* edit = replyEdit();
    const std::wstring trimmed = trimBlanks(edit->text().toStdWString());
    if (MatchesCurrentAnswer(answers_, trimmed, mode, settings.judge)) OnReply();
    return;
  }
  if (flow_.tstate != TurnReply) return;
  if (isCorrectResult(CheckTypedAnswer(replyText(), answers_, mode, settings.judge, false).result)) OnReply();
}

void CTransDlg::OnCardVerdict(bool correct) {
  // A verdict counts once: only while the card waits for it.
  if (setup_.mode != ModeCard || flow_.tstate != TurnReply) return;
  enableControl(ctl::CardOk, false);
  enableControl(ctl::CardNg, false);
  lastReplyCorrect_ = correct;
  ApplyJudgement();
}

void CTransDlg::addReplyTime() {
  const int64_t spent = std::min(platform::tickCountMs() - answerStartTick_, kAnswerCapMs);
  replyMs_ += static_cast<unsigned>(std::max<int64_t>(spent, 0));
}

void CTransDlg::ApplyJudgement() {
  if (lastReplyCorrect_) addReplyTime();
  flow_.addPoints(lastReplyCorrect_);
  flow_.stepProgress(lastReplyCorrect_);
  progressBar()->setValue(flow_.progressPos);
  const int mode = setup_.mode;
  if (isTypedMode(mode)) {
    if (lastReplyCorrect_) {
      WaitAfterJudgement();
      return;
    }
    if (mode != ModeSpeedReply) showControl(ctl::MistakeDisplay, true);
    if (mode != ModeEj) {
      const int unanswered = answers_.firstUnanswered();
      ShowPronunciation(unanswered, question_, answers_.text(unanswered));
    }
    disableReplyEdit();
    StartFlash();
  } else if (isChoiceMode(mode)) {
    const std::wstring allAnswers = joinTexts(question_.answers, L" ");
    if (!lastReplyCorrect_) {
      RecordMistake();
      for (int i = 0; i < 5; ++i) enableControl(ctl::FirstChoiceButton + i, false);
      ShowPronunciation(-1, question_, allAnswers);
      StartFlash();
      return;
    }
    host_.playJudgementSound(true);
    message_ = L"正解！";
    RecordAnswerTime();
    ShowPronunciation(-1, question_, allAnswers);
    if (mode == ModeJe4) {
      CopyAnswerToClipboard(-1);
      host_.speak(question_.voiceFile, allAnswers);
    }
    for (int i = 0; i < 5; ++i) showControl(ctl::FirstChoiceButton + i, i == rightChoice_);
    if (host_.settings().stopAfterAnswer) {
      WaitForNextTrigger();
    } else {
      WaitAfterJudgement();
    }
  } else {
    if (!lastReplyCorrect_) {
      message_ = L"がんばりましょう！";
      repaintWindow();
      RecordMistake();
      StartFlash();
      return;
    }
    host_.playJudgementSound(true);
    message_ = L"正解！";
    RecordAnswerTime();
    WaitAfterJudgement();
  }
}

void CTransDlg::RecordAnswerTime() {
  const bool correct = lastReplyCorrect_;
  flow_.countAnswer(correct);
  pdb3::DailyQuestionResult& tally = record_.results[flow_.currentId];
  if (flow_.astate == PassFirst) {
    ++(correct ? tally.nc1 : tally.ni1);
  } else {
    ++(correct ? tally.nc2 : tally.ni2);
  }
  const int now = static_cast<int>(platform::nowSeconds());
  tally.LastStudyTime = now;
  const int64_t spent = std::min(platform::tickCountMs() - answerStartTick_, kAnswerCapMs);
  const double seconds = std::max<int64_t>(spent, 0) * 0.001;
  tally.ReplySec += seconds;
  platform::trace("elapsed sec : %lf\n", seconds);
  if (flow_.astate == PassFirst && !correct) tally.LastMistakeTimeOnFirstReply = now;
}

void CTransDlg::RecordMistake() {
  host_.playJudgementSound(false);
  flow_.queueMistake();
  RecordAnswerTime();
  firstWrongReply_ = replyText();
  OnHint();
}

void CTransDlg::OnHint() {
  if (hintShown_ || question_.hints.empty() || joinTexts(question_.hints, L"").empty()) return;
  showControl(ctl::HintText, true);
  showControl(ctl::HintButton, false);
  hintShown_ = true;
  startLimitTick_ = platform::tickCountMs();
}

void CTransDlg::WaitAfterJudgement() {
  flow_.tstate = TurnWaitDisplayAnswer;
  if (lastReplyCorrect_ && isTypedMode(setup_.mode)) {
    DisplayAnswerStep();
  } else {
    setTimer(TimerWait, host_.settings().correctWaitMsec);
  }
  repaintWindow();
}

void CTransDlg::DisplayAnswerStep() {
  if (setup_.mode == ModeSpeedReply) showControl(ctl::AnswerDisplay, false);
  if (answerStepIndex_ >= answers_.size()) {
    answerStepIndex_ = 0;
    OnWaitElapsed();
    return;
  }
  const std::wstring& answer = answers_.text(answerStepIndex_);
  CopyAnswerToClipboard(-1);
  setControlText(ctl::AnswerDisplay, answer);
  if (setup_.mode != ModeEj) {
    host_.speak(question_.voiceFile, answer);
    ShowPronunciation(answerStepIndex_, question_, answer);
  }
  ++answerStepIndex_;
  setTimer(TimerAnswerStep, host_.settings().correctWaitMsec);
  repaintWindow();
}

void CTransDlg::OnWaitElapsed() {
  const int mode = setup_.mode;
  if (!lastReplyCorrect_ || isChoiceMode(mode) || mode == ModeCard) {
    NextQuestion();
  } else if (mode == ModeDictation || host_.settings().stopAfterAnswer) {
    WaitForNextTrigger();
  } else {
    NextQuestion();
  }
}

void CTransDlg::StartFlash() {
  flow_.tstate = TurnWaitFlash;
  setControlText(ctl::AnswerDisplay, L"");
  setControlText(ctl::MistakeDisplay, L"");
  flashInverted_ = true;
  repaintWindow();
  flashLimit_ = host_.settings().incorrectWaitMsec;
  flashCount_ = 0;
  setTimer(TimerFlash, 100);
}

void CTransDlg::OnFlashStep() {
  if (flashLimit_ - flashCount_ * 100 >= 0) {
    flashInverted_ = !flashInverted_;
    ++flashCount_;
    repaintWindow();
    return;
  }
  killTimer(TimerFlash);
  flashInverted_ = false;
  flashCount_ = 0;
  if (setup_.mode == ModeCard) {
    NextQuestion();
  } else {
    RequireReinput();
  }
}

void CTransDlg::RequireReinput() {
  flow_.tstate = TurnReinput;
  const int mode = setup_.mode;
  enableControl(ctl::ReplyEdit, true);
  control(ctl::ReplyEdit)->setFocus();
  if (isChoiceMode(mode)) {
    message_ = platform::format(L"正解は %d 番でした。", rightChoice_ + 1);
    for (int i = 0; i < 5; ++i) showControl(ctl::FirstChoiceButton + i, i == rightChoice_);
    enableControl(ctl::FirstChoiceButton + rightChoice_, true);
    control(ctl::FirstChoiceButton + rightChoice_)->setFocus();
    if (mode == ModeJe4) {
      ShowPronunciation(-1, question_, joinTexts(question_.answers, L" "));
      CopyAnswerToClipboard(-1);
      host_.speak(question_.voiceFile, joinTexts(question_.answers, L" "));
    }
  } else {
    message_ = L"正しい答えを入力しなさい！";
    FindQuestionsByAnswer(firstWrongReply_);
    const std::wstring& expected = answers_.text(answers_.firstUnanswered());
    setControlText(ctl::AnswerDisplay, expected);
    CopyAnswerToClipboard(-1);
    showControl(ctl::AnswerDisplay, true);
    if (mode != ModeEj) host_.speak(question_.voiceFile, expected);
    enableControl(ctl::Ok, true);
    replyEdit()->clear();
  }
  repaintWindow();
}

void CTransDlg::JudgeReinput() {
  const int mode = setup_.mode;
  if (isChoiceMode(mode)) {
    if (chosenChoice_ != rightChoice_) {
      message_ = L"違う！";
    } else {
      message_ = L"OK!";
      ReinputDone();
    }
    repaintWindow();
    return;
  }
  auto* edit = replyEdit();
  const std::wstring reply = trimBlanks(edit->text().toStdWString());
  if (!MatchesCurrentAnswer(answers_, reply, mode, host_.settings().judge)) {
    message_ = L"ちがう！";
    FindQuestionsByAnswer(reply);
    edit->clear();
    edit->setFocus();
    repaintWindow();
    return;
  }
  const int matched = answers_.firstUnanswered();
  CopyAnswerToClipboard(-1);
  if (mode != ModeEj) host_.speak(question_.voiceFile, answers_.text(matched));
  answers_.markAnswered(matched);
  if (const int next = answers_.firstUnanswered(); next >= 0 && mode != ModeEj) {
    ShowPronunciation(next, question_, answers_.text(next));
  }
  if (answers_.firstUnanswered() >= 0) {
    message_ = platform::format(L"これも入力しなさい！（最初の間違え：%ls）", firstWrongReply_.c_str());
    setControlText(ctl::AnswerDisplay, answers_.text(answers_.firstUnanswered()));
    edit->clear();
    repaintWindow();
    return;
  }
  ReinputDone();
}

void CTransDlg::ReinputDone() {
  addReplyTime();
  CopyAnswerToClipboard(-1);
  if (setup_.mode == ModeJe4) host_.speak(question_.voiceFile, joinTexts(question_.answers, L" "));
  message_ = L"はい、ごくろうさま！";
  WaitAfterJudgement();
}

void CTransDlg::ShowCard() {
  answers_.clear();
  if (cardQuestionSide_) {
    setControlText(ctl::QuestionText, joinTexts(question_.questions, L"\r\n"));
    pronunciationCodes_.clear();
  } else {
    setControlText(ctl::QuestionText, joinTexts(question_.answers, L"\r\n"));
    SpeakAnswerCycle(question_);
    ShowPronunciation(-1, question_, joinTexts(question_.answers, L" "));
  }
  showControl(ctl::QCard, !cardQuestionSide_);
  showControl(ctl::ACard, cardQuestionSide_);
  control(cardQuestionSide_ ? ctl::ACard : ctl::QCard)->setFocus();
}

void CTransDlg::OnTurnCard() {
  if (setup_.mode != ModeCard || flow_.tstate != TurnReply) return;
  enableControl(ctl::CardOk, true);
  enableControl(ctl::CardNg, true);
  cardQuestionSide_ = !cardQuestionSide_;
  ShowCard();
  setControlText(ctl::HintText, joinTexts(question_.hints, L"\r\n"));
  repaintWindow();
}

void CTransDlg::EndStudy() {
  if (ended_) return;
  ended_ = true;
  killAllTimers();
  startLimitOn_ = replyLimitOn_ = showLimitOn_ = false;
  flashInverted_ = false;
  flow_.end();
  replyEdit()->clear();
  repaintWindow();
  record_.EndTime = static_cast<int>(platform::nowSeconds());
  const StudyOutcome outcome{record_,           setup_.mode,          flow_.all.mistakes, flow_.all.corrects,
                             flow_.now.mistakes, flow_.now.corrects, flow_.first.mistakes,
                             flow_.first.corrects, replyMs_,           typed_};
  host_.showResult(*this, outcome);
  accept();
}

void CTransDlg::accept() {
  if (saved_) return;
  saved_ = true;
  killAllTimers();
  // "!exit" can end a study before EndStudy ran: the daily log still needs its end.
  if (record_.EndTime == 0) record_.EndTime = static_cast<int>(platform::nowSeconds());
  record_.Strokes = static_cast<int>(typed_);
  host_.saveHistory(record_, flow_.points);
  QDialog::accept();
}

void CTransDlg::reject() {
  if (ended_ || saved_) return;
  switch (flow_.cancelPlan()) {
    case StudyFlow::CancelPlan::EndNow:
      EndStudy();
      return;
    case StudyFlow::CancelPlan::AskThenCut: {
      // The study's timers wait while the question is open, so nothing moves on behind it.
      const PausedTimers paused = pauseTimers();
      repaintWindow();
      const int answer = platform::messageBox(this, L"再回答を行いますか？\n（「いいえ」の場合、すぐに終了します。）",
                                              L"キャンセル？", platform::MbYesNoCancel);
      if (answer == platform::IdCancel) {
        resumeTimers(paused);
        return;
      }
      if (answer == platform::IdNo) {
        EndStudy();
        return;
      }
      break;
    }
    case StudyFlow::CancelPlan::CutFirstPass:
      killAllTimers();
      break;
  }
  flow_.cutFirstPass();
  NextQuestion();
}

}  // namespace study
