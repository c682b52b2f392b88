// Speed of the database layer on a large file: 100,000 questions in 1,000 sets, one more set of
// 10,000 questions, and 1,000,000 question_log rows. The file is generated from the schema script
// on first run, beside this program, and reused afterwards.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <clocale>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "database/database_file.h"
#include "database/question.h"
#include "database/section_questions.h"
#include "database/text_conversion.h"

namespace {

constexpr int kSets = 1000;
constexpr int kQuestionsPerSet = 100;
constexpr int kLargeSetSize = 10000;
constexpr int kLargeSetId = kSets + 2;  // eid 1 is the folder, the sets are 2..1001
constexpr int kUsers = 2;
constexpr int kModes = 5;  // 100,000 questions x 2 users x 5 modes = 1,000,000 log rows

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement& bind(int index, int value) {
    sqlite3_bind_int(statement_, index, value);
    return *this;
  }
  Statement& bind(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.c_str(), -1, SQLITE_TRANSIENT);
    return *this;
  }
  bool run() {
    const bool ok = sqlite3_step(statement_) == SQLITE_DONE;
    sqlite3_reset(statement_);
    return ok;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool fill(sqlite3* db) {
  if (sqlite3_exec(db, readText(KELVARA_SOURCE_DIR "/resources/schema.sql").c_str(), nullptr, nullptr, nullptr) !=
      SQLITE_OK)
    return false;
  sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
  bool ok = sqlite3_exec(db,
                         "INSERT INTO user_info VALUES (1, 'ベンチ'), (2, 'bench');"
                         "INSERT INTO element_info VALUES (1, 0, 'ベンチマーク', '', '', '', 0, 0, '', '');"
                         "INSERT INTO folder VALUES (1, 0);",
                         nullptr, nullptr, nullptr) == SQLITE_OK;
  Statement element(db, "INSERT INTO element_info VALUES (?, 2, ?, '', '', '', 0, 0, '', '')");
  Statement folder(db, "INSERT INTO folder VALUES (?, 1)");
  Statement question(db, "INSERT INTO question VALUES (?, ?, ?, '', '名詞', '', '', 0, 0, 0, '', '', '', '', '')");
  Statement section(db, "INSERT INTO section VALUES (?, ?)");
  Statement log(db, "INSERT INTO question_log VALUES (?, ?, ?, 3, 1, 0, 0, 0, 0, 0, 0, 1700000000, 0, 4.5, '', '')");
  for (int set = 0; ok && set <= kSets; ++set) {
    const int eid = set + 2;
    ok = element.bind(1, eid).bind(2, "問題集 " + std::to_string(eid)).run() && folder.bind(1, eid).run();
  }
  int qid = 0;
  for (int set = 0; ok && set < kSets; ++set) {
    for (int i = 0; ok && i < kQuestionsPerSet; ++i) {
      ++qid;
      ok = question.bind(1, qid).bind(2, "問題 " + std::to_string(qid) + " の日本語の意味").bind(3, "answer" + std::to_string(qid)).run() &&
           section.bind(1, set + 2).bind(2, qid).run();
      for (int uid = 1; ok && uid <= kUsers; ++uid)
        for (int mid = 0; ok && mid < kModes; ++mid) ok = log.bind(1, qid).bind(2, uid).bind(3, mid).run();
    }
  }
  for (int q = 1; ok && q <= kLargeSetSize; ++q) ok = section.bind(1, kLargeSetId).bind(2, q).run();
  return ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Built under a temporary name, so an interrupted run never leaves a half file to be reused.
const std::string& largeDatabase() {
  static const std::string path = [] {
    const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string target = (folder / "large.klvdb7").string();
    if (std::filesystem::exists(target)) return target;
    const std::string temporary = target + ".tmp";
    std::filesystem::remove(temporary);
    std::fprintf(stderr, "generating %s ...\n", target.c_str());
    sqlite3* db = nullptr;
    sqlite3_open(temporary.c_str(), &db);
    const bool ok = fill(db);
    sqlite3_close(db);
    if (!ok) {
      std::fprintf(stderr, "could not generate the database\n");
      std::exit(1);
    }
    std::filesystem::rename(temporary, target);
    return target;
  }();
  return path;
}

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
// five text lists (argument 5), one lazy SELECT per question and column.
void BM_LoadQuestionTexts(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(sqliteplus::Utf8ToWString(largeDatabase()).c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  std::deque<int> ids;
  pdb3::sectionQuestionIds(accessor, kLargeSetId, ids);
  const bool allTexts = state.range(0) == 5;
  for (auto _ : state) {
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
