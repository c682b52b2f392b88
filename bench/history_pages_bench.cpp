// Speed of the learning-history page's paint: 30 studies of 100 questions in the chart, and the
// bar of a review over the 10,000-question set of the shared large file (large_database.h); the
// per-question log page's reading of that set and of a set of all the file's 100,000 questions,
// and its scrolling through them; how long both pages keep the window busy while another program
// holds the file; the smart-learning page's refresh of a list of those 100,000 questions with
// many rows selected; and how long the window waits when it drops the level history counted over
// that list while the count runs, on a loaded machine as an ordinary user.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "app/shell/klv_app.h"
#include "app/main/main_dialog_host.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_questionlog.h"
#include "app/pages/level_calculation.h"
#include "app/pages/tabpage_smartlearning.h"
#include "database/engine/busy_wait.h"
#include "database/engine/sql_helpers.h"
#include "dark_desktop.h"
#include "large_database.h"
#include "offscreen_main.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "study/sound/sound_queue.h"

namespace {

constexpr int kStudies = 30;
constexpr int kQuestionsPerStudy = 100;
// A set of every question of the file, made in the benchmark's copy.
constexpr int kWholeSetId = benchdata::kLargeSetId + 1;

class BenchHost : public MainDialogHost {
 public:
  int questionCount() const override { return benchdata::kLargeSetSize; }
  int translatedCount() const override { return 0; }
  int remainCount() const override { return benchdata::kLargeSetSize; }
  bool folderSelected() const override { return false; }
  int totalCorrects() const override { return 0; }
  int totalIncorrects() const override { return 0; }
  int currentPage() const override { return 1; }
  std::wstring setPath() const override { return L"ベンチマーク/問題集 1002"; }
  bool StartStudyAndRefresh(const std::wstring&, const std::vector<int>&) override { return false; }
  bool SelectStudyQuestions(std::vector<int>&) override { return false; }
  void RefreshPages() override {}
  void UpdateTitle(const std::wstring&) override {}
  QWidget* dialogWindow() override { return nullptr; }
  SoundQueue& soundQueue() override { return sounds; }
  void UpdateRankingPage() override {}

  SoundQueue sounds;
};

// A copy of the large file with a study log of user 1 on the large set: 30 studies of 100
// questions each; with `wholeSet`, also a set of all the file's questions.
struct HistoryDatabase {
  explicit HistoryDatabase(bool wholeSet = false) {
    path = folder.filePath("history.klvdb7");
    QFile::copy(QString::fromStdString(benchdata::largeDatabase()), path);
    app.settings = &settings;
    app.db.open(path.toStdWString().c_str());
    app.currentUserId = 1;
    app.currentSetId = benchdata::kLargeSetId;
    app.studyMode = 0;
    const pdb3::DbObject accessor = pdb3::openQuery(app.db);
    pdb3::execSql(accessor, L"BEGIN");
    pdb3::execSqlf(accessor, L"INSERT INTO log_id VALUES (1, 1, %d, 0)", benchdata::kLargeSetId);
    pdb3::execSql(accessor, L"INSERT INTO element_log VALUES (1, 1700000000, 30, 5000, 20000, 2, '', '')");
    for (int did = 1; did <= kStudies; ++did) {
      pdb3::execSqlf(accessor, L"INSERT INTO daily_log VALUES (%d, 1, %d, %d, 0, '', '')", did, 1700000000 + did * 3600,
                     1700000000 + did * 3600 + 600);
      for (int i = 0; i < kQuestionsPerStudy; ++i)
        pdb3::execSqlf(accessor, L"INSERT INTO daily_question_log VALUES (%d, %d, %d, %d, 0, 0, 2.0, 0, 0)", did,
                       (did * 97 + i * 31) % benchdata::kLargeSetSize + 1, i % 3 ? 1 : 0, i % 3 ? 0 : 1);
    }
    if (wholeSet) {
      pdb3::execSqlf(accessor, L"INSERT INTO element_info VALUES (%d, 2, 'all', '', '', '', 0, 0, '', '')",
                     kWholeSetId);
      pdb3::execSqlf(accessor, L"INSERT INTO folder VALUES (%d, %d)", kWholeSetId, benchdata::kFolderId);
      pdb3::execSqlf(accessor, L"INSERT INTO section SELECT %d, qid FROM question ORDER BY qid", kWholeSetId);
    }
    pdb3::execSql(accessor, L"COMMIT");
  }

  QTemporaryDir folder;
  QString path;
  KlvApp app;
  AppSettings settings{L"KLV7"};
};

// Arguments: the study method (0 normal, 1 review, 2 focused), and for a review the period (its
// index: 0 the last study, 1 the last 24 hours) and target (0 studied, 2 not studied); the desktop
// (0 the classic look, 1 a dark scheme, whose figures take shades that stand out from its face).
void BM_LearningPagePaint(benchmark::State& state) {
  const DarkDesktopPalette desktop(state.range(3) == 1);
  HistoryDatabase data;
  BenchHost host;
  CTabpageLoginfo page(data.app, host);
  page.resize(640, 420);
  page.RefreshFromDialog();
  page.SetStudyMethod(static_cast<int>(state.range(0)));
  page.findChild<QComboBox*>("id1196")->setCurrentIndex(static_cast<int>(state.range(1)));
  page.SetReviewTarget(static_cast<int>(state.range(2)));
  if (page.historyList().count() != kStudies) state.SkipWithError("the studies were not listed");
  QImage image(page.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    platform::Dc dc(image);
    page.OnPaint(dc);
  }
}
BENCHMARK(BM_LearningPagePaint)
    ->Args({0, 0, 0, 0})
    ->Args({1, 0, 2, 0})
    ->Args({1, 1, 0, 0})
    ->Args({2, 0, 0, 0})
    ->Args({0, 0, 0, 1})
    ->Args({1, 0, 2, 1})
    ->ArgNames({"method", "period", "target", "dark"})
    ->Unit(benchmark::kMillisecond);

// Argument: the set's size, 10,000 or 100,000 questions. The page is on screen, as when it is looked at.
// The question log on screen over a set of `questions` questions, as the learner looks at it.
struct QuestionLogOnScreen {
  explicit QuestionLogOnScreen(int64_t questions) : data(questions > benchdata::kLargeSetSize) {
    if (questions > benchdata::kLargeSetSize) data.app.currentSetId = kWholeSetId;
    page.emplace(data.app, host);
    page->resize(760, 500);
    page->show();
  }
  void checkListed(benchmark::State& state) const {
    if (static_cast<int64_t>(page->rowIds().size()) != state.range(0)) state.SkipWithError("the set was not listed");
  }
  HistoryDatabase data;
  BenchHost host;
  std::optional<CTabpageQuestionlog> page;
};

void BM_QuestionLogPageReload(benchmark::State& state) {
  QuestionLogOnScreen log(state.range(0));
  QImage image(log.page->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    log.page->ReloadList();
    log.page->render(&image);
  }
  log.checkListed(state);
}
BENCHMARK(BM_QuestionLogPageReload)->Arg(benchdata::kLargeSetSize)->Arg(100000)->ArgName("questions")->Unit(benchmark::kMillisecond);

// Argument: the set's size, as above. Each iteration scrolls the list on screen down by a page, as
// the learner's Page Down or a click in the scroll bar's track does, and paints it: the rows that
// come into view are read, and every cell shown is asked for. From the top again at the bottom.
void BM_QuestionLogPageScroll(benchmark::State& state) {
  QuestionLogOnScreen log(state.range(0));
  QScrollBar& bar = *log.page->list().verticalScrollBar();
  QImage image(log.page->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    bar.setValue(bar.value() < bar.maximum() ? bar.value() + bar.pageStep() : 0);
    log.page->render(&image);
  }
  log.checkListed(state);
}
BENCHMARK(BM_QuestionLogPageScroll)->Arg(benchdata::kLargeSetSize)->Arg(100000)->ArgName("questions")->Unit(benchmark::kMicrosecond);

// Another program holds the file as the problem-set editor does while it saves. Each iteration is
// two user actions, as the window thread counts them: the page's refresh, then its repaint. The
// time is both together; "repaint_ms" the repaint alone.
struct HeldFile {
  explicit HeldFile(const QString& path) {
    holder.open(path.toStdWString().c_str());
    holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  }
  ~HeldFile() { holder.createQuery()->execute(L"ROLLBACK"); }
  sqliteplus::SqliteConnection holder;
};

void measureUnderLock(benchmark::State& state, const QString& path, QWidget& page, const std::function<void()>& refresh) {
  sqliteplus::countBusyWaitsPerAction();
  QImage image(page.size(), QImage::Format_RGB32);
  std::chrono::duration<double, std::milli> repaint{0};
  const HeldFile held(path);
  for (auto _ : state) {
    sqliteplus::endBusyWaitAction();
    refresh();
    sqliteplus::endBusyWaitAction();
    const auto start = std::chrono::steady_clock::now();
    page.render(&image);
    repaint += std::chrono::steady_clock::now() - start;
  }
  sqliteplus::endBusyWaitAction();
  state.counters["repaint_ms"] = repaint.count() / static_cast<double>(state.iterations());
}

void BM_LearningPageUnderLock(benchmark::State& state) {
  HistoryDatabase data;
  BenchHost host;
  CTabpageLoginfo page(data.app, host);
  page.resize(640, 420);
  page.RefreshFromDialog();
  page.SetStudyMethod(1);  // a review: its bar counts questions too
  measureUnderLock(state, data.path, page, [&] { page.RefreshFromDialog(); });
}
BENCHMARK(BM_LearningPageUnderLock)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_QuestionLogPageUnderLock(benchmark::State& state) {
  HistoryDatabase data;
  BenchHost host;
  CTabpageQuestionlog page(data.app, host);
  page.resize(760, 500);
  measureUnderLock(state, data.path, page, [&] { page.ReloadList(); });
}
BENCHMARK(BM_QuestionLogPageUnderLock)->Iterations(2)->Unit(benchmark::kMillisecond);

// The list was read before the other program took the file; the user scrolls to rows not shown yet.
void BM_QuestionLogPageScrollUnderLock(benchmark::State& state) {
  HistoryDatabase data;
  BenchHost host;
  CTabpageQuestionlog page(data.app, host);
  page.resize(760, 500);
  page.show();
  int top = 0;
  measureUnderLock(state, data.path, page, [&] { page.list().scrollTo(page.list().model()->index(top += 500, 0)); });
}
BENCHMARK(BM_QuestionLogPageScrollUnderLock)->Iterations(2)->Unit(benchmark::kMillisecond);

// What the page switch and the end of a study do to the smart-learning page: the refresh that has
// the rows read again, the selection and the scroll kept. Arguments: the selection (0 none, 1 every
// tenth row, 10,000 rows apart, 2 a shift-range of half the rows), and whether the page is on screen.
void BM_SmartListRefresh(benchmark::State& state) {
  HistoryDatabase data(true);
  data.app.smartLearningSetId = kWholeSetId;
  BenchHost host;
  CTabpageSmartlearning page(data.app, host);
  page.resize(760, 560);
  page.show();  // the list is read when the page is first shown
  QTableView& list = page.list();
  const int rows = list.model()->rowCount();
  if (rows != 100000) state.SkipWithError("the binder was not listed");
  QItemSelection selection;
  if (state.range(0) == 1)
    for (int r = 0; r < rows; r += 10) selection.append(QItemSelectionRange(list.model()->index(r, 0)));
  else if (state.range(0) == 2)
    selection.select(list.model()->index(0, 0), list.model()->index(rows / 2 - 1, 0));
  list.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (!state.range(1)) page.hide();
  for (auto _ : state) page.RefreshFromFile();
  if (list.selectionModel()->selectedRows().size() != (state.range(0) == 0 ? 0 : state.range(0) == 1 ? 10000 : rows / 2))
    state.SkipWithError("the selection was not kept");
}
BENCHMARK(BM_SmartListRefresh)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"selection", "shown"})
    ->Unit(benchmark::kMicrosecond);

// Every processor kept busy at the ordinary priority, as other programs keep a learner's machine:
// a thread at idle priority gets almost no time while this lasts.
class BusyProcessors {
 public:
  BusyProcessors() {
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
      spinners_.emplace_back([this] {
        while (!stop_) {
        }
      });
  }
  ~BusyProcessors() {
    stop_ = true;
    for (std::thread& spinner : spinners_) spinner.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> spinners_;
};

// The calling thread without the right to raise another thread's priority, as an ordinary user
// runs the program (the benchmark may run as root).
class WithoutPriorityRights {
 public:
  WithoutPriorityRights() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (::syscall(SYS_capget, &header, saved_) != 0) return;
    __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
    std::copy(std::begin(saved_), std::end(saved_), std::begin(lowered));
    lowered[0].effective &= ~(1u << CAP_SYS_NICE);
    lowered_ = ::syscall(SYS_capset, &header, lowered) == 0;
  }
  ~WithoutPriorityRights() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (lowered_) ::syscall(SYS_capset, &header, saved_);
  }
  bool lowered() const { return lowered_; }

 private:
  __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
  bool lowered_ = false;
};

// What a reload, a user switch or smart learning turned on or off does to the level history while
// it is being counted over a list of 100,000 learned questions: the window drops the count. Each
// iteration starts a count, lets it run, and times the drop alone; "max_ms" is the longest drop.
void BM_LevelHistoryForgetDuringCount(benchmark::State& state) {
  HistoryDatabase data(true);
  const pdb3::DbObject accessor = pdb3::openQuery(data.app.db);
  pdb3::execSqlf(accessor,
                 L"INSERT INTO memory_rate SELECT qid, 1, 50, 3, 1700000000 + qid, 1700100000 + qid, 1700200000 + qid, "
                 L"0, 0, 0, 0, 0, 0, 0 FROM section WHERE sid=%d",
                 kWholeSetId);
  const WithoutPriorityRights ordinaryUser;
  if (!ordinaryUser.lowered()) state.SkipWithError("the right to raise priorities could not be given up");
  smart::LevelCalculator calculator;
  const smart::LevelJob job{1, kWholeSetId, 10, 1700300000};
  const BusyProcessors load;
  double longest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!calculator.start(data.app.db, job)) state.SkipWithError("the count could not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the count is under way
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    calculator.forget();
    longest = std::max(longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["max_ms"] = longest;
}
BENCHMARK(BM_LevelHistoryForgetDuringCount)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv, [] { benchdata::largeDatabase(); }); }
