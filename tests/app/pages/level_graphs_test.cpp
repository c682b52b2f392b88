// The level counts, their worker thread and the smart-learning page's pictures, read back by
// pixels with a fixed clock.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <sqlite3.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <sched.h>
#include <thread>

#include "app/pages/level_calculation.h"
#include "app/pages/level_graphs.h"
#include "app/pages/tabpage_smartlearning.h"
#include "busy_waits_counted.h"
#include "database/engine/busy_wait.h"
#include "faulty_vfs.h"
#include "platform/trace.h"
#include "page_host_fixture.h"
#include "patience.h"
#include "platform/clock.h"
#include "services/database_failure.h"

namespace {

using platform::rgb;
using smart::LevelColors;
using smart::LevelRow;
using smart::LevelTable;

constexpr int64_t kNow = 1767225600;
constexpr int kDay = 86400;

// The level counts' worker threads still running in this program, by the name they give themselves.
int levelCountThreads() {
  int running = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    running += name == "level count";
  }
  return running;
}

// How the system schedules the level count's worker (SCHED_OTHER, SCHED_IDLE, ...); -1 when none runs.
int levelCountScheduling() {
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name == "level count") return sched_getscheduler(std::stoi(task.path().filename().string()));
  }
  return -1;
}

// Holds the worker at its `at`th read of the database file, on a disk that counts the worker's
// reads: the window's thread reads on.
class ReadPause {
 public:
  ReadPause(testdb::FaultyVfs& disk, int at) : at_(at), goes_(go_.get_future().share()) {
    disk.onDatabaseRead([this, window = std::this_thread::get_id()](const std::string&) {
      if (std::this_thread::get_id() == window) return;
      if (++reads_ == at_) goes_.wait();
    });
  }
  ~ReadPause() { release(); }
  bool reached() const { return reads_ >= at_; }
  int readsAfterThePause() const { return reads_ - at_; }
  void release() {
    if (!released_) go_.set_value();
    released_ = true;
  }

 private:
  const int at_;
  std::atomic<int> reads_{0};
  std::promise<void> go_;
  std::shared_future<void> goes_;
  bool released_ = false;
};

LevelRow rowAt(int level, std::initializer_list<int64_t> times) {
  LevelRow row;
  row.level = level;
  int i = 0;
  for (int64_t t : times) row.times[i++] = static_cast<int>(t);
  return row;
}

TEST(LevelTable, EachPointCountsTheHighestLevelReachedByThen) {
  const int64_t start = kNow - 30 * kDay;  // a 30-day window: one slice a day
  LevelTable table{};
  // Levels 1 and 2 before the window, level 3 in slice 12; a fourth time above the level is ignored.
  smart::countLevelRow(rowAt(3, {start - 5, start - 1, start + 11 * kDay + 5, start + 20 * kDay}), start, 30, table);
  for (int b = 0; b < smart::kTimePoints; ++b) {
    EXPECT_EQ(table[b][1], b < 12 ? 1 : 0) << b;
    EXPECT_EQ(table[b][2], b >= 12 ? 1 : 0) << b;
    EXPECT_EQ(table[b][3], 0) << b;
  }
  LevelTable none{};
  smart::countLevelRow(rowAt(2, {0, -5}), start, 30, none);
  smart::countLevelRow(rowAt(0, {start}), start, 30, none);
  EXPECT_EQ(none, LevelTable{});
  // One day: 48-minute slices; the future and damaged levels land inside the table.
  EXPECT_EQ(smart::timePointOf(kNow - kDay + 48 * 60 * 3 + 1, kNow - kDay, 1), 4);
  EXPECT_EQ(smart::timePointOf(kNow + 100 * kDay, kNow - kDay, 1), 30);
  LevelTable clamped{};
  smart::countLevelRow(rowAt(14, {1, 1, 1, 1, 1, 1, 1, 1, 1, start + kDay}), start, 30, clamped);
  EXPECT_EQ(clamped[0][8], 1);
  EXPECT_EQ(clamped[30][9], 1);
}

TEST(LevelGraphs, ZoomRoundsTheScaleUpToAHundredThatFits) {
  EXPECT_EQ(smart::levelGraphScale(1000, 250, true), 300);
  EXPECT_EQ(smart::levelGraphScale(1000, 980, true), 1000);
  EXPECT_EQ(smart::levelGraphScale(990, 980, true), 980);
  EXPECT_EQ(smart::levelGraphScale(990, 980, false), 990);
  // Nothing learned in a list under a hundred: the list's count, not a scale of 0.
  EXPECT_EQ(smart::levelGraphScale(50, 0, true), 50);
  EXPECT_EQ(smart::levelGraphScale(0, 0, true), 0);
}

QImage whiteImage() {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

TEST(LevelGraphs, BandsBarAndCurveLandOnTheirPixels) {
  QImage image = whiteImage();
  platform::Dc dc(image);
  LevelTable table{};
  for (auto& point : table) point[0] = 10, point[1] = 5;
  smart::LevelGraph graph{&table, 20, 10, kNow, false};
  smart::DrawLevelGraph(dc, {200, 100, 520, 300}, graph);
  // Plot 101..299, 198 high: level 1 up to y 200, level 2 up to 151.
  EXPECT_EQ(dc.getPixel(360, 250), LevelColors[1]);
  EXPECT_EQ(dc.getPixel(360, 175), LevelColors[2]);
  EXPECT_EQ(dc.getPixel(360, 140), rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(360, 200), rgb(0, 0, 255));
  EXPECT_EQ(dc.getPixel(200, 150), rgb(0, 0, 0));
  graph.scale = 0;  // an empty list: no bands at all
  smart::DrawLevelGraph(dc, {200, 100, 520, 300}, graph);
  EXPECT_EQ(dc.getPixel(360, 250), rgb(255, 255, 255));

  const platform::COLORREF a = rgb(10, 20, 30), b = rgb(40, 50, 60), c = rgb(70, 80, 90);
  smart::DrawProportionBar(dc, {100, 500, 400, 520}, {1, 1, 2}, {a, b, c}, rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(100, 510), rgb(0, 0, 0));
  EXPECT_EQ(dc.getPixel(174, 510), a);
  EXPECT_EQ(dc.getPixel(175, 510), b);
  EXPECT_EQ(dc.getPixel(249, 510), b);
  EXPECT_EQ(dc.getPixel(250, 510), c);
  EXPECT_EQ(dc.getPixel(398, 510), c);

  // One study five days ago at rate 100: flat at 0 until it, a rise to the top, then decay.
  smart::ForgettingCurve curve{true, {{kNow - 5 * kDay, 1, 100}}, 10, kNow};
  smart::DrawForgettingCurve(dc, {0, 0, 302, 104}, curve);
  EXPECT_EQ(dc.getPixel(151, 50), rgb(0, 0, 255));
  EXPECT_EQ(dc.getPixel(100, 102), rgb(0, 0, 255));
  EXPECT_EQ(dc.getPixel(100, 50), rgb(255, 255, 255));
  curve.questionSelected = false;
  smart::DrawForgettingCurve(dc, {0, 0, 302, 104}, curve);
  EXPECT_EQ(dc.getPixel(151, 50), rgb(255, 255, 255));
  // Over ten days its dates are a day apart: none skipped, none twice.
  const auto day = [](int i) { return QDateTime::fromSecsSinceEpoch(smart::forgettingCurveLabelTime(kNow, 10, i)).date(); };
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(day(i - 1).daysTo(day(i)), 1) << i;
  // Over five days each label's days back are cut to whole days, not rounded.
  const int fiveDays[] = {5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0};
  for (int i = 0; i <= 10; ++i) EXPECT_EQ((kNow - smart::forgettingCurveLabelTime(kNow, 5, i)) / kDay, fiveDays[i]) << i;
}

// The page on screen, as when it is looked at: off screen it reads and calculates nothing.
void showPage(apptest::PageApp& t, QWidget& page) {
  t.host.window.resize(760, 560);
  t.host.window.show();
  page.show();
}

class LevelPageTest : public ::testing::Test {
 protected:
  LevelPageTest() : clock([] { return kNow; }) {
    const int sid = t.app.smartLearningSetId;
    t.run(L"BEGIN");
    const int64_t old = kNow - 40 * kDay;
    std::array<int, 10> eight{};
    for (int i = 0; i < 8; ++i) eight[i] = static_cast<int>(old + i);
    for (int q : {8500, 8501, 8502, 8503}) t.addQuestion(q, L"w", sid);
    t.learn(8500, 90, 8, static_cast<int>(old), eight);
    t.learn(8501, 90, 8, static_cast<int>(old), eight);
    t.learn(8502, 60, 1, static_cast<int>(old), {static_cast<int>(old)});
    t.run(L"COMMIT");
  }

  platform::ClockOverride clock;
  apptest::PageApp t;
};

TEST_F(LevelPageTest, PagePaintsTheFinishedTableTheCountsAndTheBar) {
  CTabpageSmartlearning page(t.app, t.host, &t.host.window);
  page.resize(760, 560);
  QSignalSpy finished(&page.levelCalculator(), &smart::LevelCalculator::finished);
  showPage(t, page);
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_FALSE(page.levelCalculator().running());
  EXPECT_EQ(page.levelCalculator().table()[0][7], 2);
  EXPECT_EQ(page.levelCalculator().table()[30][0], 1);

  const QImage image = page.paintImage();
  const auto at = [&](int x, int y) { return platform::fromPixel(image.pixel(x, y)); };
  // Bar {100, 520, 610, 540}: two of four at level 8 and above, one at 1, one without a level.
  EXPECT_EQ(at(200, 530), LevelColors[8]);
  EXPECT_EQ(at(420, 530), LevelColors[1]);
  EXPECT_EQ(at(550, 530), rgb(255, 255, 255));
  // Graph {200, 218, 740, 420} at a scale of 3 (zoom): level 1 to y 353, levels up to 8 to the top.
  EXPECT_EQ(at(400, 390), LevelColors[1]);
  EXPECT_EQ(at(400, 300), LevelColors[8]);

  page.findChild<QRadioButton*>("id1329")->click();
  page.list().selectRow(0);
  const QImage curve = page.paintImage();
  EXPECT_EQ(platform::fromPixel(curve.pixel(400, 300)), rgb(255, 255, 255));
}

// A list whose size could not be read labels the top "-": less ink than any figure, where "-1"
// would take more than "1".
TEST(LevelGraphs, AScaleThatCouldNotBeReadLabelsTheTopUnknown) {
  const auto topLabelInk = [](int scale) {
    QImage image = whiteImage();
    platform::Dc dc(image);
    LevelTable table{};
    smart::DrawLevelGraph(dc, {200, 100, 520, 300}, smart::LevelGraph{&table, scale, 10, kNow, false});
    int ink = 0;
    for (int y = 92; y < 116; ++y)
      for (int x = 165; x < 199; ++x) ink += qGray(image.pixel(x, y)) < 128;
    return ink;
  };
  const int unknown = topLabelInk(-1), one = topLabelInk(1);
  EXPECT_GT(unknown, 0);
  EXPECT_LT(unknown, one);
}

TEST(LevelPage, ANewListsGraphLabelsItsTopWithTheListsCount) {
  platform::ClockOverride clock([] { return kNow; });
  apptest::PageApp t;
  for (int q : {8600, 8601, 8602, 8603}) t.addQuestion(q, L"w", t.app.smartLearningSetId);
  CTabpageSmartlearning page(t.app, t.host, &t.host.window);
  page.resize(760, 560);
  QSignalSpy finished(&page.levelCalculator(), &smart::LevelCalculator::finished);
  showPage(t, page);
  ASSERT_TRUE(finished.wait(30000));
  auto* zoom = page.findChild<QCheckBox*>("id1332");
  ASSERT_TRUE(zoom->isChecked());
  const QImage zoomed = page.paintImage();
  zoom->click();
  const QImage whole = page.paintImage();
  // Graph {200, 218, 740, 420}: its top label left of the frame, as the unzoomed scale of 4 reads.
  const QRect topLabel(165, 212, 34, 16);
  EXPECT_EQ(zoomed.copy(topLabel), whole.copy(topLabel));
  int ink = 0;
  for (int y = topLabel.top(); y <= topLabel.bottom(); ++y)
    for (int x = topLabel.left(); x <= topLabel.right(); ++x) ink += qGray(whole.pixel(x, y)) < 128;
  EXPECT_GT(ink, 5);
  // The graph's frame, drawn over the page, leaves the label whole whatever the font of its title.
  auto* group = page.findChild<QGroupBox*>("id1335");
  for (int pixels = 10; pixels <= 28; pixels += 2) {
    QFont title = group->font();
    title.setPixelSize(pixels);
    group->setFont(title);
    const QImage shown = page.grab().toImage(), painted = page.paintImage();
    int covered = 0;
    for (int y = 200; y < 240; ++y)
      for (int x = 165; x < 200; ++x) covered += qGray(painted.pixel(x, y)) < 128 && shown.pixel(x, y) != painted.pixel(x, y);
    EXPECT_EQ(covered, 0) << pixels;
  }
}

TEST_F(LevelPageTest, RestartsDeliverOnlyTheLastTableAndThePageNeverWaitsOnItsEnd) {
  auto page = std::make_unique<CTabpageSmartlearning>(t.app, t.host, &t.host.window);
  QSignalSpy finished(&page->levelCalculator(), &smart::LevelCalculator::finished);
  showPage(t, *page);  // the first start
  page->StartLevelCalcThread();
  page->StartLevelCalcThread();
  ASSERT_TRUE(finished.wait(30000));
  ASSERT_TRUE(QTest::qWaitFor([] { return levelCountThreads() == 0; }, testwait::kPatienceMs));
  QCoreApplication::processEvents();  // what the cancelled workers queued before they ended
  EXPECT_EQ(finished.count(), 1);

  // The page goes while its worker is held in its read: a page that waited for the worker's end
  // would never go, or only once a wait of its own had passed.
  testdb::FaultyVfs disk;
  ReadPause pause(disk, 1);
  page->StartLevelCalcThread();
  EXPECT_TRUE(page->levelCalculator().running());
  ASSERT_TRUE(QTest::qWaitFor([&] { return pause.reached(); }, testwait::kPatienceMs));
  QElapsedTimer timer;
  timer.start();
  page.reset();
  EXPECT_LT(timer.elapsed(), 500);
  // A result queued by the cancelled worker must not reach anything.
  pause.release();
  ASSERT_TRUE(QTest::qWaitFor([] { return levelCountThreads() == 0; }, testwait::kPatienceMs));
  QCoreApplication::processEvents();
}

// A cancelled worker that waits for a file another program holds (the page closes, the period
// changes) stops waiting, rather than keep its thread and its connection for the wait's limit; and
// nothing of it arrives.
TEST_F(LevelPageTest, ACancelledWorkerWaitingForAHeldFileStopsAtOnce) {
  sqliteplus::setBusyWaitLimit(std::chrono::minutes(10));
  sqliteplus::SqliteConnection holder;
  holder.open(t.app.db.fileName().c_str());
  holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  ASSERT_EQ(levelCountThreads(), 0);
  smart::LevelCalculator calculator;
  QSignalSpy finished(&calculator, &smart::LevelCalculator::finished);
  const unsigned long long waitsBefore = sqliteplus::busyWaitsBegunAnywhere();
  calculator.start(t.app.db, {t.app.currentUserId, t.app.smartLearningSetId, 10, kNow});
  ASSERT_TRUE(QTest::qWaitFor([&] { return sqliteplus::busyWaitsBegunAnywhere() > waitsBefore; }, testwait::kPatienceMs))
      << "never met the lock";
  calculator.cancel();
  EXPECT_FALSE(calculator.running());
  EXPECT_TRUE(QTest::qWaitFor([] { return levelCountThreads() == 0; }, 60000)) << "still waiting";
  QCoreApplication::processEvents();
  EXPECT_EQ(finished.count(), 0);
  holder.createQuery()->execute(L"ROLLBACK");
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
}

// The worker reads the file at the program's own priority: one that every busy thread held back
// would keep the file locked meanwhile, and the program's own writes would wait for it and fail as
// if another program held the file. Only the counting, with the file let go, gives way to them.
TEST_F(LevelPageTest, TheWorkerReadsTheFileAtTheProgramsOwnPriority) {
  testdb::FaultyVfs disk;
  ReadPause pause(disk, 1);
  smart::LevelCalculator calculator;
  QSignalSpy finished(&calculator, &smart::LevelCalculator::finished);
  calculator.start(t.app.db, {t.app.currentUserId, t.app.smartLearningSetId, 10, kNow});
  ASSERT_TRUE(QTest::qWaitFor([&] { return pause.reached(); }, testwait::kPatienceMs));
  EXPECT_EQ(levelCountScheduling(), SCHED_OTHER);
  pause.release();
  ASSERT_TRUE(finished.wait(testwait::kPatienceMs));
  EXPECT_EQ(calculator.table()[30][7], 2);
}

// A cancelled count stops its statement at the statement's next steps, not at its next row: a list
// of many questions none of which the learner has learned gives no row, and its reading stops there.
TEST_F(LevelPageTest, ACancelledCountStopsItsStatementWithinAFewReads) {
  t.run(platform::format(L"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<200000) "
                         L"INSERT INTO section SELECT %d, 100000+x FROM n",
                         t.app.smartLearningSetId));
  testdb::FaultyVfs disk;
  ReadPause pause(disk, 100);  // well into the statement, which reads hundreds of pages
  smart::LevelCalculator calculator;
  calculator.start(t.app.db, {t.app.currentUserId, t.app.smartLearningSetId, 10, kNow});
  ASSERT_TRUE(QTest::qWaitFor([&] { return pause.reached(); }, 60000));
  calculator.cancel();
  pause.release();
  ASSERT_TRUE(QTest::qWaitFor([] { return levelCountThreads() == 0; }, 60000));
  // Read through, the list's index alone is hundreds of pages.
  EXPECT_LT(pause.readsAfterThePause(), 20) << "read on after the cancel";
}

// Level counts that cannot be read stop the count of what was asked before (another period): its
// table would stand under the period asked for now, or its failure come after the page refilled.
TEST_F(LevelPageTest, CountsThatCannotBeReadStopTheCountAskedForBefore) {
  testdb::FaultyVfs disk;
  t.app.db.open(t.databasePath().c_str());
  ReadPause pause(disk, 1);
  auto page = std::make_unique<CTabpageSmartlearning>(t.app, t.host, &t.host.window);
  QSignalSpy finished(&page->levelCalculator(), &smart::LevelCalculator::finished);
  showPage(t, *page);
  ASSERT_TRUE(QTest::qWaitFor([&] { return pause.reached(); }, 60000));
  t.takeBoxes();
  disk.failReads(SQLITE_IOERR_READ);
  page->findChild<QComboBox*>("id1330")->setCurrentIndex(4);
  disk.failReads(std::nullopt);
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" +
                               std::wstring(databaseFailureCause(sqliteplus::EngineFailure::other)) + L"\n");
  pause.release();
  ASSERT_TRUE(QTest::qWaitFor([] { return levelCountThreads() == 0; }, 60000));
  QCoreApplication::processEvents();
  EXPECT_EQ(finished.count(), 0);
  EXPECT_FALSE(page->levelCalculator().counted());
  page.reset();
  t.app.db.close();
}

// A history that could not be counted for the period chosen now is not drawn with the table of
// the period before, under the new period's dates.
TEST_F(LevelPageTest, TheTableOfAnotherPeriodIsNotDrawnUnderThisOne) {
  auto page = std::make_unique<CTabpageSmartlearning>(t.app, t.host, &t.host.window);
  page->resize(760, 560);
  QSignalSpy finished(&page->levelCalculator(), &smart::LevelCalculator::finished);
  showPage(t, *page);
  ASSERT_TRUE(finished.wait(60000));
  // Inside the graph {200, 218, 740, 420}, under the learned questions' bands.
  const auto inGraph = [&] { return platform::fromPixel(page->paintImage().pixel(470, 400)); };
  ASSERT_NE(inGraph(), rgb(255, 255, 255));
  t.takeBoxes();
  testdb::FaultyVfs disk;  // the worker's connection, opened from now on: the page's counts read on
  disk.failReads(SQLITE_IOERR_READ);
  page->findChild<QComboBox*>("id1330")->setCurrentIndex(0);
  ASSERT_TRUE(finished.wait(60000));
  EXPECT_EQ(page->levelCalculator().countedDays(), 10);
  EXPECT_EQ(inGraph(), rgb(255, 255, 255));
  disk.failReads(std::nullopt);
}

// A worker's failure handed over to the window keeps whether it lasts: a damaged file is not tried
// again as a passing fault would be.
TEST_F(LevelPageTest, AWorkersLastingFailureStaysLastingOnTheWindowsThread) {
  // The memory rates' pages no kind of page, read by the worker's connection, which has not kept them.
  const int pageSize = t.intValue(L"PRAGMA page_size");
  std::vector<int> roots;
  pdb3::querySqlfIntList(t.accessor(), roots, L"SELECT rootpage FROM sqlite_master WHERE tbl_name='memory_rate' AND rootpage > 0");
  ASSERT_FALSE(roots.empty());
  t.app.db.close();
  {
    std::fstream file(QString::fromStdWString(t.databasePath()).toStdString(), std::ios::in | std::ios::out | std::ios::binary);
    for (int root : roots) {
      file.seekp(static_cast<std::streamoff>(root - 1) * pageSize);
      file.put(7);
    }
  }
  t.app.db.open(t.databasePath().c_str());
  smart::LevelCalculator calculator;
  QSignalSpy finished(&calculator, &smart::LevelCalculator::finished);
  calculator.start(t.app.db, {t.app.currentUserId, t.app.smartLearningSetId, 10, kNow});
  ASSERT_TRUE(finished.wait(60000));
  sqliteplus::forgetEngineFailure();
  calculator.noteFailure();
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::damaged);
  EXPECT_FALSE(sqliteplus::lastFailureMayPass());
  sqliteplus::forgetEngineFailure();
}

// The database went away while the page was open, or another file was put at its path (a sync
// tool, a restored copy) while the program still has the first open: the level history is counted
// from neither, since the list and every write go to the open file. No empty file is made, the
// history keeps what it showed, and the page says why, naming the file, at once; once the file is
// back the next refresh counts it.
TEST_F(LevelPageTest, AWorkerThatFindsTheFileGoneOrReplacedCountsNothingAndTellsWhy) {
  auto page = std::make_unique<CTabpageSmartlearning>(t.app, t.host, &t.host.window);
  QSignalSpy finished(&page->levelCalculator(), &smart::LevelCalculator::finished);
  showPage(t, *page);
  ASSERT_TRUE(finished.wait(30000));
  const LevelTable table = page->levelCalculator().table();
  ASSERT_EQ(table[30][0], 1);
  t.takeBoxes();
  const std::wstring path = t.app.db.fileName();
  const QString file = QString::fromStdWString(path), moved = file + ".moved-away";
  ASSERT_TRUE(QFile::rename(file, moved));
  page->findChild<QComboBox*>("id1330")->setCurrentIndex(4);  // the period: counted again
  EXPECT_FALSE(page->levelCalculator().running());
  EXPECT_FALSE(QFileInfo::exists(file));
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" + missingDatabaseText(path) + L"\n");

  // Another file at the path, in which question 8502 has climbed: counted, it would show level 2.
  ASSERT_TRUE(QFile::copy(moved, file));
  {
    sqliteplus::SqliteConnection other;
    other.open(path.c_str());
    other.createQuery()->execute(L"UPDATE memory_rate SET level=2, l2_time=l1_time+1 WHERE qid=8502");
  }
  sqliteplus::endBusyWaitAction();  // the next action
  EXPECT_FALSE(page->RefreshFromFile());
  EXPECT_FALSE(page->levelCalculator().running());
  EXPECT_EQ(t.takeBoxes(), L"Kelvara: 記憶レベルの推移を計算できませんでした。\n" + replacedDatabaseText(path) + L"\n");
  ASSERT_TRUE(QTest::qWaitFor([] { return levelCountThreads() == 0; }, testwait::kPatienceMs));
  QCoreApplication::processEvents();
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(page->levelCalculator().table(), table);

  ASSERT_TRUE(QFile::remove(file));
  ASSERT_TRUE(QFile::rename(moved, file));
  EXPECT_TRUE(page->RefreshFromFile());
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(page->levelCalculator().table(), table);
  EXPECT_EQ(t.takeBoxes(), L"");
}

}  // namespace
