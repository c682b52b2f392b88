#include "study/window/trans_dialog.h"

#include <QCursor>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>
#include <optional>

#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/random.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/database_failure.h"
#include "study/window/control_ids.h"
#include "study/window/study_resources.h"
#include "study/skin/skin_script.h"
#include "study/study_modes.h"
#include "study/judging/text_compare.h"

namespace study {

namespace {

struct ButtonSpec {
  int id;
  const wchar_t* caption;
};

const ButtonSpec kButtons[] = {
    {1012, L"&1"}, {1013, L"&2"}, {1014, L"&3"}, {1015, L"&4"}, {1016, L"&0 (GIVE UP!)"},
    {1028, L"これでよい"}, {2, L"逃げる"}, {4, L"ヒント(&G)"}, {3, L"さっきの問題を...(&B)"},
    {1209, L"編集...(&E)"}, {1229, L"&Q-Card(SPACE)"}, {1230, L"&A-Card(SPACE)"}, {1231, L"&OK"},
    {1232, L"&NG"},
};
const int kTextControls[] = {1208, 1100, 1102, 1101, 1103, 1171, 1172, 1173, 1174};

QString qs(const std::wstring& text) { return QString::fromStdWString(text); }

// The time limits of a mode in milliseconds; none when the mode has it off.
std::optional<int> startLimitOf(int mode, const StudySettings& s) {
  if ((mode == ModeJe || mode == ModeSpeedReply) && s.useReplyStartLimitJe) return s.replyStartLimitCountJe;
  return std::nullopt;
}
std::optional<int> replyLimitOf(int mode, const StudySettings& s) {
  if (mode == ModeEj && s.useReplyLimitEj) return s.replyLimitEj;
  if (mode == ModeEj4 && s.useReplyLimitEj4) return s.replyLimitEj4;
  if (mode == ModeJe4 && s.useReplyLimitJe4) return s.replyLimitJe4;
  return std::nullopt;
}
// How long the choices stay hidden behind the question.
std::optional<int> showLimitOf(int mode, const StudySettings& s) {
  if (mode == ModeEj4 && s.useShowLimitEj4) return s.showLimitEj4;
  if (mode == ModeJe4 && s.useShowLimitJe4) return s.showLimitJe4;
  return std::nullopt;
}

// The shortest step of a limit bar: a finer one could not be seen.
constexpr int64_t kMinLimitStepMs = 5;

}  // namespace

CTransDlg::CTransDlg(const StudySetup& setup, StudyHost& host, QWidget* parent)
    : QDialog(parent),
      setup_(setup),
      host_(host),
      flow_(setup.questionIds, setup.mode, setup.randomMistakeReply),
      record_(host.historyAccessor()) {
  setObjectName("id130");
  setWindowTitle("Kelvara");
  // A window of the skin's fixed size: it can be minimised but not maximised. Kept on top as the
  // user asked from its first show on: a flag changed later would show the window anew.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowFlag(Qt::WindowStaysOnTopHint, host.settings().alwaysOnTop);
  setWindowIcon(applicationIcon());
  record_.did = setup.did;
  record_.lid = setup.lid;
  buildControls();
  installEventFilter(this);  // the keys that reach the window itself
  resize(640, 480);
  animation_.setInterval(30);
  connect(&animation_, &QTimer::timeout, this, &CTransDlg::OnAnimationTick);
}

CTransDlg::~CTransDlg() {
  // No host function may reach a window that is gone.
  SkinLockHolder hold(skinLock());
  if (scriptHost() == this) setScriptHost(nullptr);
}

QLineEdit* CTransDlg::replyEdit() const { return static_cast<QLineEdit*>(control(ctl::ReplyEdit)); }
QProgressBar* CTransDlg::limitBar() const { return static_cast<QProgressBar*>(control(ctl::ReplyLimit)); }
QProgressBar* CTransDlg::progressBar() const { return static_cast<QProgressBar*>(control(ctl::TransNumber)); }

template <typename Slot>
void CTransDlg::onClicked(int buttonId, Slot slot) {
  connect(static_cast<QPushButton*>(control(buttonId)), &QPushButton::clicked, this, slot);
}

template <typename Command>
void CTransDlg::onSideCommandClicked(int buttonId, Command command) {
  onClicked(buttonId, [this, command] {
    command();
    afterSideCommand();
  });
}

void CTransDlg::buildControls() {
  int y = 8;
  for (int id : kTextControls) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("id%1").arg(id));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(8, y, 400, 24);
    y += 26;
  }
  auto* reply = new QLineEdit(this);
  reply->setObjectName(QString("id%1").arg(ctl::ReplyEdit));
  reply->setGeometry(8, y, 400, 24);
  reply->installEventFilter(this);
  connect(reply, &QLineEdit::textEdited, this, &CTransDlg::onReplyEdited);

  int x = 8;
  y += 32;
  std::vector<ButtonSpec> buttons(std::begin(kButtons), std::end(kButtons));
  static const wchar_t* const funcCaptions[] = {L"F01", L"F02", L"F03", L"F04", L"F05", L"F06",
                                                L"F07", L"F08", L"F09", L"F10", L"F11", L"F12"};
  for (int i = 0; i < 12; ++i) buttons.push_back({ctl::FirstFunc + i, funcCaptions[i]});
  for (const ButtonSpec& spec : buttons) {
    auto* button = new QPushButton(qs(spec.caption), this);
    button->setObjectName(QString("id%1").arg(spec.id));
    button->setAutoDefault(false);
    button->setGeometry(x, y, 96, 24);
    button->installEventFilter(this);
    x += 100;
    if (x > 520) {
      x = 8;
      y += 28;
    }
  }
  for (int i = 0; i < 5; ++i) {
    onClicked(ctl::FirstChoiceButton + i, [this, i] { onChoice(i < 4 ? i : 100); });
  }
  for (int id = ctl::FirstFunc; id < ctl::FirstFunc + 12; ++id) {
    onSideCommandClicked(id, [this, id] { OnCommand(id); });
  }
  onClicked(ctl::Ok, &CTransDlg::OnReply);
  onClicked(ctl::Cancel, &CTransDlg::reject);
  onSideCommandClicked(ctl::HintButton, [this] { OnHint(); });
  onSideCommandClicked(ctl::EditPopup, [this] { ShowEditPopup(QCursor::pos()); });
  onSideCommandClicked(ctl::PreviousQuestion, [this] { ShowLastQuestionMenu(QCursor::pos()); });
  onClicked(ctl::CardOk, [this] { OnCardVerdict(true); });
  onClicked(ctl::CardNg, [this] { OnCardVerdict(false); });
  onClicked(ctl::QCard, &CTransDlg::OnTurnCard);
  onClicked(ctl::ACard, &CTransDlg::OnTurnCard);

  for (int id : {ctl::TransNumber, ctl::ReplyLimit}) {
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QString("id%1").arg(id));
    bar->setTextVisible(false);
    bar->setGeometry(8, y + 32 + (id - ctl::TransNumber) * 14, 400, 12);
  }
  limitBar()->setRange(0, 1000);
}

QWidget* CTransDlg::control(int id) const {
  return findChild<QWidget*>(QString("id%1").arg(id), Qt::FindDirectChildrenOnly);
}

bool CTransDlg::isChoiceButton(const QWidget& widget) const {
  for (int i = 0; i < 5; ++i) {
    if (control(ctl::FirstChoiceButton + i) == &widget) return true;
  }
  return false;
}

void CTransDlg::showControl(int id, bool visible) {
  if (QWidget* w = control(id)) w->setVisible(visible);
}

void CTransDlg::enableControl(int id, bool enabled) {
  if (QWidget* w = control(id)) w->setEnabled(enabled);
}

void CTransDlg::setControlText(int id, const std::wstring& text) {
  QString shown = qs(text);
  shown.replace("\r\n", "\n");
  if (auto* label = qobject_cast<QLabel*>(control(id))) label->setText(shown);
  if (auto* edit = qobject_cast<QLineEdit*>(control(id))) edit->setText(shown);
  if (auto* button = qobject_cast<QPushButton*>(control(id))) button->setText(shown);
}

std::wstring CTransDlg::replyText() const {
  return replyEdit()->text().toStdWString();
}

void CTransDlg::setTimer(int id, int milliseconds) { timers_[id].start(std::max(milliseconds, 0), this); }

void CTransDlg::killTimer(int id) { timers_[id].stop(); }

void CTransDlg::killAllTimers() {
  for (auto& timer : timers_) timer.stop();
}

void CTransDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (initialised_) {
    // Restoring the window from its icon brings a show event of the window system's: only a
    // show of the program's applies the skin again, which shows the current question afresh
    // (a turned card, answers already given and a verdict on screen would be lost).
    if (startedRound_ && !event->spontaneous()) ApplySkin();
    return;
  }
  initialised_ = true;
  if (!OnInitDialog()) return;
  startedRound_ = true;
  StartRound();
}

bool CTransDlg::OnInitDialog() {
  if (!host_.openOwnConnection()) {
    reportFailedRead(this, L"データベースファイルを開けませんでした...");
    host_.noteDataUnusable();
    QMetaObject::invokeMethod(this, [this] { done(0); }, Qt::QueuedConnection);
    return false;
  }
  LoadSkinScript();
  placeWindow(host_.settings());
  host_.prepareWindow(*this);
  ApplySkin();
  platform::seedRandom(static_cast<unsigned>(platform::nowSeconds()));
  if (setup_.questionIds.empty()) {
    QMetaObject::invokeMethod(this, [this] { done(2); }, Qt::QueuedConnection);
    return false;
  }
  opened_ = true;
  return true;
}

void CTransDlg::centreOnDesktop(int width, int height) {
  const QScreen* screen = this->screen();
  const QRect desktop = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  setGeometry(desktop.x() + (desktop.width() - width) / 2, desktop.y() + (desktop.height() - height) / 2, width, height);
}

void CTransDlg::placeWindow(const StudySettings& settings) {
  if (!settings.keepLastReplyWindowPos || settings.replyWindowX < 0 || settings.replyWindowY < 0) {
    const QSize skinSize = skinDialogSize();
    centreOnDesktop(skinSize.isEmpty() ? width() : skinSize.width(), skinSize.isEmpty() ? height() : skinSize.height());
  } else {
    move(settings.replyWindowX, settings.replyWindowY);
  }
}

void CTransDlg::done(int result) {
  // The place is kept for the next study (the settings are written with the others later).
  if (opened_) host_.storeWindowPosition(x(), y());
  opened_ = false;
  // Nothing of the study may move on in a closed window.
  killAllTimers();
  animating_ = false;
  animation_.stop();
  QDialog::done(result);
}

void CTransDlg::StartRound() {
  flow_.tstate = TurnInit;
  replyMs_ = 0;
  typed_ = 0;
  for (int id : {ctl::HintButton, ctl::HintText, ctl::PreviousQuestion}) showControl(id, false);
  const int mode = setup_.mode;
  if (!isChoiceMode(mode)) {
    for (int i = 0; i < 5; ++i) {
      showControl(ctl::FirstChoiceText + i, false);  // the fifth is no text: harmless
      showControl(ctl::FirstChoiceButton + i, false);
    }
  }
  if (mode != ModeCard) {
    for (int id : {ctl::QCard, ctl::ACard, ctl::CardOk, ctl::CardNg}) showControl(id, false);
  }
  if (mode == ModeEj4 || mode == ModeJe4 || mode == ModeCard) {
    for (int id : {ctl::ReplyEdit, ctl::AnswerDisplay, ctl::MistakeDisplay}) showControl(id, false);
    for (int id : {ctl::Ok, ctl::FirstFunc + 1, ctl::FirstFunc + 2}) enableControl(id, false);
  } else {
    disableReplyEdit();
  }
  // The start limit is the typing modes' (je and speedreply): no other mode shows its bar.
  limitBar()->setValue(0);
  limitBar()->setVisible(startLimitOf(mode, host_.settings()).has_value());
  progressBar()->setRange(0, flow_.progressRange);
  progressBar()->setValue(flow_.progressPos);
  message_ = L"まもなく始まります。がんばってください！";
  repaintWindow();
  setTimer(TimerStart, 1000);
  animating_ = true;
  updateAnimationTimer();
  // The window itself has the keys until the first question shows: a button with the focus
  // would be pressed by a Space or an Enter meant for nothing yet.
  setFocus();
  activateWindow();
  raise();
}

void CTransDlg::NextQuestion() {
  if (ended_) return;
  const StudySettings settings = host_.settings();
  const int mode = setup_.mode;
  showControl(ctl::AnswerDisplay, mode == ModeSpeedReply);
  showControl(ctl::MistakeDisplay, false);
  showControl(ctl::Pronounce, false);
  if (isTypedMode(mode)) {
    enableControl(ctl::Ok, true);
    setControlText(ctl::QuestionText, L"");
  } else if (isChoiceMode(mode)) {
    // Nothing is chosen yet: "ok" would store the question as answered wrong. Giving up is 0's.
    enableControl(ctl::Ok, false);
  }
  if (mode == ModeDictation) showControl(ctl::QuestionText, false);
  cardQuestionSide_ = !settings.showAnswerOnMakeExamCard;
  hintCycle_ = 0;
  answerCycle_ = 0;
  clearPronunciation();
  message_.clear();
  setControlText(ctl::AnswerDisplay, L"");
  setControlText(ctl::MistakeDisplay, L"");
  answerStartTick_ = platform::tickCountMs();
  answerStepIndex_ = 0;
  flashCount_ = 0;

  const int previousAstate = flow_.astate;
  const StudyFlow::Step step = flow_.advance(settings.enterMistakeReplyLimit);
  if (step == StudyFlow::Step::End) {
    EndStudy();
    return;
  }
  if (flow_.astate != previousAstate || step == StudyFlow::Step::NoQuestion) {
    progressBar()->setRange(0, std::min(flow_.progressRange, 0xFFFF));
    progressBar()->setValue(flow_.progressPos);
  }
  if (showLimitOf(mode, settings)) {
    for (int i = 0; i < 4; ++i) showControl(ctl::FirstChoiceText + i, false);
    showControl(ctl::GiveUp, false);
    for (int i = 0; i < 5; ++i) {
      showControl(ctl::FirstChoiceButton + i, true);
      enableControl(ctl::FirstChoiceButton + i, false);
    }
  }
  setWindowTitle(qs(setup_.title + L" - Kelvara"));
  if (flow_.previousId >= 0) showControl(ctl::PreviousQuestion, true);
  if (step == StudyFlow::Step::NoQuestion) {
    platform::messageBox(this,
                         platform::format(L"データの取得に失敗しました。(残り問題数：%d)",
                                          static_cast<int>(flow_.currentQueue.size())),
                         L"ErrorDlg", platform::MbIconInformation);
    done(0);
    return;
  }
  question_ = host_.question(flow_.currentId);
  if (question_.unreadable) {
    // Shown without its texts, the question would be answered, and its result saved, unseen.
    reportFailedRead(this, L"問題を読み込めませんでした。学習を終了します。");
    host_.noteDataUnusable();
    EndStudy();
    return;
  }
  if (isChoiceMode(mode)) fillChoices(settings);
  DisplayQuestion();
  const std::wstring allAnswers = joinTexts(question_.answers, L" ");
  if (mode == ModeSpeedReply) {
    CopyAnswerToClipboard(-1);
    host_.speak(question_.voiceFile, static_cast<QLabel*>(control(ctl::AnswerDisplay))->text().toStdWString());
    ShowPronunciation(-1, question_, allAnswers);
  } else if (mode == ModeEj4 || mode == ModeEj || mode == ModeDictation) {
    if (mode != ModeDictation) ShowPronunciation(-1, question_, allAnswers);
    copyAnswerText(allAnswers);
    host_.speak(question_.voiceFile, allAnswers);
  }
  replyEdit()->clear();
  chosenChoice_ = -1;
  startLimitTimers(settings);
  if (flow_.isFirstQuestionOfStudy()) {
    record_.StartTime = static_cast<int>(platform::nowSeconds());
    enableControl(ctl::ReplyEdit, true);
  }
  flow_.tstate = TurnReply;
  questionShownTick_ = platform::tickCountMs();
  enterHeldOver_ = enter_.notSurelyReleased();
  focusAnswerControl();
  repaintWindow();
}

void CTransDlg::focusAnswerControl() {
  const int mode = setup_.mode;
  QWidget* target = nullptr;
  if (isTypedMode(mode)) {
    target = replyEdit();
  } else if (isChoiceMode(mode)) {
    target = control(ctl::FirstChoiceButton + (flow_.tstate == TurnReinput ? rightChoice_ : 0));
  } else if (control(ctl::CardOk)->isEnabled()) {
    target = control(ctl::CardOk);
  } else {
    target = control(cardQuestionSide_ ? ctl::ACard : ctl::QCard);
  }
  if (target && target->isEnabled() && !target->isHidden()) {
    target->setFocus();
    // Enter presses the button with the focus: its focus frame shows from the start, not only
    // once the user has moved the focus by keyboard.
    setAttribute(Qt::WA_KeyboardFocusChange);
  } else {
    setFocus();
  }
}

void CTransDlg::afterSideCommand() {
  if (isVisible() && (flow_.tstate == TurnReply || flow_.tstate == TurnReinput)) focusAnswerControl();
}

void CTransDlg::disableReplyEdit() {
  if (!focusWidget() || focusWidget() == replyEdit()) setFocus();
  enableControl(ctl::ReplyEdit, false);
}

std::wstring CTransDlg::choiceText(const StudyQuestion& question, const StudySettings& settings) const {
  if (setup_.mode == ModeJe4) return joinTexts(question.answers, L"/");
  return joinTexts(question.questions, settings.useSelectionStrReturn ? L"\r\n" : L" ");
}

void CTransDlg::fillChoices(const StudySettings& settings) {
  rightChoice_ = platform::randomValue() % 4;
  std::vector<int> candidates = host_.choiceCandidates(flow_.currentId);
  platform::trace("aidx-size : %d\n", static_cast<int>(candidates.size()));
  const std::wstring rightText = choiceText(question_, settings);
  for (int slot = 0; slot < 4; ++slot) {
    if (slot == rightChoice_) {
      choiceIds_[slot] = flow_.currentId;
      choiceQuestions_[slot] = question_;
      continue;
    }
    choiceIds_[slot] = -1;
    choiceQuestions_[slot] = {};
    while (!candidates.empty()) {
      const size_t at = static_cast<size_t>(platform::randomValue()) % candidates.size();
      const int qid = candidates[at];
      candidates.erase(candidates.begin() + static_cast<long>(at));
      StudyQuestion candidate = host_.question(qid);
      if (!candidate.unreadable && choiceText(candidate, settings) != rightText) {
        choiceIds_[slot] = qid;
        choiceQuestions_[slot] = std::move(candidate);
        break;
      }
    }
  }
}

void CTransDlg::DisplayQuestion() {
  const int mode = setup_.mode;
  const StudySettings settings = host_.settings();
  if (mode == ModeCard) {
    ShowCard();
    enableControl(ctl::CardOk, false);
    enableControl(ctl::CardNg, false);
  } else {
    answers_.clear();
  }
  if (mode == ModeJe || mode == ModeSpeedReply || mode == ModeDictation) {
    answers_.assign(question_.answers);
    if (mode != ModeDictation) setControlText(ctl::QuestionText, joinTexts(question_.questions, L"\r\n"));
  } else if (mode == ModeEj) {
    answers_.assign(question_.questionsPlain);
    setControlText(ctl::QuestionText, joinTexts(question_.answers, L"\r\n"));
  } else if (isChoiceMode(mode)) {
    setControlText(ctl::QuestionText, joinTexts(mode == ModeEj4 ? question_.answers : question_.questions, L"\r\n"));
    for (int slot = 0; slot < 4; ++slot) {
      setControlText(ctl::FirstChoiceText + slot, choiceIds_[slot] < 0 ? L"" : choiceText(choiceQuestions_[slot], settings));
    }
    if (!showLimitOf(mode, settings)) {
      for (int i = 0; i < 5; ++i) {
        showControl(ctl::FirstChoiceText + i, i < 4);
        showControl(ctl::FirstChoiceButton + i, true);
        enableControl(ctl::FirstChoiceButton + i, true);
      }
    }
  }
  if (mode == ModeSpeedReply) setControlText(ctl::AnswerDisplay, joinTexts(question_.answers, L", "));
  const std::wstring hint = joinTexts(question_.hints, L"\r\n");
  setControlText(ctl::HintText, hint);
  hintShown_ = false;
  if (hint.empty()) {
    showControl(ctl::HintButton, false);
    showControl(ctl::HintText, false);
  } else if (settings.alwaysShowHint) {
    hintShown_ = true;
    showControl(ctl::HintButton, false);
    showControl(ctl::HintText, true);
  } else {
    showControl(ctl::HintButton, true);
    enableControl(ctl::HintButton, true);
    showControl(ctl::HintText, false);
  }
}

void CTransDlg::startLimitTimers(const StudySettings& settings) {
  const int mode = setup_.mode;
  const int64_t now = platform::tickCountMs();
  if (const std::optional<int> limit = replyLimitOf(mode, settings)) {
    replyLimitMs_ = *limit;
    replyLimitOn_ = true;
    replyLimitTick_ = now;
    showControl(ctl::ReplyLimit, true);
    killTimer(TimerHideLimitBar);
    setTimer(TimerReplyLimit, 5);
  }
  if (const std::optional<int> limit = showLimitOf(mode, settings)) {
    showLimitMs_ = *limit;
    showLimitOn_ = true;
    showLimitTick_ = now;
    killTimer(TimerHideLimitBar);
    setTimer(TimerShowLimit, 5);
  }
  if (const std::optional<int> limit = startLimitOf(mode, settings)) {
    startLimitMs_ = *limit;
    startLimitOn_ = true;
    startLimitTick_ = now;
    showControl(ctl::ReplyLimit, true);
    killTimer(TimerHideLimitBar);
    setTimer(TimerStartLimit, 5);
  }
}

void CTransDlg::StopLimitTimers(bool alsoShowLimit) {
  if (alsoShowLimit) killTimer(TimerShowLimit);
  killTimer(TimerReplyLimit);
  killTimer(TimerStartLimit);
  setTimer(TimerHideLimitBar, 500);
}

void CTransDlg::OnLimitTimer(int id) {
  const bool start = id == TimerStartLimit;
  bool& on = start ? startLimitOn_ : replyLimitOn_;
  const int64_t since = start ? startLimitTick_ : replyLimitTick_;
  const int limit = start ? startLimitMs_ : replyLimitMs_;
  const auto elapsed = static_cast<uint32_t>(platform::tickCountMs() - since);
  auto* bar = limitBar();
  if (limit > 0 && elapsed < static_cast<uint32_t>(limit)) {
    bar->setValue(static_cast<int>(static_cast<double>(elapsed) / limit * 1000));
    // The next wake-up is when the bar has moved by a pixel, or at the limit: a 5-second limit
    // on a 400-pixel bar wakes the program 80 times a second rather than 200.
    const int64_t width = std::max(bar->width(), 1);
    const int64_t nextPixelAt = ((elapsed * width / limit + 1) * limit + width - 1) / width;
    const int64_t remaining = static_cast<int64_t>(limit) - elapsed;
    setTimer(id, static_cast<int>(std::min(std::max<int64_t>(nextPixelAt - elapsed, kMinLimitStepMs), remaining)));
    return;
  }
  killTimer(id);
  on = false;
  bar->setValue(0);
  bar->hide();
  OnReply();
}

void CTransDlg::OnShowLimitElapsed() {
  if (static_cast<uint32_t>(platform::tickCountMs() - showLimitTick_) < static_cast<uint32_t>(std::max(showLimitMs_, 0))) return;
  killTimer(TimerShowLimit);
  showLimitOn_ = false;
  for (int i = 0; i < 5; ++i) {
    showControl(ctl::FirstChoiceText + i, i < 4);
    showControl(ctl::FirstChoiceButton + i, true);
    enableControl(ctl::FirstChoiceButton + i, true);
  }
  showControl(ctl::GiveUp, true);
  focusAnswerControl();
}

void CTransDlg::WaitForNextTrigger() {
  flow_.tstate = TurnWaitNextTrigger;
  enableControl(ctl::Ok, true);
  repaintWindow();
}

void CTransDlg::timerEvent(QTimerEvent* event) {
  int id = 0;
  for (int i = 1; i < static_cast<int>(timers_.size()); ++i) {
    if (timers_[i].timerId() == event->timerId()) id = i;
  }
  if (id == 0) {
    QDialog::timerEvent(event);
    return;
  }
  if (flow_.tstate == TurnEnd) {
    killTimer(id);
    return;
  }
  const bool polling = id == TimerStartLimit || id == TimerReplyLimit || id == TimerShowLimit || id == TimerFlash;
  if (!polling) killTimer(id);
  switch (id) {
    case TimerBanner:
      timedMessage_.clear();
      repaintWindow();
      break;
    case TimerWait: OnWaitElapsed(); break;
    case TimerStart: NextQuestion(); break;
    case TimerFlash: OnFlashStep(); break;
    case TimerAnswerStep: DisplayAnswerStep(); break;
    case TimerStartLimit:
    case TimerReplyLimit: OnLimitTimer(id); break;
    case TimerHideLimitBar: {
      auto* bar = limitBar();
      bar->setValue(0);
      bar->hide();
      break;
    }
    case TimerShowLimit: OnShowLimitElapsed(); break;
    default: break;
  }
}

bool CTransDlg::plainMnemonicsActive() const { return answersKeys() && !isTypedMode(setup_.mode); }

bool CTransDlg::pressButtonByMnemonic(const QKeyEvent& key) {
  // As in a dialog of the original platform: outside a text field the mnemonic alone is enough.
  if (!plainMnemonicsActive()) return false;
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  if (key.text().isEmpty() || qobject_cast<QLineEdit*>(focusWidget())) return false;
  for (auto* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
    if (!button->isVisible() || !button->isEnabled()) continue;
    const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
    if (mnemonic.isEmpty() || mnemonic[0].key() != key.key()) continue;
    button->setFocus();
    button->click();
    return true;
  }
  return false;
}

void CTransDlg::keyPressEvent(QKeyEvent* event) {
  // Esc gets here only past the window's event filter, which decides what it does.
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

bool CTransDlg::enterAnswersNow() const {
  return flow_.tstate != TurnReply ||
         (!enterHeldOver_ && platform::tickCountMs() - questionShownTick_ >= kEnterGuardMs);
}

bool CTransDlg::ignoresEnter(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
  if (key.type() == QEvent::KeyRelease) {
    if (enter_.release(key)) enterHeldOver_ = false;
    return false;
  }
  // A fresh press: whatever was held has been let go, even where its release went elsewhere.
  if (!enter_.press(key)) enterHeldOver_ = false;
  return !enterAnswersNow();
}

bool CTransDlg::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && ignoresEnter(*static_cast<QKeyEvent*>(event)))
    return true;
  if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
    // The choice with the focus is the one Enter chooses: it shows as the default while it has
    // the focus (a menu opened over it takes nothing away).
    auto* choice = qobject_cast<QPushButton*>(watched);
    if (choice && isChoiceButton(*choice) && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
      choice->setDefault(type == QEvent::FocusIn);
    return QDialog::eventFilter(watched, event);
  }
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const bool beforeOrAfter = flow_.tstate == TurnInit || flow_.tstate == TurnEnd;
  if (type == QEvent::ShortcutOverride) {
    // The window's own keys win over the buttons' mnemonics (Alt+B, Alt+E): they come back as
    // key presses. Before the first question no mnemonic presses a button.
    if (!beforeOrAfter && (!answersKeys() || !isWindowKey(*key))) return QDialog::eventFilter(watched, event);
    event->accept();
    return true;
  }
  const int code = key->key();
  // Before the first question (and after the end) Esc cancels as in any dialog, which ends the
  // study before it starts; no other key does anything.
  if (beforeOrAfter) {
    if (code == Qt::Key_Escape) reject();
    return true;
  }
  const bool enter = code == Qt::Key_Return || code == Qt::Key_Enter;
  const bool ctrl = key->modifiers() & Qt::ControlModifier;
  const bool advancing = code == Qt::Key_Backspace || enter || code == Qt::Key_Space;
  if (flow_.tstate == TurnWaitNextTrigger && (advancing || (code >= Qt::Key_A && code <= Qt::Key_Z))) {
    NextQuestion();
    return true;
  }
  // Any key that types text stops the start limit, as do Backspace, Enter and Space.
  if (startLimitOn_ && !ctrl && (advancing || !key->text().isEmpty())) {
    killTimer(TimerStartLimit);
    setTimer(TimerHideLimitBar, 500);
    startLimitOn_ = false;
  }
  if (answersKeys() && PreTranslateKey(key)) return true;
  if (code == Qt::Key_Escape) return true;
  if (pressButtonByMnemonic(*key)) return true;
  // Enter is the window's alone: while the answer is shown it presses nothing, not even the
  // choice that shows as the default.
  if (enter) {
    if (flow_.tstate != TurnReply && flow_.tstate != TurnReinput) return true;
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
      button->click();
    } else if (control(ctl::Ok)->isEnabled()) {
      OnReply();
    }
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace study
