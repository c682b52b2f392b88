// Speed of export, search and the question list on the large benchmark database: each export form
// of the 10,000-question set to the closed file; a search for "answer1" over the 100,000
// questions (the whole fill, and its longest tick); the question list of the
// 10,000 questions up and painted, and one change of its column width.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <deque>
#include <memory>

#include "app/shell/klv_app.h"
#include "app/export/question_exporter.h"
#include "app/export/question_preview_dialog.h"
#include "app/export/search_dialog.h"
#include "database/engine/read_transaction.h"
#include "database/folders/section_questions.h"
#include "database/engine/text_conversion.h"
#include "large_database.h"
#include "offscreen_main.h"
#include "services/app_settings.h"

namespace {

using namespace benchdata;

struct BenchApp {
  QTemporaryDir folder;
  AppSettings settings{L"KLV7"};
  KlvApp app;

  BenchApp() {
    app.settings = &settings;
    app.db.open(sqliteplus::Utf8ToWString(largeDatabase()).c_str());
    app.currentSetId = kLargeSetId;
  }
  std::wstring file(const char* name) const { return QString(folder.path() + "/" + name).toStdWString(); }
  // The set's questions as the export dialog collects them: every non-empty one.
  std::deque<int> allQuestions() {
    const pdb3::DbObject accessor = pdb3::openQuery(app.db);
    const pdb3::ReadTransaction transaction(accessor);
    std::deque<int> ids;
    pdb3::nonEmptyQuestionIds(accessor, kLargeSetId, ids);
    return ids;
  }
};

BenchApp& benchApp() {
  static BenchApp instance;
  return instance;
}

// Argument: 0 aligned text, 1 comma-separated, 2 tab-separated. From the click on OK: the ids,
// then the file written and closed.
void BM_ExportLargeSet(benchmark::State& state) {
  BenchApp& b = benchApp();
  const int form = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const std::deque<int> ids = b.allQuestions();
    const pdb3::DbObject accessor = pdb3::openQuery(b.app.db);
    const bool ok = form == 0 ? WriteQuestionText(accessor, ids, b.file("out.txt"))
                              : QuestionExporter(form == 1 ? kCommaSeparated : kTabSeparated, accessor)
                                    .WriteFile(kLargeSetId, ids, b.file("out.csv"));
    if (!ok || ids.size() != kLargeSetSize) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_ExportLargeSet)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

// From the click to the 101 rows and "..."; the longest event-loop pass that showed a row (one
// tick of the fill) is a counter.
void BM_SearchAnswer1(benchmark::State& state) {
  BenchApp& b = benchApp();
  double longestTickMs = 0;
  for (auto _ : state) {
    CSearchDlg dialog(b.app, L"answer1");
    auto* list = dialog.findChild<QTreeWidget*>("id1259");
    dialog.OnSearch();
    QElapsedTimer pass;
    while (dialog.searching()) {
      const int rows = list->topLevelItemCount();
      pass.start();
      QApplication::processEvents(QEventLoop::AllEvents);
      if (list->topLevelItemCount() != rows) longestTickMs = std::max(longestTickMs, pass.nsecsElapsed() / 1e6);
    }
    if (list->topLevelItemCount() != 102) state.SkipWithError("expected 101 rows and ...");
  }
  state.counters["longest_tick_ms"] = longestTickMs;
}
BENCHMARK(BM_SearchAnswer1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PreviewUpAndPainted(benchmark::State& state) {
  BenchApp& b = benchApp();
  const std::deque<int> ids = b.allQuestions();
  for (auto _ : state) {
    b.settings.previewDlgPeriodSize.value = -1;
    QuestionPreviewDlg dialog(b.app, ids, L"bench");
    dialog.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(dialog.grab());
  }
}
BENCHMARK(BM_PreviewUpAndPainted)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PreviewWidthChange(benchmark::State& state) {
  BenchApp& b = benchApp();
  QuestionPreviewDlg dialog(b.app, b.allQuestions(), L"bench");
  dialog.show();
  QApplication::processEvents();
  int next = 0;
  for (auto _ : state) {
    dialog.findChild<QRadioButton*>(next++ % 2 ? "id1109" : "id1111")->click();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_PreviewWidthChange)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  return runOffscreenBenchmarks(argc, argv, [] { largeDatabase(); });
}
