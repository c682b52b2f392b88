// Speed of printing study sheets with the built-in template on A4: counting the pages of a
// 1,000-question set, painting one preview page at 100 %, and printing the whole set to a PDF;
// and of loading and saving the built-in template.
// Runs offscreen in a private home folder.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QPixmap>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "app/shell/klv_app.h"
#include "app/printing/print_preview_dialog.h"
#include "app/printing/print_template.h"
#include "database/records/db_object.h"
#include "database/engine/sql_helpers.h"
#include "offscreen_main.h"
#include "services/app_settings.h"
#include "fresh_database.h"
#include "source_files.h"

namespace {

// A fresh database with 1,000 questions of two short texts each, and the template folders.
struct BenchApp {
  QTemporaryDir folder;
  std::unique_ptr<AppSettings> settings;
  KlvApp app;
  std::vector<int> ids;

  BenchApp() {
    const std::wstring path = freshDatabaseFile(folder.path() + "/bench.klvdb7");
    app.db.open(path.c_str());
    const pdb3::DbObject accessor = pdb3::openQuery(app.db);
    pdb3::execSql(accessor, scriptText("resources/schema.sql").c_str());
    pdb3::execSql(accessor, L"BEGIN TRANSACTION");
    for (int i = 1; i <= 1000; ++i)
      pdb3::execSqlf(accessor,
                     L"INSERT INTO question (qid, question, answer, hint, description, wavfilename, pronounce, mode, "
                     L"ctime, utime) VALUES (%d, '問題文 %d 番の日本語', 'answer number %d', '', '', '', '', 0, 0, 0)",
                     i, i, i);
    pdb3::execSql(accessor, L"COMMIT");
    for (int i = 1; i <= 1000; ++i) ids.push_back(i);
    settings = std::make_unique<AppSettings>(L"KLV7");
    settings->printTempleteFolder.value = folder.path().toStdWString();
    settings->cmu2ipaFilePath.value = folder.path().toStdWString() + L"/none.txt";
    app.settings = settings.get();
  }
};

void BM_Paginate1000(benchmark::State& state) {
  BenchApp bench;
  CPrintPreviewDlg window(bench.app, nullptr, L"bench", bench.ids);
  for (auto _ : state) window.Paginate();
  state.counters["pages"] = window.pageCount();
}
BENCHMARK(BM_Paginate1000)->Unit(benchmark::kMillisecond);

void BM_PreviewPageAt100(benchmark::State& state) {
  BenchApp bench;
  CPrintPreviewDlg window(bench.app, nullptr, L"bench", bench.ids);
  window.Paginate();
  window.SetZoom(100);
  window.runCommand(151);  // page 2: a full page of rows
  QPixmap target(window.previewControl()->size());
  for (auto _ : state) {
    QPainter painter(&target);
    window.paintPreview(painter);
  }
}
BENCHMARK(BM_PreviewPageAt100)->Unit(benchmark::kMillisecond);

void BM_PrintSheetToPdf(benchmark::State& state) {
  BenchApp bench;
  const QString pdf = bench.folder.path() + "/sheet.pdf";
  setenv("KELVARA_PRINT_PDF", pdf.toUtf8().constData(), 1);
  CPrintPreviewDlg window(bench.app, nullptr, L"bench", bench.ids);
  window.Paginate();
  for (auto _ : state) window.Print();
  unsetenv("KELVARA_PRINT_PDF");
  state.counters["kB"] = QFile(pdf).size() / 1024.0;
}
BENCHMARK(BM_PrintSheetToPdf)->Unit(benchmark::kMillisecond);

// The built-in template read from its file (argument 0), or saved into it (1) with a name that
// changes every time, so that every save writes.
void BM_DefaultTemplate(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = folder.filePath("default.ini");
  QFile::copy(QString::fromStdWString(sourcePath("resources/print-config/default.ini")), path);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  PrintTemplate templ;
  if (!templ.LoadOrSave(path.toStdWString(), false)) state.SkipWithError("not read");
  const bool save = state.range(0) == 1;
  int saves = 0;
  for (auto _ : state) {
    if (save) templ.name = L"default " + std::to_wstring(++saves);
    if (!templ.LoadOrSave(path.toStdWString(), save)) state.SkipWithError("failed");
  }
}
BENCHMARK(BM_DefaultTemplate)->Arg(0)->Arg(1)->ArgName("save")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
