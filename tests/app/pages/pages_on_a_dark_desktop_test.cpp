// The main dialog's drawn pages with figures, charts and lists in them, made under a dark desktop's
// palette and under the stock one: on the dark one every text they draw stands out from what lies
// under it; on the stock one each keeps the colour of the classic look.
#include <gtest/gtest.h>

#include <QHash>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <memory>
#include <optional>

#include "app/pages/id_list_model.h"
#include "app/pages/level_calculation.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_questionlog.h"
#include "app/pages/tabpage_ranking.h"
#include "app/pages/tabpage_smartlearning.h"
#include "element_tree_fixture.h"
#include "page_host.h"
#include "page_host_fixture.h"
#include "platform/clock.h"
#include "platform/drawing/readable_colour.h"
#include "platform/drawing/system_metrics.h"
#include "platform/trace.h"
#include "scoped_env.h"
#include "app/shell/app_resources.h"
#include "services/shell_values.h"
#include "text_contrast.h"
#include "patience.h"

using namespace apptest;
using platform::rgb;

namespace {

constexpr int kNow = 1717200000;  // 2024-06-01 00:00 UTC
constexpr int kDay = 86400;
constexpr int kSampleSet = 2;  // the sample set of the default database: questions 1..23

enum class Desktop { dark, stock };

// The desktop's palette, in place before any window of the test is made.
class DesktopPalette {
 public:
  explicit DesktopPalette(Desktop desktop) {
    if (desktop == Desktop::dark) scope_.emplace(darkDesktopPalette());
  }

 private:
  std::optional<ApplicationPaletteScope> scope_;
};

// The first text drawn that reads `text`, or null.
const DrawnText* findText(const std::vector<DrawnText>& texts, const QString& text) {
  for (const DrawnText& drawn : texts)
    if (drawn.text == text) return &drawn;
  return nullptr;
}

// The texts that must be among those drawn, so that a page drawing nothing is not taken for one
// that can be read.
void expectDrawn(const std::vector<DrawnText>& texts, std::initializer_list<const char*> expected) {
  QStringList drawn;
  for (const DrawnText& text : texts) drawn << text.text;
  for (const char* text : expected)
    EXPECT_TRUE(findText(texts, QString::fromUtf8(text))) << text << " among " << drawn.join('|').toStdString();
}

// Every text of the page stands out from what lies under it by 3:1 at least, but for two the
// toolkit draws in the desktop's own pairs: the rows a list shows selected (the dark scheme chose
// 2.4:1 for every program on it) and the greyed caption of a control that cannot be used now
// (the stock palette's stands out by 1.6:1 only, the dark one's by more).
void expectEveryTextReadable(QWidget& page) {
  const QPalette palette = page.palette();
  const QColor selected = palette.color(QPalette::HighlightedText);
  const QColor greyed = palette.color(QPalette::Disabled, QPalette::ButtonText);
  QStringList faded;
  for (const DrawnText& text : textsDrawn(&page))
    if (text.contrast < 3.0 && text.colour != selected && text.colour != greyed)
      faded << QString("\"%1\": %2 on %3 is %4:1").arg(text.text, text.colour.name(), text.ground.name()).arg(text.contrast);
  EXPECT_TRUE(faded.isEmpty()) << faded.join('\n').toStdString();
}

QColor colourOf(const std::vector<DrawnText>& texts, const char* text) {
  const DrawnText* drawn = findText(texts, QString::fromUtf8(text));
  return drawn ? drawn->colour : QColor();
}

// How far the text in `area` of `page` stands out as the page is shown, with the frames the style
// paints over it: its strongest pixel (a stroke's core) against the colour most of the area has.
double contrastAsShown(QWidget& page, const QRect& area) {
  QImage shown(page.size(), QImage::Format_RGB32);
  page.render(&shown);
  QHash<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ++counts[shown.pixel(x, y)];
  QRgb ground = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > counts.value(ground)) ground = it.key();
  double strongest = 1.0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    strongest = std::max(strongest, contrastOf(QColor(it.key()), QColor(ground)));
  return strongest;
}

void show(QWidget& window, QWidget& page) {
  window.resize(760, 560);
  window.show();
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kPatienceMs));
}

// A page over the test tree and a host, on a desktop, at a fixed time read in UTC.
template <class Page>
struct TimedPageOnDesktop {
  explicit TimedPageOnDesktop(Desktop desktop) : palette(desktop) { tzset(); }
  DesktopPalette palette;
  testenv::ScopedEnv utc{"TZ", "UTC"};
  platform::ClockOverride clock{[] { return int64_t{kNow}; }};
  TreeApp s;
  PageHost host;
  std::unique_ptr<Page> page;
};

// The learning page after a round of two studies in a typing mode: the figures, the chosen study's
// counts, the chart with its scale and dates, and the round's bar.
struct LearningPageWithData : TimedPageOnDesktop<CTabpageLoginfo> {
  explicit LearningPageWithData(Desktop desktop) : TimedPageOnDesktop(desktop) {
    s.app.studyMode = 0;
    s.run(platform::format(L"INSERT INTO log_id VALUES (1, %d, %d, 0)", s.app.currentUserId, kSampleSet));
    s.run(L"INSERT INTO element_log VALUES (1, 1, 3, 600, 1200, 2, '', '')");
    const struct {
      int did, end, qid, correct, incorrect;
    } runs[] = {{1, kNow - 2 * kDay, 3, 1, 0}, {2, kNow - kDay, 5, 1, 1}, {3, kNow - 600, 2, 1, 0}};
    for (const auto& r : runs) {
      s.run(platform::format(L"INSERT INTO daily_log VALUES (%d, 1, %d, %d, 0, '', '')", r.did, r.end - 60, r.end));
      s.run(platform::format(L"INSERT INTO daily_question_log VALUES (%d, %d, %d, %d, 0, 0, 1.0, 0, 0)", r.did, r.qid,
                             r.correct, r.incorrect));
    }
    host.corrects = 3;
    host.incorrects = 1;
    host.translated = 5;
    page = std::make_unique<CTabpageLoginfo>(s.app, host, &host.window);
    page->resize(600, 400);
    page->RefreshFromDialog();
  }
};

TEST(PagesOnADarkDesktop, TheLearningPagesFiguresChartAndBarStandOutAndKeepTheirClassicColours) {
  const auto learningTexts = {"正解数", "学習回数", "総学習時間", "キー入力速度", "打鍵数", "100%", "0%",
                              "出題数",  "進行状況 [3回目]", "5"};
  {
    LearningPageWithData dark(Desktop::dark);
    show(dark.host.window, *dark.page);
    expectDrawn(textsDrawn(dark.page.get()), learningTexts);
    expectEveryTextReadable(*dark.page);
    // The figures lie in a group box the style tints a shade off the face they were shaded on.
    EXPECT_GE(contrastAsShown(*dark.page, QRect(10, 20, 200, 16)), 3.0) << "正解数";
    EXPECT_GE(contrastAsShown(*dark.page, QRect(10, 150, 200, 16)), 3.0) << "打鍵数";
    // A folder's figures are drawn greyed.
    dark.host.folder = true;
    expectEveryTextReadable(*dark.page);
  }
  LearningPageWithData stock(Desktop::stock);
  show(stock.host.window, *stock.page);
  const std::vector<DrawnText> texts = textsDrawn(stock.page.get());
  expectDrawn(texts, learningTexts);
  EXPECT_EQ(colourOf(texts, "正解数"), QColor(0, 0, 255));
  EXPECT_EQ(colourOf(texts, "不正解数"), QColor(255, 0, 0));
  EXPECT_EQ(colourOf(texts, "正解率"), platform::toQColor(RateToColor(3.0 / 4)));
  EXPECT_EQ(colourOf(texts, "学習回数"), QColor(0, 0, 0));
  EXPECT_EQ(colourOf(texts, "キー入力速度"), QColor(0, 96, 0));
  EXPECT_EQ(colourOf(texts, "100%"), QColor(0, 0, 0));
  EXPECT_EQ(colourOf(texts, "進行状況 [3回目]"), QColor(0, 0, 0));
  stock.host.folder = true;
  EXPECT_EQ(colourOf(textsDrawn(stock.page.get()), "出題数"), QColor(128, 128, 128));
}

// The ranking page of a learner with a standing and points not yet sent.
struct RankingPageWithData : TimedPageOnDesktop<CTabpageRanking> {
  explicit RankingPageWithData(Desktop desktop) : TimedPageOnDesktop(desktop) {
    PointInfoRecord& record = s.app.CurrentUserPointInfo();
    PointInfoRecord::copyText(record.rankingId, L"learner");
    record.acceptedTotal = PointInfoRecord::Counters{40, 8, 480, {}, {}, 1200, kNow - kDay, 0};
    record.pendingTotal = PointInfoRecord::Counters{10, 2, 120, {}, {}, 300, kNow - 600, 0};
    PointInfoRecord::copyText(record.pendingTotal.ls, L"中学校の単語");
    record.totalRank = 12;
    record.totalUsers = 345;
    record.totalUpdateTime = kNow - kDay;
    page = std::make_unique<CTabpageRanking>(s.app, host, &host.window);
    page->resize(600, 400);
  }
};

TEST(PagesOnADarkDesktop, TheRankingPagesStandingStandsOutAndKeepsItsClassicColours) {
  const auto rankingTexts = {"順位", "12 位（345 人中）", "ポイント", "480 + 120", "最近学習した問題集", "最終更新日"};
  {
    RankingPageWithData dark(Desktop::dark);
    show(dark.host.window, *dark.page);
    expectDrawn(textsDrawn(dark.page.get()), rankingTexts);
    expectEveryTextReadable(*dark.page);
  }
  RankingPageWithData stock(Desktop::stock);
  show(stock.host.window, *stock.page);
  const std::vector<DrawnText> texts = textsDrawn(stock.page.get());
  expectDrawn(texts, rankingTexts);
  EXPECT_EQ(colourOf(texts, "ポイント"), QColor(0, 0, 255));
  EXPECT_EQ(colourOf(texts, "順位"), QColor(0, 0, 0));
  EXPECT_EQ(colourOf(texts, "最終更新日"), QColor(0, 0, 0));
}

// The smart-learning page over a list of four questions, two of them learned far and one a little,
// with its level history counted.
struct SmartLearningPageWithData {
  explicit SmartLearningPageWithData(Desktop desktop) : palette(desktop) {
    const int sid = t.app.smartLearningSetId;
    t.run(L"BEGIN");
    const int old = kNow - 40 * kDay;
    std::array<int, 10> eight{};
    for (int i = 0; i < 8; ++i) eight[i] = old + i;
    for (int q : {8500, 8501, 8502, 8503}) t.addQuestion(q, L"w", sid);
    t.learn(8500, 90, 8, old, eight);
    t.learn(8501, 90, 8, old, eight);
    t.learn(8502, 60, 1, old, {old});
    t.run(L"COMMIT");
    page = std::make_unique<CTabpageSmartlearning>(t.app, t.host, &t.host.window);
    page->resize(760, 560);
  }
  // Shown, with the level history counted.
  void showCounted() {
    show(t.host.window, *page);
    const smart::LevelCalculator& calculator = page->levelCalculator();
    ASSERT_TRUE(QTest::qWaitFor([&] { return calculator.counted() && !calculator.running(); }, testwait::kPatienceMs));
  }
  // The forgetting curve of the first question of the list.
  void showCurve() {
    page->findChild<QRadioButton*>("id1329")->click();
    page->list().selectRow(0);
  }

  DesktopPalette palette;
  platform::ClockOverride clock{[] { return int64_t{kNow}; }};
  PageApp t;
  std::unique_ptr<CTabpageSmartlearning> page;
};

TEST(PagesOnADarkDesktop, TheSmartLearningPagesCountsGraphsAndHintStandOutAndKeepTheirClassicColours) {
  const auto levelTexts = {"表示：", "Level E :     1", "Level F :     1", "達成状況", "0", "3"};
  {
    SmartLearningPageWithData dark(Desktop::dark);
    dark.showCounted();
    expectDrawn(textsDrawn(dark.page.get()), levelTexts);
    expectEveryTextReadable(*dark.page);
    dark.showCurve();
    expectDrawn(textsDrawn(dark.page.get()), {"○○○○○", "●●●●●"});
    expectEveryTextReadable(*dark.page);
  }
  SmartLearningPageWithData stock(Desktop::stock);
  stock.showCounted();
  const std::vector<DrawnText> texts = textsDrawn(stock.page.get());
  expectDrawn(texts, levelTexts);
  EXPECT_EQ(colourOf(texts, "表示："), QColor(0, 0, 0));
  EXPECT_EQ(colourOf(texts, "Level F :     1"), QColor(0, 0, 0));
  EXPECT_EQ(colourOf(texts, "0"), QColor(0, 0, 0));
  EXPECT_EQ(colourOf(texts, "覚えたい問題集を追加できます →"), QColor(64, 64, 192));
  stock.showCurve();
  EXPECT_EQ(colourOf(textsDrawn(stock.page.get()), "○○○○○"), QColor(0, 0, 0));
}

// The question log of a set with three questions answered.
struct QuestionLogPageWithData {
  explicit QuestionLogPageWithData(Desktop desktop) : palette(desktop) {
    t.app.currentSetId = kZeta;
    t.run(L"BEGIN");
    for (int qid : {8600, 8601}) {
      t.addQuestion(qid, L"a", kZeta);
      t.logAnswers(qid, 0, {3, 1, 0, 0, 0, 0, 0, 0}, kNow - kDay);
    }
    t.run(L"COMMIT");
    t.host.questions = 4;
    page = std::make_unique<CTabpageQuestionlog>(t.app, t.host, &t.host.window);
    page->resize(760, 500);
  }

  DesktopPalette palette;
  platform::ClockOverride clock{[] { return int64_t{kNow}; }};
  PageApp t;
  std::unique_ptr<CTabpageQuestionlog> page;
};

TEST(PagesOnADarkDesktop, TheQuestionLogsCountStandsOutAndStaysBlackOnTheClassicLook) {
  {
    QuestionLogPageWithData dark(Desktop::dark);
    show(dark.t.host.window, *dark.page);
    expectDrawn(textsDrawn(dark.page.get()), {"/ 4"});
    expectEveryTextReadable(*dark.page);
  }
  QuestionLogPageWithData stock(Desktop::stock);
  show(stock.t.host.window, *stock.page);
  EXPECT_EQ(colourOf(textsDrawn(stock.page.get()), "/ 4"), QColor(0, 0, 0));
}

// How many pixels a list's mark inks, and how many of them fade into the list's `ground`.
std::pair<int, int> inkedAndFaded(const QImage& mark, const QColor& ground) {
  const QImage picture = mark.convertToFormat(QImage::Format_ARGB32);
  int inked = 0, faded = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y);
      if (qAlpha(pixel) == 0) continue;
      ++inked;
      faded += contrastOf(QColor::fromRgb(pixel), ground) < 3.0;
    }
  return {inked, faded};
}

// The boxes the question lists tick: their frame and tick were drawn for a white list.
TEST(PagesOnADarkDesktop, TheListsCheckBoxesStandOutFromADarkListAndStayAsDrawnOnTheStockOne) {
  const auto pictures = [] {
    const RowMarks marks = checkBoxMarks();
    return std::array<QImage, 2>{marks.marked.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
                                 marks.unmarked.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32)};
  };
  {
    const ApplicationPaletteScope dark(darkDesktopPalette());
    const QColor ground = darkDesktopPalette().color(QPalette::Base);
    for (const QImage& picture : pictures()) {
      const auto [inked, faded] = inkedAndFaded(picture, ground);
      EXPECT_GT(inked, 40);
      EXPECT_EQ(faded, 0);
    }
  }
  initAppResources();
  const std::array<QImage, 2> stock = pictures();
  EXPECT_EQ(stock[0], QImage(":/app/icon/276.xpm").convertToFormat(QImage::Format_ARGB32));
  EXPECT_EQ(stock[1], QImage(":/app/icon/277.xpm").convertToFormat(QImage::Format_ARGB32));
}

// The question log open while the desktop switches its scheme, from the stock look (the boxes as
// drawn) to dark, to light and back to dark: its rows' boxes are drawn again for each list's
// ground, and their frames and ticks stand out from it.
TEST(PagesOnADarkDesktop, TheQuestionLogsBoxesStandOutAfterTheDesktopSwitchesItsScheme) {
  QuestionLogPageWithData log(Desktop::stock);
  show(log.t.host.window, *log.page);
  const QAbstractItemModel& rows = *log.page->list().model();
  const auto box = [&] { return rows.index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage(); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return rows.rowCount() > 0 && !box().isNull(); }, testwait::kPatienceMs));
  const auto fadedOn = [&](const QPalette& scheme) {
    const auto [inked, faded] = inkedAndFaded(box(), scheme.color(QPalette::Base));
    EXPECT_GT(inked, 40);
    return faded;
  };
  forEachSchemeInTurn(
      {{"dark", darkDesktopPalette()}, {"light", lightDesktopPalette()}, {"dark again", darkDesktopPalette()}},
      [&](const char* scheme, const QPalette& palette) { EXPECT_EQ(fadedOn(palette), 0) << scheme; });
}

}  // namespace
