// Speed of the application shell's views on the shared large file (large_database.h).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <sqlite3.h>

#include "app/main/folder_tree.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/text_conversion.h"
#include "large_database.h"
#include "offscreen_main.h"
#include "services/app_settings.h"
#include "uictl/bars/library_globals.h"

namespace {

// The whole tree of the problem-set chooser: one folder holding 1,001 sets.
void BM_BuildTree(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(sqliteplus::Utf8ToWString(benchdata::largeDatabase()).c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  CMyFolderTreeCtrl tree;
  for (auto _ : state) {
    tree.BuildTree(accessor);
    if (tree.topLevelItem(0)->child(0)->childCount() != benchdata::kSets + 1) state.SkipWithError("wrong number of sets");
  }
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);

// The main window, every page in place, showing the page given (0 the set's information, 1 the
// learning page, 2 the question log reading its 10,000 rows) for the 10,000-question set, of which
// the user's round has asked 5,000, beside the 1,000,000 question-log rows: a copy of the large file
// gets the round.
void BM_ShowPage(benchmark::State& state) {
  const UxLibrary controlLibrary;
  QTemporaryDir folder;
  const QString path = folder.filePath("round.klvdb7");
  QFile::copy(QString::fromStdString(benchdata::largeDatabase()), path);
  AppSettings settings{L"KLV7"};
  settings.lastSection.value = L"ベンチマーク/問題集 " + std::to_wstring(benchdata::kLargeSetId);
  settings.lastSelectedTabId.value = 0;
  KlvApp app;
  app.settings = &settings;
  app.db.open(path.toStdWString().c_str());
  app.currentUserId = 1;
  app.studyMode = 3;
  const pdb3::DbObject accessor = pdb3::openQuery(app.db);
  pdb3::execSqlf(accessor, L"INSERT INTO log_id VALUES (1, 1, %d, 3)", benchdata::kLargeSetId);
  pdb3::execSql(accessor, L"INSERT INTO element_log VALUES (1, 1700000000, 10, 100, 0, 0, '', '')");
  pdb3::execSqlf(accessor, L"INSERT INTO looped_questions SELECT 1, qid FROM section WHERE sid=%d LIMIT 5000",
                 benchdata::kLargeSetId);
  auto dialog = std::make_unique<MainDialog>(app);
  if (!dialog->OnInitDialog()) state.SkipWithError("the set was not found");
  for (auto _ : state) dialog->ShowPage(static_cast<int>(state.range(0)));
  if (dialog->questionCount() != benchdata::kLargeSetSize || dialog->translatedCount() != 5000)
    state.SkipWithError("wrong round figures");
}
BENCHMARK(BM_ShowPage)->DenseRange(0, 2)->ArgName("page")->Unit(benchmark::kMillisecond);

// The bound of page 0: the figures it shows (usable questions, the round's asked questions, its
// first-pass corrects and mistakes) on the same file, one statement each, compiled once.
void BM_ShowPageFiguresBound(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = folder.filePath("round.klvdb7");
  QFile::copy(QString::fromStdString(benchdata::largeDatabase()), path);
  sqlite3* db = nullptr;
  sqlite3_open(path.toUtf8().constData(), &db);
  sqlite3_exec(db,
               ("INSERT INTO log_id VALUES (1, 1, " + std::to_string(benchdata::kLargeSetId) +
                ", 3); INSERT INTO element_log VALUES (1, 1700000000, 10, 100, 0, 0, '', '');"
                "INSERT INTO looped_questions SELECT 1, qid FROM section WHERE sid=" +
                std::to_string(benchdata::kLargeSetId) + " LIMIT 5000")
                   .c_str(),
               nullptr, nullptr, nullptr);
  const char* const figures[] = {
      "SELECT count(*) FROM question WHERE qid in (SELECT qid FROM section WHERE sid=?1) AND question!='' AND answer!=''",
      "SELECT count(DISTINCT qid) FROM looped_questions WHERE lid=1",
      "SELECT coalesce(sum(nc1),0), coalesce(sum(ni1),0) FROM question_log WHERE uid=1 AND mid=3 AND qid in "
      "(SELECT qid FROM section WHERE sid=?1)"};
  std::vector<sqlite3_stmt*> statements;
  for (const char* sql : figures) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (sqlite3_bind_parameter_count(statement) > 0) sqlite3_bind_int(statement, 1, benchdata::kLargeSetId);
    statements.push_back(statement);
  }
  for (auto _ : state) {
    int64_t sum = 0;
    for (sqlite3_stmt* statement : statements) {
      if (sqlite3_step(statement) == SQLITE_ROW) sum += sqlite3_column_int(statement, 0);
      sqlite3_reset(statement);
    }
    if (sum != benchdata::kLargeSetSize + 5000 + 30000) state.SkipWithError("wrong round figures");
  }
  for (sqlite3_stmt* statement : statements) sqlite3_finalize(statement);
  sqlite3_close(db);
}
BENCHMARK(BM_ShowPageFiguresBound)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv, [] { benchdata::largeDatabase(); }); }
