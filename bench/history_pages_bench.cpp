// Speed of the learning-history page's paint: 30 studies of 100 questions in the chart, and the
// bar of a review over the 10,000-question set of the shared large file (large_database.h).
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

#include "app/shell/klv_app.h"
#include "app/main/main_dialog_host.h"
#include "app/pages/tabpage_loginfo.h"
#include "database/sql_helpers.h"
#include "large_database.h"
#include "offscreen_main.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "study/sound/sound_queue.h"

namespace {

constexpr int kStudies = 30;
constexpr int kQuestionsPerStudy = 100;

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
// questions each.
struct HistoryDatabase {
  HistoryDatabase() {
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
    pdb3::execSql(accessor, L"COMMIT");
  }

  QTemporaryDir folder;
  QString path;
  KlvApp app;
  AppSettings settings{L"KLV7"};
};

// Arguments: the study method (0 normal, 1 review, 2 focused), and for a review the period (its
// index: 0 the last study, 1 the last 24 hours) and target (0 studied, 2 not studied).
void BM_LearningPagePaint(benchmark::State& state) {
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
    ->Args({0, 0, 0})
    ->Args({1, 0, 2})
    ->Args({1, 1, 0})
    ->Args({2, 0, 0})
    ->ArgNames({"method", "period", "target"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv, [] { benchdata::largeDatabase(); }); }
