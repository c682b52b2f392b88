// Speed of the database layer on the shared large file (large_database.h).
#include <benchmark/benchmark.h>

#include <clocale>
#include <deque>
#include <string>

#include "database/database_file.h"
#include "database/records/question.h"
#include "database/engine/read_transaction.h"
#include "database/folders/section_questions.h"
#include "database/engine/text_conversion.h"
#include "large_database.h"

namespace {

using namespace benchdata;

void BM_OpenAndCheckVersion(benchmark::State& state) {
  const std::wstring path = sqliteplus::Utf8ToWString(largeDatabase());
  for (auto _ : state) {
    sqliteplus::SqliteConnection connection;
    if (!pdb3::openDatabaseFile(connection, path)) state.SkipWithError("open failed");
  }
}
BENCHMARK(BM_OpenAndCheckVersion)->Unit(benchmark::kMillisecond);

void BM_SectionQuestionIds(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(sqliteplus::Utf8ToWString(largeDatabase()).c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  for (auto _ : state) {
    std::deque<int> ids;
    pdb3::sectionQuestionIds(accessor, kLargeSetId, ids);
    if (ids.size() != kLargeSetSize) state.SkipWithError("wrong number of ids");
  }
}
BENCHMARK(BM_SectionQuestionIds)->Unit(benchmark::kMillisecond);

// Reads the question and answer texts of every question of the large set (argument 2), or all
// five text lists (argument 5), one lazy SELECT per question and column, inside one read
// transaction as the program's readers of whole sets hold it (export, printing, search, the
// filter of empty questions).
void BM_LoadQuestionTexts(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(sqliteplus::Utf8ToWString(largeDatabase()).c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  std::deque<int> ids;
  pdb3::sectionQuestionIds(accessor, kLargeSetId, ids);
  const bool allTexts = state.range(0) == 5;
  for (auto _ : state) {
    const pdb3::ReadTransaction transaction(accessor);
    size_t characters = 0;
    for (int qid : ids) {
      const pdb3::Question q = pdb3::getQuestion(accessor, qid);
      characters += q.questionText(0).size() + q.answerText(0).size();
      if (allTexts) characters += q.hintTexts().size() + q.descriptionTexts().size() + q.pronounceTexts().size();
    }
    benchmark::DoNotOptimize(characters);
  }
}
BENCHMARK(BM_LoadQuestionTexts)->Arg(2)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  largeDatabase();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
