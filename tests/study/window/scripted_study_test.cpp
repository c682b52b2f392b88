// Whole studies through StartStudy on a copy of the default database, answered by a driver that
// types and clicks like a user, in each of the seven modes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <set>

#include "platform/text.h"
#include "study/window/start_study.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"
#include "recording_speech_engine.h"
#include "study_app_fixture.h"
#include "study_window_support.h"

using namespace study;
using studytest::StudyApp;

namespace {

// The sample set's first questions: question (Japanese) and answer (English).
const std::map<int, std::pair<QString, QString>> kSample = {
    {1, {QString::fromStdWString(L"教室"), "classroom"}},
    {2, {QString::fromStdWString(L"黒板"), "blackboard"}},
    {3, {QString::fromStdWString(L"机"), "desk"}},
};

// Answers every question right except `missed`, which it answers wrongly in the first pass and
// then corrects as the window asks.
class StudyDriver {
 public:
  // How often the window waited for a key to go on.
  int waits = 0;

  StudyDriver(int mode, int missed) : mode_(mode), missed_(missed) {
    QObject::connect(&tick_, &QTimer::timeout, [this] { step(); });
    tick_.start(15);
    deadline_.start();
  }

 private:
  template <typename W>
  W* find(CTransDlg& dlg, int id) {
    return dlg.findChild<W*>(QString("id%1").arg(id));
  }

  QString rightText(int qid) const {
    const auto& [question, answer] = kSample.at(qid);
    return mode_ == ModeEj || mode_ == ModeEj4 ? question : answer;
  }

  // The choice slot that shows the right text, or another one.
  void choose(CTransDlg& dlg, bool right) {
    const int qid = dlg.flow().currentId;
    const QString wanted = mode_ == ModeEj4 ? kSample.at(qid).first : kSample.at(qid).second;
    for (int slot = 0; slot < 4; ++slot) {
      const bool isRight = find<QLabel>(dlg, 1171 + slot)->text() == wanted;
      auto* button = find<QPushButton>(dlg, 1012 + slot);
      if (isRight == right && button->isVisible() && button->isEnabled()) {
        QTest::mouseClick(button, Qt::LeftButton);
        return;
      }
    }
  }

  void step() {
    auto* dlg = qobject_cast<CTransDlg*>(QApplication::activeModalWidget());
    if (!dlg) return;
    const StudyFlow& flow = dlg->flow();
    const std::tuple<int, int, int, int> key{flow.currentId, flow.astate, flow.tstate, flow.shownInPass};
    if (deadline_.hasExpired(20000)) {
      ADD_FAILURE() << "the study did not end";
      dlg->done(0);
      return;
    }
    if (flow.tstate == TurnWaitNextTrigger) {
      ++waits;
      QTest::keyClick(find<QLineEdit>(*dlg, 1026), Qt::Key_Return);
      return;
    }
    if (flow.tstate != TurnReply && flow.tstate != TurnReinput) return;
    if (!done_.insert(key).second) return;
    const bool miss = flow.currentId == missed_ && flow.astate == PassFirst && flow.tstate == TurnReply;
    if (flow.tstate == TurnReinput) {
      if (isChoiceMode(mode_)) {
        // The right button is the only one left.
        for (int slot = 0; slot < 4; ++slot) {
          auto* button = find<QPushButton>(*dlg, 1012 + slot);
          if (button->isVisible() && button->isEnabled()) QTest::mouseClick(button, Qt::LeftButton);
        }
      } else {
        studytest::typeReply(*dlg, find<QLabel>(*dlg, 1100)->text());
      }
      return;
    }
    if (isTypedMode(mode_)) {
      studytest::typeReply(*dlg, miss ? QString("zzz") : rightText(flow.currentId));
    } else if (isChoiceMode(mode_)) {
      choose(*dlg, !miss);
    } else {
      auto* turn = find<QPushButton>(*dlg, 1230)->isVisible() ? find<QPushButton>(*dlg, 1230)
                                                                : find<QPushButton>(*dlg, 1229);
      QTest::mouseClick(turn, Qt::LeftButton);
      QTest::mouseClick(find<QPushButton>(*dlg, miss ? 1232 : 1231), Qt::LeftButton);
    }
  }

  int mode_;
  int missed_;
  QTimer tick_;
  QElapsedTimer deadline_;
  std::set<std::tuple<int, int, int, int>> done_;
};

}  // namespace

class ScriptedStudy : public ::testing::TestWithParam<int> {};

TEST_P(ScriptedStudy, RunsThroughStartStudyWithOneMistake) {
  const int mode = GetParam();
  StudyApp s(mode);
  std::vector<std::wstring> spoken;
  if (mode == ModeDictation) {
    s.settings.useVoice.value = true;
    s.app.speechVoice = SpeechVoice([&spoken] { return std::make_unique<RecordingSpeechEngine>(spoken); });
    ASSERT_TRUE(s.app.speechVoice.prepare(s.settings));
  }
  StudyDriver driver(mode, 2);
  EXPECT_TRUE(s.startStudy(L"scripted", {1, 2, 3}));

  // One study log of the user on the set in the mode, with the study's totals.
  const std::wstring uid = std::to_wstring(s.app.currentUserId), mid = std::to_wstring(mode);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM log_id WHERE lid=0 AND eid=2 AND uid=" + uid + L" AND mid=" + mid), 1);
  EXPECT_EQ(s.intValue(L"SELECT nRun FROM element_log WHERE lid=0"), 1);
  EXPECT_GT(s.intValue(L"SELECT FirstReplyDate FROM element_log WHERE lid=0"), 0);
  // The daily log: its times, and as strokes the characters typed (none when nothing is typed).
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log WHERE did=0 AND lid=0 AND EndTime>=StartTime AND StartTime>0"), 1);
  const int strokes = s.intValue(L"SELECT Strokes FROM daily_log WHERE did=0");
  EXPECT_EQ(strokes, s.intValue(L"SELECT TotalStrokes FROM element_log WHERE lid=0"));
  if (isTypedMode(mode)) {
    EXPECT_GT(strokes, 0);
  } else {
    EXPECT_EQ(strokes, 0);
  }
  // Each question's result: the missed one wrong first, then right in both re-reply passes.
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log WHERE did=0"), 3);
  EXPECT_EQ(s.intValue(L"SELECT nc1 FROM daily_question_log WHERE did=0 AND qid=1"), 1);
  EXPECT_EQ(s.intValue(L"SELECT ni1 FROM daily_question_log WHERE did=0 AND qid=2"), 1);
  EXPECT_EQ(s.intValue(L"SELECT nc2 FROM daily_question_log WHERE did=0 AND qid=2"), 2);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM question_log WHERE uid=" + uid + L" AND mid=" + mid), 3);
  EXPECT_EQ(s.intValue(L"SELECT ni1 FROM question_log WHERE qid=2 AND uid=" + uid + L" AND mid=" + mid), 1);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM memory_rate WHERE uid=" + uid), 3);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM looped_questions WHERE lid=0"), 3);
  EXPECT_TRUE(s.notifier.boxes.empty()) << platform::toUtf8(s.notifier.boxes.front());
  // Not asked to stop after an answer, only dictation waits after each right one (four of them).
  EXPECT_EQ(driver.waits, mode == ModeDictation ? 4 : 0);
  if (mode == ModeDictation) {
    for (const wchar_t* word : {L"classroom", L"blackboard", L"desk"})
      EXPECT_NE(std::find(spoken.begin(), spoken.end(), word), spoken.end()) << platform::toUtf8(word);
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, ScriptedStudy, ::testing::Range(0, 7),
                         [](const ::testing::TestParamInfo<int>& info) { return std::string(modeName(info.param)); });

TEST(StartStudyRun, ASecondStudyIsRefusedWhileOneRunsAndExitSavesButReportsTheExit) {
  StudyApp s(ModeJe);
  bool secondRefused = false;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    auto* dlg = qobject_cast<CTransDlg*>(QApplication::activeModalWidget());
    if (!dlg || dlg->flow().tstate != TurnReply) return;
    driver.stop();
    secondRefused = !s.startStudy(L"second", {4}) &&
                    s.app.notice.text() == L"既に回答中なので、回答できません。";
    studytest::typeReply(*dlg, "classroom");
    QTimer::singleShot(50, dlg, [dlg] { studytest::typeReply(*dlg, "!exit"); });
  });
  driver.start(15);
  EXPECT_FALSE(s.startStudy(L"first", {1, 2}));
  EXPECT_TRUE(secondRefused);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log WHERE EndTime>0"), 1);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log"), 1);
}
