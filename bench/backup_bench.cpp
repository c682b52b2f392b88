// The exit backup of a large database, made as the program makes it (the engine's online backup
// from the connection that has the file open, into a temporary file that is opened afresh and
// checked before it is renamed over the copy) and as a plain copy of the file, side by side on the
// same file: the shared large database (large_database.h, about 70 MB; argument 0), and the same
// grown to 400 MB with a table of blobs (argument 400, made beside it on first use). The checks are
// measured on their own: the engine's quick check (all a copy once had), the program's check of a
// copy (the quick check, the tables and columns the program reads, and each index against its
// table, in passes at once) and the engine's full check it stands in for.
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "database/engine/database_copy.h"
#include "database/engine/sqlite_connection.h"
#include "database/engine/text_conversion.h"
#include "database/engine/whole_database.h"
#include "database/program_tables.h"
#include "large_database.h"
#include "platform/files/file_system.h"

namespace {

using namespace benchdata;

// The database of `megabytes` (0: the shared one as it is).
std::string databaseOf(int64_t megabytes) {
  if (megabytes == 0) return largeDatabase();
  const std::string path = largeDatabase() + "." + std::to_string(megabytes) + "mb", temporary = path + ".tmp";
  if (std::filesystem::exists(path)) return path;
  std::filesystem::copy_file(largeDatabase(), temporary, std::filesystem::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  sqlite3_open(temporary.c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=OFF; CREATE TABLE padding (b BLOB); BEGIN", nullptr, nullptr, nullptr);
  const char* addFourMegabytes =
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 64) "
      "INSERT INTO padding SELECT randomblob(65536) FROM n";
  while (static_cast<int64_t>(std::filesystem::file_size(temporary)) < megabytes << 20)
    if (sqlite3_exec(db, addFourMegabytes, nullptr, nullptr, nullptr) != SQLITE_OK) std::exit(1);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::filesystem::rename(temporary, path);
  return path;
}

std::wstring copyPath(const std::string& database) { return sqliteplus::Utf8ToWString(database + ".bench-copy"); }

void countBytes(benchmark::State& state, const std::string& database) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(database)));
  std::filesystem::remove(sqliteplus::WStringToUtf8(copyPath(database)));
}

void BM_OnlineBackup(benchmark::State& state) {
  const std::string database = databaseOf(state.range(0));
  sqliteplus::SqliteConnection connection;
  connection.open(sqliteplus::Utf8ToWString(database).c_str());
  for (auto _ : state) {
    sqliteplus::DatabaseCopy copy(connection, copyPath(database), pdb3::programTables());
    if (copy.copy() != sqliteplus::CopyOutcome::made || !copy.replaceTarget()) state.SkipWithError("no copy");
  }
  countBytes(state, database);
}
BENCHMARK(BM_OnlineBackup)->Arg(0)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the check adds to a copy: the copy opened afresh and quick-checked, its pages in the cache.
void BM_QuickCheck(benchmark::State& state) {
  const std::string database = databaseOf(state.range(0));
  for (auto _ : state)
    if (sqliteplus::quickCheckDatabase(database) != SQLITE_OK) state.SkipWithError("the check failed");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(database)));
}
BENCHMARK(BM_QuickCheck)->Arg(0)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyCheck(benchmark::State& state) {
  const std::string database = databaseOf(state.range(0));
  for (auto _ : state)
    if (sqliteplus::checkDatabase(database, pdb3::programTables()) != SQLITE_OK) state.SkipWithError("the check failed");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(database)));
}
BENCHMARK(BM_CopyCheck)->Arg(0)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EngineFullCheck(benchmark::State& state) {
  const std::string database = databaseOf(state.range(0));
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (sqlite3_exec(db, "PRAGMA integrity_check(1)", nullptr, nullptr, nullptr) != SQLITE_OK)
      state.SkipWithError("the check failed");
    sqlite3_close(db);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(database)));
}
BENCHMARK(BM_EngineFullCheck)->Arg(0)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainFileCopy(benchmark::State& state) {
  const std::string database = databaseOf(state.range(0));
  for (auto _ : state)
    if (!platform::copyFile(sqliteplus::Utf8ToWString(database), copyPath(database), true)) state.SkipWithError("no copy");
  countBytes(state, database);
}
BENCHMARK(BM_PlainFileCopy)->Arg(0)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  largeDatabase();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
