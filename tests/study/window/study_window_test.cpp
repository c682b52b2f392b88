#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <map>
#include <optional>

#include "platform/clock.h"
#include "platform/drawing/gdi_types.h"
#include "platform/windows/notifier.h"
#include "recording_notifier.h"
#include "test_env.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"
#include "study_window_support.h"
#include "patience.h"
#include "text_contrast.h"

using namespace study;
using studytest::find;
using studytest::setupFor;
using studytest::typeReply;
using studytest::waitForState;

namespace {

class FakeHost : public StudyHost {
 public:
  StudySettings values;
  std::map<int, StudyQuestion> questions;
  int results = 0, saves = 0, savedPoints = -1;
  unsigned replyMilliseconds = 0;
  std::optional<pdb3::DailyLogRecord> saved;
  std::vector<std::wstring> spoken;
  std::vector<std::wstring> searches;
  std::vector<std::vector<int>> lists;
  int wrongSounds = 0, rightSounds = 0;
  int helps = 0, abouts = 0;
  std::pair<int, int> storedPosition{-1, -1};
  sqliteplus::SqliteConnection db;

  FakeHost() {
    values.correctWaitMsec = 1;
    values.incorrectWaitMsec = 0;
    values.stopAfterAnswer = false;
    values.useReplyStartLimitJe = false;
    values.useReplyLimitEj = values.useReplyLimitEj4 = values.useReplyLimitJe4 = false;
    values.useShowLimitEj4 = values.useShowLimitJe4 = false;
    values.skinPath = QString::fromStdString(testenv::sourceDir() + "/resources/skin7/default.lua").toStdWString();
    for (int q = 1; q <= 4; ++q) {
      const std::wstring n = std::to_wstring(q);
      questions[q] = {{L"問題" + n}, {L"問題" + n}, {L"answer" + n}, {q == 2 ? L"ヒント" : L""}, {}, L""};
    }
  }
  // The window itself never asks these; only the study start does.
  pdb3::StudyContext studyContext() override { return {db, 1, 1, 0, {}}; }
  bool canStudyInMode(int) override { return true; }
  bool openOwnConnection() override { return true; }
  bool openConnectionBeside(sqliteplus::SqliteConnection&) override { return false; }
  pdb3::DbObject historyAccessor() override { return pdb3::DbObject({}); }
  StudySettings settings() override { return values; }
  StudyQuestion question(int qid) override { return questions.at(qid); }
  std::vector<int> choiceCandidates(int qid) override {
    std::vector<int> others;
    for (auto& [id, q] : questions) {
      if (id != qid) others.push_back(id);
    }
    return others;
  }
  void playJudgementSound(bool correct) override { ++(correct ? rightSounds : wrongSounds); }
  void speak(const std::wstring&, const std::wstring& text) override { spoken.push_back(text); }
  std::wstring silence;
  std::wstring silenceReason() override { return silence; }
  std::vector<uint8_t> pronunciationCodes(const std::wstring&) override { return {}; }
  std::wstring answerRemark(const std::wstring&, const std::vector<int>&) override { return {}; }
  void openSearch(QWidget&, const std::wstring& word) override { searches.push_back(word); }
  void openQuestionList(QWidget&, const std::vector<int>& ids, const std::wstring&) override { lists.push_back(ids); }
  // Set, help says as the program's does when its files are missing: in a box.
  std::wstring missingHelp;
  void showHelp() override {
    ++helps;
    if (!missingHelp.empty()) platform::messageBox(nullptr, missingHelp, L"Kelvara");
  }
  void showAbout(QWidget&) override { ++abouts; }
  std::wstring saveQuestionToBinder(int) override { return {}; }
  void prepareWindow(QWidget&) override {}
  void setSkinPath(const std::wstring& path) override { values.skinPath = path; }
  void storeWindowPosition(int x, int y) override { storedPosition = {x, y}; }
  void showResult(QWidget&, const StudyOutcome& outcome) override {
    ++results;
    replyMilliseconds = outcome.replyMilliseconds;
  }
  bool saveHistory(pdb3::DailyLogRecord& record, int points) override {
    ++saves;
    saved = record;
    savedPoints = points;
    return true;
  }
  void noteDataUnusable() override {}
};

}  // namespace

TEST(StudyWindow, TypedStudyWithAMistakeRunsThroughReinputAndBothReReplies) {
  FakeHost host;
  CTransDlg dlg(setupFor(ModeJe, {1, 2, 3}), host);
  dlg.show();
  ASSERT_TRUE(waitForState(dlg, TurnReply));
  EXPECT_EQ(find<QLabel>(dlg, 1208)->text(), "問題1");
  EXPECT_EQ(dlg.windowTitle(), "テスト - Kelvara");
  typeReply(dlg, "answer1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  EXPECT_FALSE(find<QLabel>(dlg, 1101)->isVisible());
  typeReply(dlg, "wrong");
  EXPECT_EQ(dlg.flow().tstate, TurnWaitFlash);
  EXPECT_TRUE(find<QLabel>(dlg, 1101)->isVisible());  // a mistake shows the hint
  ASSERT_TRUE(waitForState(dlg, TurnReinput));
  EXPECT_EQ(dlg.message(), L"正しい答えを入力しなさい！");
  EXPECT_EQ(find<QLabel>(dlg, 1100)->text(), "answer2");
  typeReply(dlg, "nope");
  EXPECT_EQ(dlg.message(), L"ちがう！");
  typeReply(dlg, " answer2 ");
  EXPECT_EQ(dlg.message(), L"はい、ごくろうさま！");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 3 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  typeReply(dlg, "Answer3");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().astate == PassReReply && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  EXPECT_EQ(dlg.flow().currentId, 2);
  typeReply(dlg, "answer2");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().astate == PassReReply2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  typeReply(dlg, "answer2");
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.saves == 1; }, testwait::kPatienceMs));

  EXPECT_EQ(host.results, 1);
  EXPECT_EQ(dlg.flow().tstate, TurnEnd);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(dlg.exitRequested());
  const auto& r = host.saved->results;
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r.at(2).ni1, 1);
  EXPECT_EQ(r.at(2).nc2, 2);
  EXPECT_EQ(r.at(1).nc1, 1);
  EXPECT_NE(r.at(2).LastMistakeTimeOnFirstReply, 0);
  EXPECT_NE(host.saved->StartTime, 0);
  EXPECT_GE(host.saved->EndTime, host.saved->StartTime);
  EXPECT_EQ(host.saved->Strokes, 7 * 4);  // the right replies, as typed
  EXPECT_EQ(host.savedPoints, 100 + 10 + 100 + 33 + 33);
  EXPECT_EQ(host.wrongSounds, 1);
  dlg.reject();  // nothing happens after the end
  EXPECT_EQ(host.saves, 1);
}

// A question of several answers asks for the others before it is judged; with judging as typed a
// right reply counts without Enter; "!end" typed ends the study with what was answered.
TEST(StudyWindow, TypedRepliesAskForTheOtherAnswersJudgeAsTypedAndEndTheStudyByCommand) {
  FakeHost host;
  host.questions[1].answers = {L"apple", L"pear"};
  CTransDlg dlg(setupFor(ModeJe, {1, 2, 3}), host);
  dlg.show();
  ASSERT_TRUE(waitForState(dlg, TurnReply));
  auto* edit = find<QLineEdit>(dlg, 1026);
  typeReply(dlg, "pear");
  EXPECT_EQ(dlg.message(), L"ほかには？");
  EXPECT_EQ(dlg.flow().tstate, TurnReply);
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(dlg.flow().first.corrects + dlg.flow().first.mistakes, 0);
  typeReply(dlg, "apple");
  EXPECT_EQ(dlg.flow().first.corrects, 1);

  host.values.decideWithoutReturn = true;  // read as each key is typed
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  QTest::keyClicks(edit, "answer");
  EXPECT_EQ(dlg.flow().tstate, TurnReply);
  QTest::keyClick(edit, '2');
  EXPECT_EQ(dlg.flow().first.corrects, 2);
  EXPECT_EQ(host.wrongSounds, 0);

  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 3 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  typeReply(dlg, "!END");
  EXPECT_EQ(dlg.flow().tstate, TurnEnd);
  EXPECT_FALSE(dlg.exitRequested());
  ASSERT_EQ(host.saves, 1);
  EXPECT_EQ(host.saved->results.size(), 2u);  // the command is no answer of question 3
  EXPECT_EQ(host.wrongSounds, 0);
}

TEST(StudyWindow, OneAnswerCountsAtMostSixtySecondsOfReplyTime) {
  int64_t tick = 1'000'000;
  const platform::ClockOverride clock({}, [&tick] { return tick; });
  FakeHost host;
  CTransDlg dlg(setupFor(ModeJe, {1, 2, 3}), host);
  dlg.show();
  ASSERT_TRUE(waitForState(dlg, TurnReply));
  tick += 75'000;
  typeReply(dlg, "answer1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  tick += 12'500;
  typeReply(dlg, "answer2");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 3 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  tick += 10'000;
  typeReply(dlg, "wrong");
  ASSERT_TRUE(waitForState(dlg, TurnReinput));
  tick += 70'000;  // the re-input ends 80 s after the question came
  typeReply(dlg, "answer3");
  for (int pass : {PassReReply, PassReReply2}) {  // answered as soon as Enter answers
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().astate == pass && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
    tick += CTransDlg::kEnterGuardMs;
    typeReply(dlg, "answer3");
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.saves == 1; }, testwait::kPatienceMs));

  const auto& r = host.saved->results;
  EXPECT_DOUBLE_EQ(r.at(1).ReplySec, 60.0);
  EXPECT_DOUBLE_EQ(r.at(2).ReplySec, 12.5);
  EXPECT_NEAR(r.at(3).ReplySec, 10.0 + 2 * CTransDlg::kEnterGuardMs / 1000.0, 1e-9);
  // Right answers and completed re-inputs count, each at most 60 s.
  EXPECT_EQ(host.replyMilliseconds, 60'000u + 12'500u + 60'000u + 2 * CTransDlg::kEnterGuardMs);
}

// The window carries the program's icon (a study of the command line has no main window to lend
// one) and stays above other windows from its first show on when the user asked for it.
TEST(StudyWindow, CarriesTheProgramsIconAndStaysOnTopWhenAskedTo) {
  for (const bool onTop : {false, true}) {
    FakeHost host;
    host.values.alwaysOnTop = onTop;
    CTransDlg dlg(setupFor(ModeJe, {1}), host);
    EXPECT_EQ(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop) << "before the first show";
    dlg.show();
    ASSERT_TRUE(waitForState(dlg, TurnReply));
    EXPECT_EQ(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    studytest::expectProgramIcon(dlg.windowIcon());
  }
}

// The texts a study window shows on a skin, by their text.
std::map<QString, apptest::DrawnText> textsOf(CTransDlg& dlg) {
  std::map<QString, apptest::DrawnText> byText;
  for (const apptest::DrawnText& text : apptest::textsDrawn(&dlg)) byText[text.text] = text;
  return byText;
}

// The skin paints its own light ground: the hint and the pronunciation on it are as dark as the
// classic look has them, on a dark desktop too.
TEST(StudyWindow, TheHintAndThePronunciationStandOutFromTheSkinOnADarkDesktopAsOnTheClassicOne) {
  for (const bool darkDesktop : {true, false}) {
    std::optional<apptest::ApplicationPaletteScope> dark;
    if (darkDesktop) dark.emplace(apptest::darkDesktopPalette());
    FakeHost host;
    host.values.alwaysShowHint = true;
    host.questions[2].pronunciations = {L"ǽnsər"};
    CTransDlg dlg(setupFor(ModeEj, {2}), host);
    dlg.show();
    ASSERT_TRUE(waitForState(dlg, TurnReply));
    ASSERT_TRUE(find<QLabel>(dlg, 1101)->isVisible());
    ASSERT_TRUE(find<QLabel>(dlg, 1103)->isVisible());
    const auto texts = textsOf(dlg);
    ASSERT_EQ(texts.count("ヒント"), 1u) << darkDesktop;
    ASSERT_EQ(texts.count("ǽnsər"), 1u) << darkDesktop;
    EXPECT_EQ(texts.at("ヒント").colour, QColor(Qt::black)) << darkDesktop;
    EXPECT_EQ(texts.at("ǽnsər").colour, QColor(Qt::black)) << darkDesktop;
    const QStringList faded = apptest::textsStandingOutLessThan(&dlg);
    EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString() << darkDesktop;
  }
}

// A skin that names no window colour, with the desktop's face chosen, shows its texts on that face:
// the skin's text colours take a shade that stands out from it. A dark window colour the learner
// chose takes light texts.
TEST(StudyWindow, TextsOnTheDesktopsFaceOrOnADarkWindowColourStandOutFromIt) {
  const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
  // The question's place and colour are the skin's on the desktop's face; on a window colour of the
  // learner's own the question keeps the window's text colour.
  const auto writeSkin = [](bool questionColoured) {
    QFile skin(QString::fromStdString(testenv::homeDir()) + "/plain.lua");
    EXPECT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.write(QByteArray("DesignName = 'plain'\n"
                          "function OnUpdate() end\n"
                          "function OnInit()\n") +
               (questionColoured ? "  KLV.MoveEdit(10, 10, 400, 40, 'Question', 0, '000080')\n" : "") +
               "  KLV.MoveEdit(10, 50, 400, 80, 'Hint')\n"
               "  KLV.MoveEdit(10, 90, 400, 120, 'Reply', 0, '000000')\n"
               "end\n");
    return skin.fileName().toStdWString();
  };
  for (const bool systemFace : {true, false}) {
    FakeHost host;
    host.values.skinPath = writeSkin(systemFace);
    host.values.alwaysShowHint = true;
    host.values.useOsDefaultBackgroundColor = systemFace;
    host.values.backgroundColor = platform::rgb(32, 32, 48);
    CTransDlg dlg(setupFor(ModeJe, {2}), host);
    dlg.show();
    ASSERT_TRUE(waitForState(dlg, TurnReply));
    find<QLineEdit>(dlg, 1026)->setText("typed");
    const auto texts = textsOf(dlg);
    EXPECT_EQ(texts.count("問題2"), systemFace ? 1u : 0u);  // the skin that places it colours it
    for (const char* shown : {"ヒント", "typed"}) EXPECT_EQ(texts.count(shown), 1u) << shown << systemFace;
    const QStringList faded = apptest::textsStandingOutLessThan(&dlg);
    EXPECT_TRUE(faded.isEmpty()) << faded.join(QChar(10)).toStdString() << systemFace;
  }
}

TEST(StudyWindow, CancelAsksAboutReRepliesAndItsCancelKeepsTheStudy) {
  FakeHost host;
  CTransDlg dlg(setupFor(ModeJe, {1, 2, 3, 4}), host);
  dlg.show();
  ASSERT_TRUE(waitForState(dlg, TurnReply));
  typeReply(dlg, "x");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().tstate == TurnReinput; }, testwait::kPatienceMs));
  typeReply(dlg, "answer1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));

  qputenv("KELVARA_AUTOANSWER", "cancel");
  QTest::mouseClick(find<QPushButton>(dlg, 2), Qt::LeftButton);
  EXPECT_EQ(dlg.flow().currentId, 2);
  EXPECT_EQ(host.saves, 0);
  qputenv("KELVARA_AUTOANSWER", "yes");  // re-reply the mistakes, drop the rest of the first pass
  QTest::mouseClick(find<QPushButton>(dlg, 2), Qt::LeftButton);
  qunsetenv("KELVARA_AUTOANSWER");
  EXPECT_EQ(dlg.flow().astate, PassReReply);
  EXPECT_EQ(dlg.flow().currentId, 1);
  EXPECT_GT(dlg.flow().cutCount, 0);
  QTest::mouseClick(find<QPushButton>(dlg, 2), Qt::LeftButton);  // in a re-reply: ends at once
  EXPECT_EQ(host.results, 1);
  EXPECT_EQ(host.saves, 1);
}

TEST(StudyWindow, FourChoiceAndCardModes) {
  FakeHost host;
  host.values.stopAfterAnswer = true;
  CTransDlg choice(setupFor(ModeJe4, {1, 2}), host);
  choice.show();
  ASSERT_TRUE(waitForState(choice, TurnReply));
  EXPECT_FALSE(find<QLineEdit>(choice, 1026)->isVisible());
  int right = -1;
  for (int slot = 0; slot < 4; ++slot) {
    if (find<QLabel>(choice, 1171 + slot)->text() == "answer1") right = slot;
  }
  ASSERT_GE(right, 0);
  QTest::mouseClick(find<QPushButton>(choice, 1012 + (right + 1) % 4), Qt::LeftButton);
  EXPECT_EQ(find<QLabel>(choice, 1171 + right)->text(), "問題1 = answer1");  // each choice with its answer
  ASSERT_TRUE(waitForState(choice, TurnReinput));
  EXPECT_EQ(choice.message(), QString("正解は %1 番でした。").arg(right + 1).toStdWString());
  QTest::mouseClick(find<QPushButton>(choice, 1012 + right), Qt::LeftButton);
  EXPECT_EQ(choice.message(), L"はい、ごくろうさま！");
  ASSERT_TRUE(QTest::qWaitFor([&] { return choice.flow().currentId == 2; }, testwait::kPatienceMs));

  CTransDlg card(setupFor(ModeCard, {3}), host);
  card.show();
  ASSERT_TRUE(waitForState(card, TurnReply));
  auto* ok = find<QPushButton>(card, 1231);
  EXPECT_FALSE(ok->isEnabled());  // the card must be turned first
  EXPECT_EQ(find<QLabel>(card, 1208)->text(), "answer3");  // the answer side comes first
  card.OnCommand(1228);  // Func12: the search is offered the answer once the card is turned
  QTest::mouseClick(find<QPushButton>(card, 1229), Qt::LeftButton);
  card.OnCommand(1228);
  card.OnCommand(1223);  // Func07: the study's questions
  QTest::mouseClick(find<QPushButton>(card, 1217), Qt::LeftButton);  // Func01: help
  QTest::keyClick(card.focusWidget(), Qt::Key_F1);  // and its key, with or without the button on screen
  find<QPushButton>(card, 1217)->hide();
  QTest::keyClick(card.focusWidget(), Qt::Key_F1);
  card.OnCommand(16);  // the window menu's version box
  EXPECT_EQ(host.helps, 3);
  EXPECT_EQ(host.abouts, 1);
  EXPECT_EQ(host.searches, (std::vector<std::wstring>{L"", L"answer3"}));
  EXPECT_EQ(host.lists, std::vector<std::vector<int>>{{3}});
  card.showMinimized();
  QTest::qWait(20);
  card.showNormal();  // a window restored from its icon keeps the turned card
  QTest::qWait(20);
  EXPECT_EQ(find<QLabel>(card, 1208)->text(), "問題3");
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_FALSE(ok->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return card.flow().tstate == TurnEnd; }, testwait::kPatienceMs));
  EXPECT_EQ(card.flow().points, 12);  // 10, and a fifth more for a faultless study
}

// The mistakes come again shuffled when the learner chose so in the settings, else in their order.
TEST(StudyWindow, TheMistakesComeAgainShuffledOnlyWhenTheLearnerChoseSo) {
  const platform::ClockOverride clock([] { return int64_t{1'700'000'000}; });  // the window's seed
  const std::vector<int> cards{1, 2, 3, 4, 5, 6, 7, 8};
  for (const bool shuffled : {true, false}) {
    SCOPED_TRACE(shuffled ? "shuffled" : "in order");
    FakeHost host;
    for (int q = 5; q <= 8; ++q) host.questions[q] = host.questions[1];
    host.values.enterMistakeReplyLimit = 0;  // the first pass runs to its end
    StudySetup setup = setupFor(ModeCard, cards);
    setup.randomMistakeReply = shuffled;
    CTransDlg card(setup, host);
    card.show();
    for (const int q : cards) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return card.flow().currentId == q && card.flow().tstate == TurnReply; }, testwait::kPatienceMs));
      QTest::mouseClick(find<QPushButton>(card, 1229), Qt::LeftButton);  // turned
      QTest::mouseClick(find<QPushButton>(card, 1232), Qt::LeftButton);  // not known yet
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return card.flow().astate == PassReReply && card.flow().tstate == TurnReply; }, testwait::kPatienceMs));
    std::vector<int> again{card.flow().currentId};
    again.insert(again.end(), card.flow().currentQueue.begin(), card.flow().currentQueue.end());
    EXPECT_EQ(again == cards, !shuffled);
    std::sort(again.begin(), again.end());
    EXPECT_EQ(again, cards);
    card.done(0);
  }
}

// The slot whose choice text is `text`; -1 when none shows it.
int slotShowing(QWidget& window, const QString& text) {
  for (int slot = 0; slot < 4; ++slot) {
    if (find<QLabel>(window, 1171 + slot)->text() == text) return slot;
  }
  return -1;
}

TEST(StudyWindow, OkWaitsForAChoiceOnEveryQuestionOfTheFourChoiceModes) {
  FakeHost host;
  host.values.stopAfterAnswer = true;
  CTransDlg choice(setupFor(ModeJe4, {1, 2}), host);
  choice.show();
  ASSERT_TRUE(waitForState(choice, TurnReply));
  auto* ok = find<QPushButton>(choice, 1028);
  EXPECT_FALSE(ok->isEnabled());
  const int first = slotShowing(choice, "answer1");
  ASSERT_GE(first, 0);
  QTest::mouseClick(find<QPushButton>(choice, 1012 + first), Qt::LeftButton);
  ASSERT_TRUE(waitForState(choice, TurnWaitNextTrigger));
  EXPECT_TRUE(ok->isEnabled());  // "ok" goes on to the next question
  QTest::mouseClick(ok, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return choice.flow().currentId == 2 && choice.flow().tstate == TurnReply; }, testwait::kPatienceMs));

  // The second question: neither a stray Enter nor a click on "ok" stores it as answered.
  EXPECT_FALSE(ok->isEnabled());
  QTest::keyClick(&choice, Qt::Key_Return);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(choice.flow().tstate, TurnReply);
  EXPECT_EQ(choice.flow().first.mistakes, 0);
  EXPECT_EQ(host.wrongSounds, 0);
  EXPECT_EQ(choice.record().results.count(2), 0u);
  const int second = slotShowing(choice, "answer2");
  ASSERT_GE(second, 0);
  QTest::mouseClick(find<QPushButton>(choice, 1012 + second), Qt::LeftButton);
  ASSERT_TRUE(waitForState(choice, TurnWaitNextTrigger));
  EXPECT_EQ(choice.flow().first.corrects, 2);
}

// An Enter meant to go on answers nothing of the question it brings: not while the key is still
// down from before (the toolkit's repeats), nor in the first moments the question shows.
TEST(StudyWindow, AnEnterMeantToGoOnAnswersNothingOfTheNextQuestion) {
  int64_t tick = 1'000'000;
  const platform::ClockOverride clock({}, [&tick] { return tick; });
  const auto target = [](QWidget& window) { return window.focusWidget() ? window.focusWidget() : &window; };
  const auto repeatEnter = [&target](QWidget& window) {
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
    QApplication::sendEvent(target(window), &repeat);
  };
  // As X delivers a key held down: unflagged release and press pairs of one timestamp, 25 a second.
  uint64_t stamp = 5'000'000;
  const auto holdEnter = [&](QWidget& window) {
    for (int held = 0; held < 1500; held += 40, tick += 40, stamp += 40) {
      for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, "\r");
        key.setTimestamp(stamp);
        QApplication::sendEvent(target(window), &key);
      }
    }
  };
  FakeHost host;
  host.values.stopAfterAnswer = true;
  CTransDlg choice(setupFor(ModeJe4, {1, 2, 3}), host);
  choice.show();
  ASSERT_TRUE(waitForState(choice, TurnReply));
  QTest::mouseClick(find<QPushButton>(choice, 1012 + choice.rightChoice()), Qt::LeftButton);
  ASSERT_TRUE(waitForState(choice, TurnWaitNextTrigger));
  QTest::keyClick(target(choice), Qt::Key_Return);
  ASSERT_EQ(choice.flow().currentId, 2);
  for (const int64_t later : {int64_t{0}, CTransDlg::kEnterGuardMs - 1}) {
    tick += later;
    QTest::keyClick(target(choice), Qt::Key_Return);  // the first choice has the focus
    EXPECT_EQ(choice.flow().tstate, TurnReply) << later;
  }
  EXPECT_EQ(choice.record().results.count(2), 0u);
  // A click is no Enter: it answers at once.
  QTest::mouseClick(find<QPushButton>(choice, 1012 + choice.rightChoice()), Qt::LeftButton);
  ASSERT_TRUE(waitForState(choice, TurnWaitNextTrigger));
  QTest::keyPress(target(choice), Qt::Key_Return);  // held down
  ASSERT_EQ(choice.flow().currentId, 3);
  tick += 2 * CTransDlg::kEnterGuardMs;
  repeatEnter(choice);
  holdEnter(choice);
  EXPECT_EQ(choice.flow().tstate, TurnReply);
  EXPECT_EQ(choice.record().results.count(3), 0u);
  QTest::keyRelease(target(choice), Qt::Key_Return);
  QTest::keyClick(target(choice), Qt::Key_Return);  // pressed anew, it answers
  EXPECT_EQ(choice.record().results.count(3), 1u);
  EXPECT_EQ(choice.flow().first.corrects + choice.flow().first.mistakes, 3);

  // Typed: the question after a re-input comes while the Enter that ended it may still be down.
  host.values.stopAfterAnswer = false;
  CTransDlg typed(setupFor(ModeJe, {1, 2, 3}), host);
  typed.show();
  ASSERT_TRUE(waitForState(typed, TurnReply));
  tick += CTransDlg::kEnterGuardMs;
  typeReply(typed, "wrong");
  ASSERT_TRUE(waitForState(typed, TurnReinput));
  auto* edit = find<QLineEdit>(typed, 1026);
  QTest::keyClicks(edit, "answer1");
  QTest::keyPress(edit, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return typed.flow().currentId == 2 && typed.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  tick += 2 * CTransDlg::kEnterGuardMs;
  repeatEnter(typed);
  holdEnter(typed);
  QTest::keyRelease(edit, Qt::Key_Return);
  EXPECT_EQ(typed.flow().tstate, TurnReply);
  typeReply(typed, "answer2");
  ASSERT_TRUE(QTest::qWaitFor([&] { return typed.flow().currentId == 3 && typed.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  QTest::keyClick(edit, Qt::Key_Return);  // at once: no empty, wrong answer is stored
  EXPECT_EQ(typed.flow().tstate, TurnReply);
  EXPECT_EQ(typed.record().results.count(3), 0u);
  tick += CTransDlg::kEnterGuardMs;
  typeReply(typed, "answer3");
  EXPECT_EQ(typed.flow().first.corrects, 2);
  EXPECT_EQ(typed.flow().first.mistakes, 1);
}

// On an X server every key event carries the server's time, and a key held down comes as release
// and press pairs the server stamps together: only a press stamped later than the release before it
// is the learner's own, and answers.
TEST(StudyWindow, OnAnXServerOnlyAnEnterPressedAnewAnswersTheQuestionItDidNotBring) {
  int64_t tick = 1'000'000;
  const platform::ClockOverride clock({}, [&tick] { return tick; });
  FakeHost host;
  host.values.stopAfterAnswer = true;
  CTransDlg typed(setupFor(ModeJe, {1, 2, 3}), host);
  typed.show();
  ASSERT_TRUE(waitForState(typed, TurnReply));
  auto* edit = find<QLineEdit>(typed, 1026);
  const auto enter = [&](QEvent::Type type, uint64_t at) {
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, "\r");
    key.setTimestamp(at);
    QApplication::sendEvent(typed.focusWidget() ? typed.focusWidget() : &typed, &key);
  };
  uint64_t stamp = 9'000'000;
  tick += CTransDlg::kEnterGuardMs;
  QTest::keyClicks(edit, "answer1");
  enter(QEvent::KeyPress, stamp);
  enter(QEvent::KeyRelease, stamp += 80);
  ASSERT_TRUE(waitForState(typed, TurnWaitNextTrigger));
  enter(QEvent::KeyPress, stamp += 1000);  // goes on, and stays down
  ASSERT_EQ(typed.flow().currentId, 2);
  tick += 2 * CTransDlg::kEnterGuardMs;
  QTest::keyClicks(edit, "answer2");
  // Held: pairs of one time, and one whose press the server's clock stamped a tick later.
  for (const uint64_t apart : {0, 0, 1, 0}) {
    enter(QEvent::KeyRelease, stamp += 40);
    enter(QEvent::KeyPress, stamp += apart);
  }
  EXPECT_EQ(typed.flow().tstate, TurnReply);
  EXPECT_EQ(typed.record().results.count(2), 0u);
  enter(QEvent::KeyRelease, stamp += 40);
  enter(QEvent::KeyPress, stamp += 200);  // let go, and pressed again
  EXPECT_EQ(typed.record().results.count(2), 1u);

  enter(QEvent::KeyRelease, stamp += 80);
  ASSERT_TRUE(waitForState(typed, TurnWaitNextTrigger));
  enter(QEvent::KeyPress, stamp += 1000);
  ASSERT_EQ(typed.flow().currentId, 3);
  tick += 2 * CTransDlg::kEnterGuardMs;
  QTest::keyClicks(edit, "answer3");
  enter(QEvent::KeyRelease, stamp += 40);
  enter(QEvent::KeyPress, stamp += 10);  // however quick, a press stamped apart is a new one
  EXPECT_EQ(typed.record().results.count(3), 1u);
}

void typeKey(QWidget& window, char key) { studytest::typeKeys(window, QString(QChar(key))); }

TEST(StudyWindow, PlainMnemonicKeysPressTheButtonsOutsideTheReplyField) {
  FakeHost host;
  host.values.stopAfterAnswer = true;
  CTransDlg choice(setupFor(ModeEj4, {1, 2}), host);
  choice.show();
  ASSERT_TRUE(waitForState(choice, TurnReply));
  int right = -1;
  for (int slot = 0; slot < 4; ++slot) {
    if (find<QLabel>(choice, 1171 + slot)->text() == "問題1") right = slot;
  }
  ASSERT_GE(right, 0);
  typeKey(choice, static_cast<char>('1' + (right + 1) % 4));
  ASSERT_TRUE(waitForState(choice, TurnReinput));
  EXPECT_EQ(choice.message(), QString("正解は %1 番でした。").arg(right + 1).toStdWString());
  typeKey(choice, static_cast<char>('1' + right));
  EXPECT_EQ(choice.message(), L"はい、ごくろうさま！");
  ASSERT_TRUE(QTest::qWaitFor([&] { return choice.flow().currentId == 2 && choice.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  typeKey(choice, '0');  // give up
  ASSERT_TRUE(waitForState(choice, TurnReinput));
  EXPECT_EQ(choice.flow().first.mistakes, 2);

  CTransDlg card(setupFor(ModeCard, {3}), host);
  card.show();
  ASSERT_TRUE(waitForState(card, TurnReply));
  typeKey(card, 'q');  // turns the card
  EXPECT_EQ(find<QLabel>(card, 1208)->text(), "問題3");
  typeKey(card, 'o');
  ASSERT_TRUE(QTest::qWaitFor([&] { return card.flow().tstate == TurnEnd; }, testwait::kPatienceMs));
  EXPECT_EQ(card.flow().first.mistakes, 0);

  // In the reply field a digit is text.
  CTransDlg typed(setupFor(ModeEj, {1}), host);
  typed.show();
  ASSERT_TRUE(waitForState(typed, TurnReply));
  typeKey(typed, '1');
  EXPECT_EQ(find<QLineEdit>(typed, 1026)->text(), "1");
  EXPECT_EQ(typed.flow().tstate, TurnReply);
}

TEST(StudyWindow, LettersTypedWhileTheAnswerIsShownOrAfterATimeOutPressNoButton) {
  FakeHost host;
  host.values.useReplyStartLimitJe = true;
  host.values.replyStartLimitCountJe = 200;
  host.values.incorrectWaitMsec = 1000;
  CTransDlg je(setupFor(ModeJe, {1, 2}), host);
  studytest::OpenedWindowCounter opened(je);
  je.show();
  ASSERT_TRUE(waitForState(je, TurnReply));
  ASSERT_TRUE(waitForState(je, TurnWaitFlash));  // nothing typed in time: judged wrong, the field greyed
  EXPECT_FALSE(qobject_cast<QPushButton*>(je.focusWidget()));
  studytest::typeKeys(je, "desk");
  EXPECT_EQ(opened.count(), 0);
  ASSERT_TRUE(waitForState(je, TurnReinput));
  studytest::typeKeys(je, "answer1");
  EXPECT_EQ(find<QLineEdit>(je, 1026)->text(), "answer1");
  // In a typed mode a letter never presses a button, wherever the focus is.
  find<QPushButton>(je, 1209)->setFocus();
  studytest::typeKeys(je, "eb");
  EXPECT_EQ(opened.count(), 0);
  EXPECT_EQ(je.flow().tstate, TurnReinput);
  je.done(0);

  // A wrong choice flashes: the edit button's letter does not open its menu meanwhile.
  FakeHost choices;
  choices.values.incorrectWaitMsec = 1000;
  CTransDlg ej4(setupFor(ModeEj4, {1, 2}), choices);
  studytest::OpenedWindowCounter openedOverChoices(ej4);
  ej4.show();
  ASSERT_TRUE(waitForState(ej4, TurnReply));
  QTest::mouseClick(find<QPushButton>(ej4, 1016), Qt::LeftButton);  // give up
  ASSERT_EQ(ej4.flow().tstate, TurnWaitFlash);
  studytest::typeKeys(ej4, "eb");
  EXPECT_EQ(openedOverChoices.count(), 0);
  ej4.done(0);
}

TEST(StudyWindow, ThePronounceCommandSaysOnceWhyNothingIsHeard) {
  FakeHost host;
  host.values.voiceOn = true;
  host.silence = L"サウンドデバイスが見つからないため、音声は聞こえません。";
  RecordingNotifier boxes;
  platform::NotifierOverride use(boxes);
  CTransDlg je(setupFor(ModeJe, {1, 2}), host);
  je.show();
  ASSERT_TRUE(waitForState(je, TurnReply));
  auto* reply = find<QLineEdit>(je, 1026);
  QTest::keyClick(reply, Qt::Key_F8);
  QTest::mouseClick(find<QPushButton>(je, 1224), Qt::LeftButton);  // Func08
  EXPECT_EQ(host.spoken, (std::vector<std::wstring>{L"answer1", L"answer1"}));
  EXPECT_EQ(boxes.boxes, std::vector<std::wstring>{L"Kelvara: " + host.silence});
  je.done(0);
}

TEST(StudyWindow, TimeLimitsShowTheChoicesLateAndJudgeAnUntouchedReplyWrong) {
  // The study's clock moves only when the test moves it: what a limit holds back stays back however
  // long a busy machine takes to get to the check.
  int64_t tick = 1'000'000;
  const platform::ClockOverride clock({}, [&tick] { return tick; });
  FakeHost host;
  host.values.useShowLimitEj4 = host.values.useReplyLimitEj4 = true;
  host.values.showLimitEj4 = 150;
  host.values.replyLimitEj4 = 500;
  CTransDlg choice(setupFor(ModeEj4, {1, 2}), host);
  choice.show();
  ASSERT_TRUE(waitForState(choice, TurnReply));
  EXPECT_FALSE(find<QPushButton>(choice, 1012)->isEnabled());  // the question comes alone first
  EXPECT_FALSE(find<QLabel>(choice, 1171)->isVisible());
  tick += 149;
  QTest::qWait(100);  // the window's timers run meanwhile
  EXPECT_FALSE(find<QPushButton>(choice, 1012)->isEnabled()) << "shown before the limit";
  tick += 1;
  ASSERT_TRUE(QTest::qWaitFor([&] { return find<QPushButton>(choice, 1012)->isEnabled(); }, testwait::kPatienceMs));
  EXPECT_TRUE(find<QLabel>(choice, 1171)->isVisible());
  tick += 500;
  ASSERT_TRUE(QTest::qWaitFor([&] { return choice.flow().first.mistakes == 1; }, testwait::kPatienceMs));  // nothing chosen in time
  choice.done(0);
  const int closedAt = choice.flow().tstate;
  tick += 100000;
  QTest::qWait(300);
  EXPECT_EQ(choice.flow().tstate, closedAt);  // a closed window's study stands still

  FakeHost typed;
  typed.values.useReplyStartLimitJe = true;
  typed.values.replyStartLimitCountJe = 300;
  CTransDlg je(setupFor(ModeJe, {1, 2}), typed);
  je.show();
  ASSERT_TRUE(waitForState(je, TurnReply));
  QTest::keyClick(find<QLineEdit>(je, 1026), 'a');  // a typed key stops the start limit
  tick += 100000;
  QTest::qWait(500);
  EXPECT_EQ(je.flow().tstate, TurnReply);
  typeReply(je, "answer1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return je.flow().currentId == 2 && je.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  tick += 300;
  ASSERT_TRUE(QTest::qWaitFor([&] { return je.flow().first.mistakes == 1; }, testwait::kPatienceMs));  // untouched: judged at the limit
  EXPECT_EQ(typed.wrongSounds, 1);
}

// A hint always shown is shown to the skin too, and Ctrl+G (which shows a hidden hint and gives the
// start limit its time afresh) finds nothing to show.
TEST(StudyWindow, AHintAlwaysShownIsShownToTheSkinAndCtrlGGivesTheStartLimitNoTimeAfresh) {
  int64_t tick = 1'000'000;
  const platform::ClockOverride clock({}, [&tick] { return tick; });
  const QString home = QString::fromStdString(testenv::homeDir());
  QFile skin(home + "/hint.lua");
  ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
  skin.write("DesignName = 'hint'\n"
             "function OnUpdate()\n"
             "  local log = io.open(os.getenv('HOME') .. '/hint.log', 'w')\n"
             "  log:write(KLV.tstate, ' ', tostring(KLV.show_hint))\n"
             "  log:close()\n"
             "end\n");
  skin.close();
  FakeHost host;
  host.values.skinPath = skin.fileName().toStdWString();
  host.values.alwaysShowHint = true;
  host.values.useReplyStartLimitJe = true;
  host.values.replyStartLimitCountJe = 5000;
  CTransDlg je(setupFor(ModeJe, {2}), host);
  je.show();
  ASSERT_TRUE(waitForState(je, TurnReply));
  EXPECT_TRUE(find<QLabel>(je, 1101)->isVisible());
  EXPECT_FALSE(find<QPushButton>(je, 4)->isVisible());
  je.grab();  // the skin draws the question
  QFile log(home + "/hint.log");
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(log.readAll().toStdString(), "reply true");
  tick += 4000;
  QTest::keyClick(find<QLineEdit>(je, 1026), Qt::Key_G, Qt::ControlModifier);
  tick += 1500;
  ASSERT_TRUE(QTest::qWaitFor([&] { return je.flow().first.mistakes == 1; }, testwait::kPatienceMs));  // judged at the limit
}

// The chooser takes the file as a learner's pick does: named in its name field, and Enter. A
// chooser that does not take it fails the test and is closed rather than holding it.
void chooseFile(QFileDialog& chooser, const QString& path) {
  auto* name = chooser.findChild<QLineEdit*>("fileNameEdit");
  // Until the field has the focus the chooser may still fill it with the file it selects.
  if (name && QTest::qWaitFor([&] { return name->hasFocus(); }, testwait::kPatienceMs)) {
    name->setText(path);  // pasted whole: no completion pops up over the chooser
    QTest::keyClick(name, Qt::Key_Return);
  }
  if (!QTest::qWaitFor([&] { return !chooser.isVisible(); }, testwait::kPatienceMs)) {
    ADD_FAILURE() << "the chooser did not take " << path.toStdString();
    chooser.reject();
  }
}

// Whatever opens over the window while a question waits, the learner reads or browses it on the
// study's time held still: the limit counts on from where it stood once it closes.
TEST(StudyWindow, AMenuABoxOrAFileChooserOverTheWindowHoldsTheTimeLimitWhileItIsOpen) {
  int64_t tick = 1'000'000;
  const platform::ClockOverride clock({}, [&tick] { return tick; });
  // Each box is read for longer than the limit, the timers running meanwhile.
  const auto readLong = [&tick] {
    tick += 1000;
    QTest::qWait(50);
  };
  RecordingNotifier boxes;
  boxes.whileShown = [&](const std::wstring&) {
    readLong();
    return platform::IdOk;
  };
  platform::NotifierOverride use(boxes);
  FakeHost host;
  host.values.useReplyLimitEj4 = true;
  host.values.replyLimitEj4 = 400;
  const std::wstring defaultSkin = host.values.skinPath;
  CTransDlg choice(setupFor(ModeEj4, {1, 2}), host);
  choice.show();
  ASSERT_TRUE(waitForState(choice, TurnReply));
  // The clock stands still between the steps: the resumed limit has used none of its time.
  const auto unjudged = [&] {
    QTest::qWait(30);
    return choice.flow().tstate == TurnReply && choice.flow().first.mistakes == 0;
  };
  QStringList opened;  // what opened over the window, in turn
  const auto closeLater = [&](QWidget* menu) {
    opened << "menu";
    readLong();
    menu->close();
  };

  studytest::whenOpened<QMenu>(closeLater);
  QTest::keyClick(&choice, Qt::Key_F6);  // the skin menu
  ASSERT_TRUE(unjudged()) << "skin menu";
  studytest::whenOpened<QMenu>(closeLater);
  // The window menu, by a right click the window system brings.
  QTest::mouseClick(choice.windowHandle(), Qt::RightButton, {}, QPoint(choice.width() - 2, choice.height() - 2));
  ASSERT_TRUE(unjudged()) << "window menu";

  // The skin menu's file chooser, browsed and cancelled; then a file that is no skin, which a box refuses.
  const auto chooseSkinFile = [&](QMenu* menu) {
    opened << "skin menu";
    QTest::keyClick(menu, Qt::Key_C);
  };
  studytest::whenOpened<QMenu>(chooseSkinFile);
  studytest::whenOpened<QFileDialog>([&](QFileDialog* chooser) {
    opened << "chooser";
    readLong();
    chooser->reject();
  });
  QTest::keyClick(&choice, Qt::Key_F6);
  ASSERT_TRUE(unjudged()) << "file chooser";
  const QString home = QString::fromStdString(testenv::homeDir());
  const auto writeLua = [&home](const char* name, const char* text) {
    QFile file(home + "/" + name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
  };
  const QString notASkin = writeLua("not_a_skin.lua", "x = 1\n");
  studytest::whenOpened<QMenu>(chooseSkinFile);
  studytest::whenOpened<QFileDialog>([&](QFileDialog* chooser) {
    opened << "chooser";
    chooseFile(*chooser, notASkin);
  });
  QTest::keyClick(&choice, Qt::Key_F6);
  ASSERT_TRUE(unjudged()) << "a file that is no skin";

  QTest::keyClick(&choice, Qt::Key_F10);  // no dictionary program is installed
  ASSERT_TRUE(unjudged()) << "dictionary";
  host.missingHelp = L"ヘルプファイルが見つかりません。";
  QTest::keyClick(&choice, Qt::Key_F1);
  ASSERT_TRUE(unjudged()) << "help by its key";
  QTest::mouseClick(find<QPushButton>(choice, 1217), Qt::LeftButton);  // Func01
  ASSERT_TRUE(unjudged()) << "help by Func01";
  EXPECT_EQ(host.helps, 2);

  // A skin that fails as it loads, one whose drawing brings a box, and one gone, which offers the
  // chooser for another.
  host.values.skinPath = writeLua("broken.lua", "DesignName = 'broken'\nerror('broken skin')\n").toStdWString();
  QTest::keyClick(&choice, Qt::Key_F5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.boxes.size() == 6; }, testwait::kPatienceMs));  // its error, and drawing it fails
  ASSERT_TRUE(unjudged()) << "broken skin";
  host.values.skinPath =
      writeLua("alerting.lua", "DesignName = 'alerting'\n"
                               "function OnUpdate() if not said then said = true KLV.Alert('drawn') end end\n")
          .toStdWString();
  QTest::keyClick(&choice, Qt::Key_F5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.boxes.size() == 7; }, testwait::kPatienceMs));  // once drawn
  ASSERT_TRUE(unjudged()) << "a skin's box";
  host.values.skinPath = (home + "/gone.lua").toStdWString();
  studytest::whenOpened<QFileDialog>([&](QFileDialog* chooser) {
    opened << "chooser";
    readLong();
    chooseFile(*chooser, QString::fromStdWString(defaultSkin));
  });
  QTest::keyClick(&choice, Qt::Key_F5);
  ASSERT_TRUE(unjudged()) << "missing skin";
  EXPECT_EQ(host.values.skinPath, defaultSkin);

  EXPECT_EQ(opened, QStringList({"menu", "menu", "skin menu", "chooser", "skin menu", "chooser", "chooser"}));
  EXPECT_EQ(boxes.boxes, (std::vector<std::wstring>{
                             L"Kelvara: スキンファイルではありません", L"Kelvara: PDIC がインストールされていません",
                             L"Kelvara: ヘルプファイルが見つかりません。", L"Kelvara: ヘルプファイルが見つかりません。",
                             L"KLV-Lua: " + (home + "/broken.lua").toStdWString() + L":2: broken skin",
                             L"ScriptError: attempt to call a nil value", L"KLV.Alert: drawn",
                             L"Kelvara: スキンファイルが見つかりませんでした。次のダイアログから選択してください。"}));
  tick += 500;
  ASSERT_TRUE(QTest::qWaitFor([&] { return choice.flow().first.mistakes == 1; }, testwait::kPatienceMs));  // the limit still runs
}

// Enter presses the focused choice: it looks focused and default as soon as the choices show.
TEST(StudyWindow, TheFocusedChoiceLooksLikeTheDefaultThatEnterPresses) {
  FakeHost host;
  host.values.useShowLimitEj4 = true;
  host.values.showLimitEj4 = 100;
  CTransDlg choice(setupFor(ModeEj4, {1, 2}), host);
  choice.show();
  auto* first = find<QPushButton>(choice, 1012);
  auto* second = find<QPushButton>(choice, 1013);
  ASSERT_TRUE(waitForState(choice, TurnReply));
  ASSERT_TRUE(QTest::qWaitFor([&] { return first->isEnabled(); }, testwait::kPatienceMs));
  EXPECT_TRUE(first->hasFocus() && first->isDefault());
  const QImage focused = first->grab().toImage();
  QTest::keyClick(first, Qt::Key_Tab);
  EXPECT_TRUE(second->hasFocus() && second->isDefault() && !first->isDefault());
  EXPECT_NE(first->grab().toImage(), focused);
  studytest::waitUntilEnterAnswers(choice);
  QTest::keyClick(second, Qt::Key_Return);
  EXPECT_EQ(choice.flow().first.corrects, choice.rightChoice() == 1 ? 1 : 0);
  EXPECT_EQ(choice.flow().first.corrects + choice.flow().first.mistakes, 1);
}

// Before the first question no key presses a button; Esc cancels, ending the study unstarted.
TEST(StudyWindow, InTheFirstSecondNoKeyPressesAButtonAndEscEndsTheStudy) {
  FakeHost host;
  CTransDlg card(setupFor(ModeCard, {1, 2}), host);
  studytest::OpenedWindowCounter opened(card);
  card.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&card, testwait::kPatienceMs));
  for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Q})
    QTest::keyClick(card.focusWidget(), key);
  QTest::keyClick(card.focusWidget(), Qt::Key_E, Qt::AltModifier);  // the edit button's mnemonic
  EXPECT_EQ(opened.count(), 0);
  EXPECT_EQ(card.flow().tstate, TurnInit);
  QTest::keyClick(card.focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(card.flow().tstate, TurnEnd);
  EXPECT_EQ(host.saves, 1);
  EXPECT_TRUE(host.saved->results.empty());
}
