#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <ctime>
#include <functional>

#include "app/pages/page_drawing.h"
#include "app/pages/tabpage_loginfo.h"
#include "database/folders/section_questions.h"
#include "element_tree_fixture.h"
#include "held_database.h"
#include "page_host.h"
#include "platform/clock.h"
#include "platform/drawing/system_metrics.h"
#include "platform/trace.h"
#include "scoped_env.h"
#include "services/shell_values.h"

using namespace apptest;
using platform::rgb;

namespace {

constexpr int kSet = 2;    // the sample set: questions 1..23
constexpr int kNow = 1717200000;  // 2024-06-01 00:00 UTC

class LearningPage : public ::testing::Test {
 protected:
  LearningPage() : clock([] { return int64_t{kNow}; }) {
    tzset();
    s.settings.randomMistakeReply.value = false;
    s.settings.randomReply.value = false;
    host.select = [this](std::vector<int>& ids) { return page.SelectQuestionsForMethod(ids, reportFailedRead); };
    page.resize(600, 400);
  }

  void addLog(int runs = 3, int seconds = 0, int strokes = 0, int accomplished = 0) {
    s.run(platform::format(L"INSERT INTO log_id VALUES (1, %d, %d, 0)", s.app.currentUserId, kSet));
    s.run(platform::format(L"INSERT INTO element_log VALUES (1, 1, %d, %d, %d, %d, '', '')", runs, seconds, strokes,
                           accomplished));
  }
  // One study run of log 1 ending at `end`, with (qid, nc1, ni1) results.
  void addRun(int did, int end, std::initializer_list<std::array<int, 3>> results) {
    s.run(platform::format(L"INSERT INTO daily_log VALUES (%d, 1, %d, %d, 0, '', '')", did, end - 60, end));
    for (const auto& r : results)
      s.run(platform::format(L"INSERT INTO daily_question_log VALUES (%d, %d, %d, %d, 0, 0, 1.0, 0, 0)", did, r[0], r[1],
                             r[2]));
  }
  void addQuestionLog(int qid, int nc1, int ni1, int lastStudy, int lastMistake) {
    s.run(platform::format(L"INSERT INTO question_log VALUES (%d, %d, 0, %d, %d, 0, 0, 0, 0, 0, 0, %d, %d, 1.0, '', '')",
                           qid, s.app.currentUserId, nc1, ni1, lastStudy, lastMistake));
  }
  std::deque<int> review(int periodIndex, int targetIndex) {
    page.findChild<QComboBox*>("id1196")->setCurrentIndex(periodIndex);
    page.SetReviewTarget(targetIndex);
    std::deque<int> ids;
    EXPECT_EQ(page.SelectQuestionsByPeriod(ids), pdb3::FirstRow::found);
    return ids;
  }
  QImage render() {
    QImage image(600, 400, QImage::Format_RGB32);
    platform::Dc dc(image);
    page.OnPaint(dc);
    return image;
  }

  testenv::ScopedEnv utc{"TZ", "UTC"};
  platform::ClockOverride clock;
  TreeApp s;
  PageHost host;
  CTabpageLoginfo page{s.app, host};
};

platform::COLORREF pixel(const QImage& image, int x, int y) { return platform::fromPixel(image.pixel(x, y)); }

TEST(LearningPageHelpers, StudyTimeFormsAndIdRemoval) {
  EXPECT_EQ(StudyTimeText(3600), L"60 分  0 秒");
  EXPECT_EQ(StudyTimeText(61), L" 1 分  1 秒");
  EXPECT_EQ(StudyTimeText(-60), L"   60 秒");
  EXPECT_EQ(StudyTimeText(3601), L" 1H 00m 01s");
  std::deque<int> ids{5, 3, 5, 9};
  EXPECT_FALSE(RemoveIdsFromDeque(ids, {5, 7}));
  EXPECT_EQ(ids, (std::deque<int>{3, 5, 9}));
}

TEST_F(LearningPage, CountAndThresholdEditsKeepTheirBounds) {
  host.remain = 12;
  page.FillCountCombo();
  auto* count = page.findChild<QComboBox*>("id1198");
  ASSERT_EQ(count->count(), 1);
  EXPECT_EQ(count->itemText(0), "10");
  count->setEditText("40");
  EXPECT_EQ(count->currentText(), "12");

  host.remain = 40;
  s.settings.defaultQuestionCount.value = 15;
  count->setEditText("3");
  auto* all = page.findChild<QPushButton*>("id1029");
  all->click();
  EXPECT_EQ(count->currentText(), "40");
  all->click();
  EXPECT_EQ(count->currentText(), "15");

  auto* threshold = page.findChild<QComboBox*>("id1197");
  EXPECT_EQ(threshold->currentText(), "50");
  threshold->setEditText("7a.5");
  EXPECT_EQ(threshold->currentText(), "7.5");
  EXPECT_DOUBLE_EQ(page.GetRateThreshold(), 7.5);
  threshold->setEditText("150");
  EXPECT_EQ(threshold->currentText(), "100");
}

TEST_F(LearningPage, ReviewSelectsByPeriodAndByTheLastStudy) {
  std::deque<int> none;
  EXPECT_EQ(page.SelectQuestionsByPeriod(none), pdb3::FirstRow::missing);  // no study log yet
  addLog();
  addRun(1, kNow - 7200, {{3, 1, 0}, {5, 0, 1}});
  addRun(2, kNow - 600, {{2, 0, 1}, {4, 1, 0}, {22, 0, 2}});
  addQuestionLog(2, 0, 1, kNow - 600, kNow - 600);
  addQuestionLog(4, 1, 0, kNow - 600, 0);
  addQuestionLog(3, 1, 0, kNow - 2 * 86400, 0);  // outside 24 hours
  EXPECT_EQ(review(1, 0), (std::deque<int>{2, 4}));
  EXPECT_EQ(review(1, 1), (std::deque<int>{2}));
  EXPECT_EQ(review(1, 2).size(), 21u);
  EXPECT_EQ(review(3, 0), (std::deque<int>{2, 3, 4}));
  // The last study: the newest run by its end.
  EXPECT_EQ(review(0, 0), (std::deque<int>{2, 4, 22}));
  EXPECT_EQ(review(0, 1), (std::deque<int>{2, 22}));
  page.findChild<QRadioButton*>("id1243")->click();
  EXPECT_EQ(page.findChild<QLineEdit*>("id1023")->text().toStdWString(), L"前回に間違えた問題を復習します");
  EXPECT_TRUE(page.findChild<QComboBox*>("id1198")->isHidden());
  std::deque<int> rest = review(0, 2);
  std::deque<int> expected;
  pdb3::nonEmptyQuestionIds(s.accessor(), kSet, expected);
  RemoveIdsFromDeque(expected, {2, 4, 22});
  EXPECT_EQ(rest, expected);
  EXPECT_EQ(rest.front(), 1);
  EXPECT_EQ(rest[1], 3);
}

TEST_F(LearningPage, FocusedStudyTakesLowRatesByTheCorrectRateMode) {
  addLog();
  addQuestionLog(1, 1, 3, kNow, kNow);  // 25 %
  addQuestionLog(2, 1, 1, kNow, kNow);  // 50 %
  addQuestionLog(3, 3, 1, kNow, kNow);  // 75 %
  s.run(L"UPDATE question_log SET nc2=9 WHERE qid=1");  // counted in modes 1 and 2 only
  page.SetStudyMethod(2);
  std::vector<int> ids;
  EXPECT_TRUE(page.SelectQuestionsForMethod(ids, reportFailedRead));
  EXPECT_EQ(ids, (std::vector<int>{2}));
  s.settings.correctrateMode = 0;
  ids.clear();
  EXPECT_TRUE(page.SelectQuestionsForMethod(ids, reportFailedRead));
  EXPECT_EQ(ids, (std::vector<int>{1, 2}));
  page.findChild<QComboBox*>("id1197")->setEditText("0");
  EXPECT_FALSE(page.SelectQuestionsForMethod(ids, reportFailedRead));
}

TEST_F(LearningPage, StudyButtonStartsTheSelectionOrUpdatesTheRanking) {
  page.findChild<QComboBox*>("id1198")->setEditText("0");
  page.OnStudy();
  EXPECT_EQ(s.takeBoxes(), L"KLV7: 出題数を 1 ～ 23 の範囲で指定してください。\n");
  EXPECT_TRUE(host.studies.empty());
  page.findChild<QComboBox*>("id1198")->setEditText("4");
  page.findChild<QPushButton*>("id1015")->click();
  ASSERT_EQ(host.studies.size(), 1u);
  EXPECT_EQ(host.studies[0].first, host.path);
  EXPECT_EQ(host.studies[0].second, (std::vector<int>{1, 2, 3, 4}));
  host.page = 3;
  page.OnStudy();
  EXPECT_EQ(host.rankingUpdates, 1);
  EXPECT_EQ(host.studies.size(), 1u);
}

TEST_F(LearningPage, RefreshListsTheRoundsStudiesNewestFirst) {
  page.SetStudyMethod(1);
  page.RefreshFromDialog();
  EXPECT_EQ(page.historyList().count(), 0);
  EXPECT_EQ(page.GetCheckedStudyMethod(), CTabpageLoginfo::kNormal);
  EXPECT_FALSE(page.findChild<QRadioButton*>("id1243")->isEnabled());
  const auto historyShown = [this] {
    QString shown;
    for (const char* name : {"id1130", "id1239", "id1220"}) shown += page.findChild<QWidget*>(name)->isHidden() ? "-" : "+";
    return shown;
  };
  EXPECT_EQ(historyShown(), "---");  // no study yet: the list, its group and its menu button are away
  addLog();
  for (int did = 1; did <= 32; ++did) addRun(did, kNow - 86400 * (40 - did), {{did % 23 + 1, 1, 0}});
  host.remain = 20;
  host.questions = 23;
  page.RefreshFromDialog();
  ASSERT_EQ(page.historyList().count(), 30);
  EXPECT_EQ(page.historyList().currentIndex(), 0);
  EXPECT_EQ(page.historyList().itemText(0).toStdWString(), L"[ 5/24 00:00] の学習履歴");
  EXPECT_EQ(page.historyList().itemData(0).toInt(), 32);
  EXPECT_EQ(historyShown(), "+++");
  EXPECT_TRUE(page.findChild<QRadioButton*>("id1243")->isEnabled());
  EXPECT_EQ(page.findChild<QComboBox*>("id1198")->currentText(), "15");
  page.ApplyCountAfterStudy(4);
  EXPECT_EQ(page.findChild<QComboBox*>("id1198")->currentText(), "4");
}

TEST_F(LearningPage, DeletesOneStudyOrAllAndRollsBackAFailure) {
  addLog();
  addRun(1, kNow - 7200, {{3, 1, 0}});
  addRun(2, kNow - 600, {{2, 0, 1}});
  addQuestionLog(2, 0, 1, kNow - 600, kNow - 600);
  host.onRefresh = [this] { page.RefreshFromDialog(); };
  page.RefreshFromDialog();
  s.notifier.answer = platform::IdYes;
  s.run(L"CREATE TRIGGER keep BEFORE DELETE ON daily_log BEGIN SELECT RAISE(ABORT, 'kept'); END");
  page.OnDeleteThisHistory();
  EXPECT_EQ(s.takeBoxes(), L"履歴消去: 問題集 " + host.path +
                               L" の [ 5/31 23:50] の学習履歴(2024-05-31(金) 23:49:00) を消去しますか？\n"
                               L"Kelvara: 消去に失敗しました\n"
                               L"kept\n");
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_question_log"), 2);
  s.run(L"DROP TRIGGER keep");
  page.OnDeleteThisHistory();
  s.takeBoxes();
  EXPECT_EQ(s.intValue(L"SELECT group_concat(did) FROM daily_question_log"), 1);
  EXPECT_EQ(page.historyList().count(), 1);
  page.OnDeleteAllHistory();
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log"), 0);
  EXPECT_EQ(s.intValue(L"SELECT ni1 FROM question_log WHERE qid=2"), 1);
  EXPECT_EQ(host.refreshes, 2);
}

// While another program holds the file the page draws what its last refresh read, and a deletion
// or a listing that cannot read its study says so instead of doing nothing.
TEST_F(LearningPage, UnderALockThePageDrawsFromMemoryAndItsCommandsSayWhy) {
  addLog(3, 120);
  addRun(1, kNow - 7200, {{3, 1, 0}});
  addRun(2, kNow - 600, {{2, 0, 1}});
  page.SetStudyMethod(1);  // a review: its bar counts questions too
  ASSERT_TRUE(page.RefreshFromDialog());
  const QImage before = render();
  s.notifier.answer = platform::IdYes;
  {
    HeldDatabase held(s.databasePath());
    EXPECT_EQ(render(), before);
    EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::none);
    page.OnDeleteThisHistory();
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 学習履歴を読み込めなかったため、消去しませんでした。\n" + kBusyCause + L"\n");
    HeldDatabase::nextAction();
    page.ShowQuestionsOfStudy();
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: この回に学習した問題を読み込めませんでした。\n" + kBusyCause + L"\n");
    page.OnDeleteThisHistory();  // a deletion not made is said though the action has said a failure
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 学習履歴を読み込めなかったため、消去しませんでした。\n" + kBusyCause + L"\n");
    HeldDatabase::nextAction();
    page.OnDeleteAllHistory();
    EXPECT_NE(s.takeBoxes().find(L"学習履歴を読み込めなかったため、消去しませんでした。\n" + kBusyCause), std::wstring::npos);
    HeldDatabase::nextAction();
    EXPECT_FALSE(page.RefreshFromDialog());
    EXPECT_NE(render(), before);  // figures that could not be read are not drawn as before, nor as zeros
  }
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM daily_log"), 2);
  EXPECT_TRUE(page.RefreshFromDialog());
  EXPECT_EQ(render(), before);
}

TEST_F(LearningPage, ListingAStudyTellsOldRecordsFromEmptyOnes) {
  addLog();
  addRun(1, kNow - 7200, {{0, 3, 1}});
  addRun(2, kNow - 600, {});
  page.RefreshFromDialog();
  page.ShowQuestionsOfStudy();
  page.historyList().setCurrentIndex(1);
  page.ShowQuestionsOfStudy();
  EXPECT_EQ(s.takeBoxes(),
            L"Kelvara: この回に学習した問題はありません\n"
            L"Kelvara: この回は Ver.6 以前に学習した情報のため，どの問題を学習したのか記録されていません\n");
  EXPECT_EQ(page.functionMenu().actions().size(), 3);
}

TEST_F(LearningPage, ChartPlotsTheNewestStudiesAtTheRightAndShadesTheChosenOne) {
  addLog();
  // Rates, newest first: 1/2, 1/4, 0, 1.
  addRun(1, kNow - 4000, {{1, 1, 0}});
  addRun(2, kNow - 3000, {{1, 0, 1}});
  addRun(3, kNow - 2000, {{1, 1, 3}});
  addRun(4, kNow - 1000, {{1, 1, 1}});
  page.RefreshFromDialog();
  QImage image = render();
  // Frame (285,125)-(590,210), zero line 209, 10 points 33 apart.
  EXPECT_EQ(page.chartRect(), (platform::Rect{260, 120, 600, 230}));
  EXPECT_EQ(pixel(image, 285, 150), rgb(0, 0, 0));
  EXPECT_EQ(pixel(image, 285 + 33, 209), rgb(0, 0, 255));                  // an older point, no study
  EXPECT_EQ(pixel(image, 285 + 33 * 8, 209 - 21), rgb(0, 0, 255));         // 1/4
  EXPECT_EQ(pixel(image, 285 + 33 * 7, 209), rgb(0, 0, 255));              // 0
  EXPECT_EQ(pixel(image, 285 + 33 * 6, 125), rgb(0, 0, 255));             // 1: on the frame's top
  EXPECT_EQ(pixel(image, 570, 140), rgb(224, 224, 224));                   // study 0 shaded
  EXPECT_EQ(pixel(image, 560, 140), rgb(255, 255, 255));
  page.historyList().setCurrentIndex(2);
  image = render();
  const int x1 = 285 + 16 + (10 - 2 - 2) * 33;
  EXPECT_EQ(pixel(image, x1, 140), rgb(224, 224, 224));
  EXPECT_EQ(pixel(image, x1 + 32, 140), rgb(255, 255, 255));
  EXPECT_EQ(pixel(image, x1 - 1, 140), rgb(255, 255, 255));
}

TEST_F(LearningPage, TwelveStudiesAreLabelledUnderEveryThirdPoint) {
  addLog();
  for (int did = 1; did <= 12; ++did) addRun(did, kNow - 86400 * (13 - did), {{1, 1, 0}});
  page.RefreshFromDialog();
  const QImage image = render();
  // 12 points 27 apart; labels (5 characters) start 17 left of their point, 5 below the zero line.
  const auto inked = [&](int left, int right) {
    for (int x = left; x < right; ++x)
      for (int y = 214; y < 228; ++y)
        if (pixel(image, x, y) != platform::getSysColor(platform::ColorBtnFace)) return true;
    return false;
  };
  EXPECT_TRUE(inked(285 + 27 * 3 - 17, 285 + 27 * 4 - 17));
  EXPECT_FALSE(inked(285 + 27 * 1 - 17, 285 + 27 * 3 - 17));
}

// The figures in their colours: the round's rate in the colour of its rate, the chosen study's own
// counts, the round's number counted from 1, the typing figures in every mode the learner types in
// (dictation too) and in no other, and a review of mistakes in red.
TEST_F(LearningPage, FiguresAreDrawnInTheirColoursAndTheTypingFiguresInTheTypingModes) {
  const platform::COLORREF face = platform::getSysColor(platform::ColorBtnFace);
  const auto anyPixel = [](const QImage& image, QRect area, const std::function<bool(platform::COLORREF)>& is) {
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (is(pixel(image, x, y))) return true;
    return false;
  };
  addLog(3, 600, 1200, 2);
  addRun(1, kNow - 7200, {{3, 1, 0}, {5, 0, 1}});
  addRun(2, kNow - 600, {{2, 1, 0}, {4, 1, 0}, {22, 0, 1}});
  addQuestionLog(22, 0, 1, kNow - 600, kNow - 600);
  host.corrects = 3;
  host.incorrects = 1;
  host.questions = host.remain = 23;
  host.translated = 5;
  page.RefreshFromDialog();
  ASSERT_EQ(page.historyList().currentData().toInt(), 2);

  QImage image = render();
  const platform::COLORREF threeQuarters = RateToColor(0.75);
  ASSERT_NE(threeQuarters, rgb(0, 0, 0));
  EXPECT_TRUE(anyPixel(image, QRect(60, 60, 175, 18), [&](platform::COLORREF c) { return c == threeQuarters; }));
  // Drawn again over the page as they should be, the newest study's 2 correct answers and the third
  // round's bar change nothing.
  QImage expected = image.copy();
  {
    platform::Dc dc(expected);
    const PageFontScope font(dc, 14);
    dc.setBkMode(platform::Opaque);
    dc.setBkColor(face);
    const platform::Rect counts{265, 55, 590, 230};
    dc.fillSolidRect(platform::Rect{265, 55, 590, 75}, face);
    drawLabelAndValue(dc, counts, counts, L"正解数", L"2", rgb(0, 0, 255));
    const platform::Rect bar{10, 330, 450, 365};
    dc.fillSolidRect(bar, face);
    dc.setBkMode(platform::Transparent);
    page.DrawProgressBar(dc, L"進行状況 [3回目]", bar, 23, rgb(255, 255, 255), 5, rgb(192, 192, 255));
  }
  for (const QRect area : {QRect(265, 55, 325, 20), QRect(10, 330, 440, 35)})
    EXPECT_EQ(image.copy(area), expected.copy(area)) << area.y();

  for (int mode = 0; mode <= 6; ++mode) {
    s.app.studyMode = mode;
    const bool typing = mode == 0 || mode == 2 || mode == 4 || mode == 6;
    EXPECT_EQ(anyPixel(render(), QRect(10, 130, 225, 40), [&](platform::COLORREF c) { return c != face; }), typing) << mode;
  }

  s.app.studyMode = 0;
  page.SetStudyMethod(1);
  page.SetReviewTarget(1);  // question 22, the last study's mistake
  EXPECT_EQ(pixel(render(), 125, 340), rgb(255, 0, 0));
}

TEST_F(LearningPage, BarsShowProgressAndStayInTheirFrame) {
  host.translated = 5;
  QImage image = render();
  // Bar (10,330)-(450,365): frame from x 120 to 450, inside 121..448, filled to 121 + 5/23 * 328.
  const int x = 121 + 5 * 328 / 23;
  EXPECT_EQ(pixel(image, 150, 340), rgb(192, 192, 255));
  EXPECT_EQ(pixel(image, x, 340), rgb(0, 0, 0));
  EXPECT_EQ(pixel(image, x + 1, 340), rgb(255, 255, 255));
  host.translated = 40;
  image = render();
  EXPECT_EQ(pixel(image, 449, 340), rgb(0, 0, 0));
  EXPECT_EQ(pixel(image, 448, 340), rgb(192, 192, 255));
  EXPECT_EQ(pixel(image, 460, 340), platform::getSysColor(platform::ColorBtnFace));
  host.folder = true;
  host.questions = 0;
  image = render();
  EXPECT_EQ(pixel(image, 150, 340), rgb(255, 255, 255));
}

}  // namespace
