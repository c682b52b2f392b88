// Speed of the application shell's views on the shared large file (large_database.h).
#include <benchmark/benchmark.h>

#include "app/folder_tree.h"
#include "database/text_conversion.h"
#include "large_database.h"
#include "offscreen_main.h"

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

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv, [] { benchdata::largeDatabase(); }); }
