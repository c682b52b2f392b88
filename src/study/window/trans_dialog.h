// The study window: one study over a list of questions, asked, judged and counted here, drawn
// on a back-buffer image that paint copies to the screen.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QImage>
#include <QTimer>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "study/judging/correct_answer_list.h"
#include "study/sound/pronouncing_dictionary.h"
#include "study/study_flow.h"
#include "study/study_host.h"
#include "study/skin/study_skin_host.h"
#include "study/window/held_key.h"

class QLabel;
class QMenu;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace study {

class CTransDlg : public QDialog, public StudySkinHost {
  Q_OBJECT

 public:
  CTransDlg(const StudySetup& setup, StudyHost& host, QWidget* parent = nullptr);
  ~CTransDlg() override;

  bool exitRequested() const { return exitRequested_; }
  const StudyFlow& flow() const { return flow_; }
  const pdb3::DailyLogRecord& record() const { return record_; }
  const std::wstring& message() const { return message_; }
  const CorrectAnswerList& correctAnswers() const { return answers_; }
  unsigned replyMilliseconds() const { return replyMs_; }
  unsigned typedCharacters() const { return typed_; }
  const std::wstring& timedMessage() const { return timedMessage_; }
  const PhonemeCodes& pronunciationCodes() const { return pronunciationCodes_; }
  // The slot (0..3) of the right one of the four choices shown.
  int rightChoice() const { return rightChoice_; }
  // An Enter meant to go on past the previous question answers nothing: one that comes within
  // this time of a new question showing, or while the Enter pressed before it is still held.
  static constexpr int64_t kEnterGuardMs = 300;
  bool enterAnswersNow() const;
  const std::wstring& title() const { return setup_.title; }

  // The window's commands besides answering: the skin's, the Func buttons (1217-1228), copying
  // the question (1000) and those of its menus. False for any other id.
  bool OnCommand(int id);
  static constexpr int kCopyQuestionCommand = 1000;
  static constexpr int kEditCurrentCommand = 228;
  static constexpr int kEditPreviousCommand = 226;
  static constexpr int kSaveQuestionCommand = 32780;
  static constexpr int kAboutCommand = 16;

  // The skin's commands: reload (1125), choose a file (1126), the listed skins (256 on).
  bool ChooseSkinFile(int id);
  // The skin files of the skin folder, as the skin menu lists them.
  const std::vector<std::wstring>& skinFiles() const { return skinFiles_; }
  void FillSkinMenu(QMenu& menu);
  void ReloadSkin();
  // Renders the skin afresh (erase and OnUpdate) at the next paint.
  void repaintWindow();
  const QImage& surfaceImage() const { return backBuffer_; }
  bool animationTimerActive() const { return animation_.isActive(); }

  // SkinHost
  std::wstring skinPath() const override;
  std::wstring skinUserFilePath() const override;
  std::wstring userName() const override;
  QWidget* messageOwner() override { return this; }
  LuaState& skinState() override { return lua_; }
  SkinUserVars& skinUserVars() override { return userVars_; }
  void deleteSkinFonts() override;
  bool chooseSkinFile() override { return ChooseSkinFile(kChooseSkinCommand); }
  const SkinHostFunctions& hostFunctions() override { return studySkinHostFunctions(); }
  void pushScriptState(LuaScript script) override { PushScriptState(script); }
  // StudySkinHost
  QImage& surface() override { return backBuffer_; }
  void showDrawn() override { update(); }
  QWidget* skinControl(int id) override { return control(id); }
  std::wstring ExpandTextMacros(const std::wstring& text) const override;
  void alert(const std::wstring& text) override;
  bool DrawPronunciationStrip(platform::Dc& dc, int x, int y) override;

  static constexpr int kReloadSkinCommand = 1125;
  static constexpr int kChooseSkinCommand = 1126;
  static constexpr int kFirstSkinCommand = 256;

  // The "ok" command and every path that confirms a reply.
  void OnReply();
  void accept() override;  // OnOK
  void reject() override;  // OnCancel
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Follows Enter's presses and releases; true for a press that must answer nothing.
  bool ignoresEnter(const QKeyEvent& key);
  enum TimerId {
    TimerBanner = 1, TimerWait = 2, TimerStart = 3, TimerFlash = 4, TimerAnswerStep = 5,
    TimerStartLimit = 6, TimerReplyLimit = 7, TimerHideLimitBar = 8, TimerShowLimit = 9,
  };

  bool OnInitDialog();
  void ApplySkin();
  void LoadSkinScript();
  // The file chooser for a skin; nothing when the learner cancelled it or the file is no skin
  // (which a box has said).
  std::optional<std::wstring> askForSkinFile();
  void PushScriptState(LuaScript script);
  void renderSkin();
  void reportScriptError(const std::string& message);
  // Runs a skin callback with the state exported first. Errors are reported for OnUpdate only;
  // a run stopped for taking too long is reported whichever callback it was.
  void callSkin(const char* callback, bool reportErrors);
  void OnAnimationTick();
  // Starts or stops the animation timer as the round and the skin's callbacks require.
  void updateAnimationTimer();
  void centreOnDesktop(int width, int height);
  // The skin's DlgWidth_n x DlgHeight_n; empty without a skin or a size.
  QSize skinDialogSize();
  void placeWindow(const StudySettings& settings);
  void buildControls();
  QWidget* control(int id) const;
  // One of the four choices or giving up (1012-1016).
  bool isChoiceButton(const QWidget& widget) const;
  QLineEdit* replyEdit() const;
  QProgressBar* limitBar() const;     // the reply or start limit
  QProgressBar* progressBar() const;  // the questions done in the pass
  template <typename Slot>
  void onClicked(int buttonId, Slot slot);
  // A button of a side command: the focus goes back to the answer once the command is done.
  template <typename Command>
  void onSideCommandClicked(int buttonId, Command command);
  void showControl(int id, bool visible);
  void enableControl(int id, bool enabled);
  void setControlText(int id, const std::wstring& text);
  std::wstring replyText() const;
  void setTimer(int id, int milliseconds);
  void killTimer(int id);
  void killAllTimers();

  // The course of a study.
  void StartRound();
  void NextQuestion();
  void fillChoices(const StudySettings& settings);
  void DisplayQuestion();
  void startLimitTimers(const StudySettings& settings);
  void StopLimitTimers(bool alsoShowLimit);
  void OnLimitTimer(int id);
  void OnShowLimitElapsed();
  void WaitForNextTrigger();

  // Judging and what follows it.
  void JudgeReply();
  void onReplyEdited(const QString& text);
  void onChoice(int choice);
  void OnCardVerdict(bool correct);
  void ApplyJudgement();
  void RecordAnswerTime();
  void RecordMistake();
  void OnHint();
  void WaitAfterJudgement();
  void DisplayAnswerStep();
  void OnWaitElapsed();
  void StartFlash();
  void OnFlashStep();
  void RequireReinput();
  void JudgeReinput();
  void ReinputDone();
  void addReplyTime();
  void EndStudy();
  void ShowCard();
  void OnTurnCard();
  std::wstring choiceText(const StudyQuestion& question, const StudySettings& settings) const;

  // The side commands.
  bool PreTranslateKey(QKeyEvent* key);
  static bool isWindowKey(const QKeyEvent& key);
  // Presses the visible, enabled button whose mnemonic is the key typed without Alt; false when
  // the focus is in a text field, plain mnemonics are off now or no button has it.
  bool pressButtonByMnemonic(const QKeyEvent& key);
  bool answersKeys() const;
  // Plain letters press buttons only while a choice or a card waits for the user: while the
  // answer is shown, and in the modes where every key is text for the reply, they press nothing.
  bool plainMnemonicsActive() const;
  // The focus where the user answers next: the reply field, the choice or the card's button;
  // the window itself when that cannot take it (a key then presses nothing by accident).
  void focusAnswerControl();
  // A side command and its menus and dialogs are over: the focus goes back to the answer.
  void afterSideCommand();
  // The reply field greyed; the focus it had rests on the window, not on the next button.
  void disableReplyEdit();
  void ShowTimedMessage(const std::wstring& text);
  void ShowHint();
  void ShowAnswerLength();
  void ShowEditPopup(const QPoint& at);
  void ShowLastQuestionMenu(const QPoint& at);
  void ShowSkinMenuAt(const QPoint& at);
  void EditQuestion(int qid);
  // The question on screen replaced by its stored texts, shown and judged afresh.
  void showQuestionAgain(StudyQuestion stored);
  void OnSaveQuestion();
  void OpenSearch();
  void OpenQuestionList();
  // Runs a dialog of the shell over the window, the study held still, then shows the question
  // on screen afresh when the dialog changed it.
  template <typename Open>
  void runShellDialog(Open open);
  bool SpeakAnswerCycle(const StudyQuestion& question);
  // The pronounce command (F8, F9 and their Func buttons): speaks the next answer and, the first
  // time words are not heard, says why.
  void PronounceAnswer(const StudyQuestion& question);
  void LookUpInPdic();
  void CopyTextToClipboard(const std::wstring& text);
  void CopyAnswerToClipboard(int index);
  void copyAnswerText(const std::wstring& text);
  void FindQuestionsByAnswer(const std::wstring& reply);
  QPoint clientOrigin() const;
  // Holds the study still while a menu or dialog of the window is open: every timer stops, the
  // time limits stop counting and the skin's animation waits; resumeTimers starts again what ran.
  struct PausedTimers {
    std::array<bool, 10> active{};
    int64_t since = 0;
  };
  PausedTimers pauseTimers();
  void resumeTimers(const PausedTimers& paused);
  template <typename Run>
  auto whilePaused(Run run);

  // The pronunciation: control 1103's text, or the codes drawn as glyphs.
  void loadPronunciationFiles(const StudySettings& settings);
  void ShowPronunciation(int index, const StudyQuestion& question, const std::wstring& word);
  void clearPronunciation();
  void showAllSymbols();

  StudySetup setup_;
  StudyHost& host_;
  StudyFlow flow_;
  pdb3::DailyLogRecord record_;
  CorrectAnswerList answers_;
  StudyQuestion question_;

  std::wstring message_;        // the result comment
  std::wstring timedMessage_;   // the banner of timer 1
  std::wstring firstWrongReply_;
  bool lastReplyCorrect_ = false;
  bool exitRequested_ = false;
  bool hintShown_ = false;
  bool silenceTold_ = false;
  bool cardQuestionSide_ = true;
  int hintCycle_ = 0;    // characters of the answer the hint gives
  int answerCycle_ = 0;  // the answer the hint, the length and speaking go to
  int answerStepIndex_ = 0;
  int flashLimit_ = 0;
  int flashCount_ = 0;
  bool flashInverted_ = false;
  std::array<int, 4> choiceIds_{-1, -1, -1, -1};
  // Read once when the choices are dealt: shown, and shown again with their answers at the verdict.
  std::array<StudyQuestion, 4> choiceQuestions_;
  int rightChoice_ = -1;
  int chosenChoice_ = -1;
  int64_t answerStartTick_ = 0;
  int64_t questionShownTick_ = 0;
  HeldKey enter_;
  bool enterHeldOver_ = false;  // held since before the question on screen showed
  unsigned replyMs_ = 0;
  unsigned typed_ = 0;
  bool startLimitOn_ = false, replyLimitOn_ = false, showLimitOn_ = false;
  int64_t startLimitTick_ = 0, replyLimitTick_ = 0, showLimitTick_ = 0;
  // The limits of the current question, taken from the settings as it is shown.
  int startLimitMs_ = 0, replyLimitMs_ = 0, showLimitMs_ = 0;
  bool ended_ = false;
  bool saved_ = false;
  bool startedRound_ = false;
  bool initialised_ = false;
  bool opened_ = false;

  std::array<QBasicTimer, 10> timers_;
  QImage backBuffer_;
  QImage backgroundImage_;
  bool renderPending_ = true;
  LuaState lua_;
  SkinUserVars userVars_;
  std::vector<std::wstring> skinFiles_;
  std::vector<std::wstring> ipaSymbols_;  // line c: the display text of code c
  QImage pronunciationStrip_;
  PhonemeCodes pronunciationCodes_;
  // OnTimer runs on the GUI thread; a callback or a dialog of the window holds it off. The timer
  // runs from the round's start only while the skin defines OnTimer.
  QTimer animation_;
  bool animating_ = false;
  int callbackDepth_ = 0;
  int64_t animationStartTick_ = -1;
  // A failing OnUpdate or a stopped skin is reported once per distinct error and skin load, one
  // box at a time.
  std::set<std::string> reportedScriptErrors_;
  bool scriptErrorOpen_ = false;
};

template <typename Run>
auto CTransDlg::whilePaused(Run run) {
  const PausedTimers paused = pauseTimers();
  ++callbackDepth_;
  struct Resume {
    CTransDlg& dlg;
    const PausedTimers& paused;
    ~Resume() {
      --dlg.callbackDepth_;
      dlg.resumeTimers(paused);
    }
  } resume{*this, paused};
  return run();
}

}  // namespace study
