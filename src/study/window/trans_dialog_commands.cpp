// The study window's commands besides answering: its keys, the Func buttons, hints and answer
// lengths, the edit and previous-question menus, editing and saving questions, the search and
// the question list, speaking, the dictionary program and the clipboard.
#include <algorithm>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include "database/records/column_field.h"
#include "database/records/db_object.h"
#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "study/window/control_ids.h"
#include "study/dictionary/dictionary_link.h"
#include "study/skin/skin_script.h"
#include "study/study_modes.h"
#include "study/judging/text_compare.h"
#include "study/window/trans_dialog.h"
#include "study/window/trans_edit_dialog.h"
#include "services/database_failure.h"

namespace study {

namespace {

enum class KeyCommand {
  None, Swallow, Help, LastQuestionMenu, ShowAllSymbols, EditPopup, Hint, ShowHint, AnswerLength, ReloadSkin,
  SkinMenu, QuestionList, SpeakCurrent, SpeakPrevious, LookUp, Search,
};

KeyCommand commandOf(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers();
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool alt = modifiers & Qt::AltModifier;
  const bool shift = modifiers & Qt::ShiftModifier;
  switch (key.key()) {
    case Qt::Key_Escape: return KeyCommand::Swallow;
    case Qt::Key_B: return ctrl || alt ? KeyCommand::LastQuestionMenu : KeyCommand::None;
    case Qt::Key_D: return ctrl && shift ? KeyCommand::ShowAllSymbols : KeyCommand::None;
    case Qt::Key_E: return ctrl || alt ? KeyCommand::EditPopup : KeyCommand::None;
    case Qt::Key_F: return ctrl ? KeyCommand::Search : KeyCommand::None;
    case Qt::Key_G: return ctrl ? KeyCommand::Hint : KeyCommand::None;
    case Qt::Key_F1: return KeyCommand::Help;  // as Func01, which a skin may leave off the screen
    case Qt::Key_F2: return KeyCommand::ShowHint;
    case Qt::Key_F3: return KeyCommand::AnswerLength;
    case Qt::Key_F4: return alt ? KeyCommand::None : KeyCommand::EditPopup;
    case Qt::Key_F5: return KeyCommand::ReloadSkin;
    case Qt::Key_F6: return KeyCommand::SkinMenu;
    case Qt::Key_F7: return KeyCommand::QuestionList;
    case Qt::Key_F8: return KeyCommand::SpeakCurrent;
    case Qt::Key_F9: return KeyCommand::SpeakPrevious;
    case Qt::Key_F10: return KeyCommand::LookUp;
    case Qt::Key_F12: return KeyCommand::Search;
    default: return KeyCommand::None;
  }
}

int characterCount(const std::wstring& text) { return static_cast<int>(text.size()); }

}  // namespace

CTransDlg::PausedTimers CTransDlg::pauseTimers() {
  PausedTimers paused;
  for (size_t i = 0; i < timers_.size(); ++i) paused.active[i] = timers_[i].isActive();
  paused.since = platform::tickCountMs();
  killAllTimers();
  return paused;
}

void CTransDlg::resumeTimers(const PausedTimers& paused) {
  // A study that ended (or a window that closed) meanwhile has nothing left to resume.
  if (ended_ || saved_ || !isVisible()) return;
  // A limit counts on from where it stood. Only a limit that was running moves on: a pause within
  // a pause (a box of a skin loaded while the chooser held the study) found none running, and must
  // not add its time to the one the outer pause adds.
  const int64_t pause = platform::tickCountMs() - paused.since;
  for (const auto& [timer, tick] : {std::pair{TimerStartLimit, &startLimitTick_},
                                    std::pair{TimerReplyLimit, &replyLimitTick_},
                                    std::pair{TimerShowLimit, &showLimitTick_}}) {
    if (paused.active[static_cast<size_t>(timer)]) *tick += pause;
  }
  for (size_t i = 0; i < timers_.size(); ++i) {
    if (paused.active[i] && !timers_[i].isActive()) setTimer(static_cast<int>(i), 5);
  }
}

bool CTransDlg::answersKeys() const {
  return flow_.tstate == TurnReply || flow_.tstate == TurnReinput || flow_.tstate == TurnWaitNextTrigger;
}

QPoint CTransDlg::clientOrigin() const { return mapToGlobal(QPoint(0, 0)); }

bool CTransDlg::isWindowKey(const QKeyEvent& key) { return commandOf(key) != KeyCommand::None; }

bool CTransDlg::PreTranslateKey(QKeyEvent* key) {
  const KeyCommand command = commandOf(*key);
  switch (command) {
    case KeyCommand::None: return false;
    case KeyCommand::Swallow: break;
    case KeyCommand::Help: OnCommand(ctl::FirstFunc); break;
    case KeyCommand::LastQuestionMenu:
      if (flow_.previousId >= 0) ShowLastQuestionMenu(clientOrigin());
      break;
    case KeyCommand::ShowAllSymbols: showAllSymbols(); break;
    case KeyCommand::EditPopup: ShowEditPopup(clientOrigin()); break;
    case KeyCommand::Hint:
      OnHint();
      repaintWindow();
      break;
    case KeyCommand::ShowHint: ShowHint(); break;
    case KeyCommand::AnswerLength: ShowAnswerLength(); break;
    case KeyCommand::ReloadSkin: OnCommand(kReloadSkinCommand); break;
    case KeyCommand::SkinMenu: ShowSkinMenuAt(clientOrigin()); break;
    case KeyCommand::QuestionList: OpenQuestionList(); break;
    case KeyCommand::SpeakCurrent: PronounceAnswer(question_); break;
    case KeyCommand::SpeakPrevious:
      if (flow_.previousId >= 0) PronounceAnswer(host_.question(flow_.previousId));
      break;
    case KeyCommand::LookUp: LookUpInPdic(); break;
    case KeyCommand::Search: OpenSearch(); break;
  }
  afterSideCommand();
  return true;
}

bool CTransDlg::OnCommand(int id) {
  if (ChooseSkinFile(id)) {
    repaintWindow();
    return true;
  }
  switch (id) {
    case kCopyQuestionCommand: CopyTextToClipboard(joinTexts(question_.questions, L"\n")); return true;
    case kEditCurrentCommand: EditQuestion(flow_.currentId); return true;
    case kEditPreviousCommand: EditQuestion(flow_.previousId); return true;
    case kSaveQuestionCommand: OnSaveQuestion(); return true;
    case kAboutCommand: whilePaused([&] { host_.showAbout(*this); }); return true;
    // Help that cannot be shown says so in a box, which is read on the study's time held still.
    case ctl::FirstFunc: whilePaused([&] { host_.showHelp(); }); return true;
    case ctl::FirstFunc + 1: ShowHint(); return true;
    case ctl::FirstFunc + 2: ShowAnswerLength(); return true;
    case ctl::FirstFunc + 3: ShowEditPopup(QCursor::pos()); return true;
    case ctl::FirstFunc + 4: return OnCommand(kReloadSkinCommand);
    case ctl::FirstFunc + 5: ShowSkinMenuAt(QCursor::pos()); return true;
    case ctl::FirstFunc + 6: OpenQuestionList(); return true;
    case ctl::FirstFunc + 7: PronounceAnswer(question_); return true;
    case ctl::FirstFunc + 8:
      if (flow_.previousId >= 0) PronounceAnswer(host_.question(flow_.previousId));
      return true;
    case ctl::FirstFunc + 9: LookUpInPdic(); return true;
    case ctl::FirstFunc + 10: return true;
    case ctl::FirstFunc + 11: OpenSearch(); return true;
    default: return false;
  }
}

void CTransDlg::ShowTimedMessage(const std::wstring& text) {
  // The banner is one line: a failure's cause follows on it.
  timedMessage_ = text;
  std::replace(timedMessage_.begin(), timedMessage_.end(), L'\n', L' ');
  setTimer(TimerBanner, 2000);
  repaintWindow();
}

void CTransDlg::ShowHint() {
  // Modes that judge the answers hint at them; the others at the question texts they judge.
  const int mode = setup_.mode;
  const bool answers = mode == ModeJe || mode == ModeSpeedReply || mode == ModeDictation;
  const std::vector<std::wstring>& texts = answers ? question_.answers : question_.questionsPlain;
  if (texts.empty()) return;
  const int count = static_cast<int>(texts.size());
  if (answerCycle_ >= count) answerCycle_ = 0;
  ++hintCycle_;
  if (hintCycle_ > 3 || hintCycle_ > characterCount(texts[answerCycle_])) {
    answerCycle_ = (answerCycle_ + 1) % count;
    hintCycle_ = 1;
  }
  ShowTimedMessage(platform::format(L"答え %d のヒントです", answerCycle_ + 1));
  auto* edit = replyEdit();
  edit->setText(QString::fromStdWString(texts[answerCycle_].substr(0, static_cast<size_t>(hintCycle_))));
  edit->end(false);
  repaintWindow();
}

void CTransDlg::ShowAnswerLength() {
  if (answerCycle_ >= answers_.size()) answerCycle_ = 0;
  ShowTimedMessage(
      platform::format(L"答え %d は %d 文字です", answerCycle_ + 1, utf16Length(answers_.text(answerCycle_))));
  ++answerCycle_;
}

void CTransDlg::ShowEditPopup(const QPoint& at) {
  StopLimitTimers(false);
  QMenu menu(this);
  menu.addAction(QString::fromStdWString(L"現在表示している問題を編集...(&C)"))->setData(kEditCurrentCommand);
  QAction* previous = menu.addAction(QString::fromStdWString(L"直前に回答した問題を編集...(&B)"));
  previous->setData(kEditPreviousCommand);
  previous->setEnabled(flow_.previousId >= 0);
  QAction* chosen = whilePaused([&] { return menu.exec(at); });
  if (chosen && chosen->data().isValid()) OnCommand(chosen->data().toInt());
}

void CTransDlg::ShowLastQuestionMenu(const QPoint& at) {
  if (flow_.previousId < 0) return;
  StopLimitTimers(false);
  const StudyQuestion previous = host_.question(flow_.previousId);
  QMenu menu(this);
  auto info = [&](const wchar_t* label, const std::vector<std::wstring>& texts) {
    menu.addAction(QString::fromStdWString(label + joinTexts(texts, L" ")))->setEnabled(false);
  };
  info(L"《問題》 ", previous.questions);
  info(L"《解答》 ", previous.answers);
  if (!joinTexts(previous.hints, L"").empty()) info(L"《ヒント》 ", previous.hints);
  menu.addSeparator();
  menu.addAction(QString::fromStdWString(L"編集する...(&E)"))->setData(kEditPreviousCommand);
  menu.addAction(QString::fromStdWString(L"データベースに追加する...(&A)"))->setData(kSaveQuestionCommand);
  QAction* chosen = whilePaused([&] { return menu.exec(at); });
  if (chosen && chosen->data().isValid()) OnCommand(chosen->data().toInt());
}

void CTransDlg::ShowSkinMenuAt(const QPoint& at) {
  QMenu menu(this);
  menu.addAction(QString::fromStdWString(L"ファイル選択... (&C)"))->setData(kChooseSkinCommand);
  FillSkinMenu(menu);
  QAction* chosen = whilePaused([&] { return menu.exec(at); });
  if (chosen && chosen->data().isValid()) OnCommand(chosen->data().toInt());
}

void CTransDlg::EditQuestion(int qid) {
  if (qid < 0) return;
  SkinLockHolder hold(skinLock());
  const EditOutcome outcome = whilePaused([&] {
    sqliteplus::SqliteConnection connection;
    if (!host_.openConnectionBeside(connection)) {
      reportFailedRead(this, L"データベースファイルを開けませんでした...");
      return EditOutcome::Cancelled;
    }
    return EditQuestionRecord(pdb3::openQuery(connection), qid, this);
  });
  if (outcome == EditOutcome::Cancelled) return;
  ShowTimedMessage(outcome == EditOutcome::Saved ? L"データの変更を完了しました。"
                                                 : databaseFailureText(L"データベースの書き込みに失敗しました。"));
  if (qid == flow_.currentId) showQuestionAgain(host_.question(qid));
}

void CTransDlg::showQuestionAgain(StudyQuestion stored) {
  question_ = std::move(stored);
  if (isChoiceMode(setup_.mode) && rightChoice_ >= 0) choiceQuestions_[rightChoice_] = question_;
  DisplayQuestion();
  repaintWindow();
}

template <typename Open>
void CTransDlg::runShellDialog(Open open) {
  SkinLockHolder hold(skinLock());
  StopLimitTimers(false);
  whilePaused(open);
  // The dialogs edit questions too: the one on screen is shown and judged as it is stored now.
  if (flow_.currentId < 0 || ended_) return;
  StudyQuestion stored = host_.question(flow_.currentId);
  if (stored != question_) showQuestionAgain(std::move(stored));
}

void CTransDlg::OpenSearch() {
  // The answer is offered only once the user may see it.
  const bool answerSeen = (flow_.tstate >= TurnWaitDisplayAnswer && flow_.tstate <= TurnEnd) ||
                          (setup_.mode == ModeCard && control(ctl::CardOk)->isEnabled());
  const std::wstring word = answerSeen ? pdb3::textListAt(question_.answers, 0) : std::wstring();
  runShellDialog([&] { host_.openSearch(*this, word); });
}

void CTransDlg::OpenQuestionList() {
  runShellDialog([&] { host_.openQuestionList(*this, setup_.questionIds, setup_.title); });
}

void CTransDlg::OnSaveQuestion() {
  if (flow_.previousId < 0) return;
  ShowTimedMessage(host_.saveQuestionToBinder(flow_.previousId));
}

bool CTransDlg::SpeakAnswerCycle(const StudyQuestion& question) {
  if (!host_.settings().voiceOn) return false;
  const int count = static_cast<int>(question.answers.size());
  const int start = answerCycle_ < count ? answerCycle_ : 0;
  for (int i = 0; i < count; ++i) {
    const int at = (start + i) % count;
    const std::wstring& text = question.answers[static_cast<size_t>(at)];
    if (text.empty()) continue;
    copyAnswerText(text);
    host_.speak(question.voiceFile, text);
    answerCycle_ = (at + 1) % count;
    return true;
  }
  return false;
}

void CTransDlg::PronounceAnswer(const StudyQuestion& question) {
  if (!SpeakAnswerCycle(question) || silenceTold_) return;
  const std::wstring silence = host_.silenceReason();
  if (silence.empty()) return;
  silenceTold_ = true;
  whilePaused([&] { platform::messageBox(this, silence, L"Kelvara"); });
}

void CTransDlg::LookUpInPdic() {
  // Its boxes, and the wait for a program it starts, are the learner's time, not the question's.
  if (!question_.answers.empty()) whilePaused([&] { study::LookUpInPdic(question_.answers.front(), this); });
}

void CTransDlg::CopyTextToClipboard(const std::wstring& text) {
  QApplication::clipboard()->setText(QString::fromStdWString(text));
}

void CTransDlg::copyAnswerText(const std::wstring& text) {
  if (!host_.settings().useClipboardCopyOnPronounce) return;
  SkinLockHolder hold(skinLock());
  CopyTextToClipboard(text);
}

void CTransDlg::CopyAnswerToClipboard(int index) {
  copyAnswerText(index < 0 ? joinTexts(question_.answers, L" ") : pdb3::textListAt(question_.answers, index));
}

void CTransDlg::FindQuestionsByAnswer(const std::wstring& reply) {
  setControlText(ctl::MistakeDisplay, reply.empty() ? std::wstring() : host_.answerRemark(reply, setup_.questionIds));
}

}  // namespace study
