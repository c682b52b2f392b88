// Speed of the study model on a large file: saving a 100-question study, choosing the next
// questions of a normal study, the memory-rate figures smart learning computes per question, and
// the remark on a wrong reply that is another question's answer.
// The file (100,000 questions in 1,000 sets of 100, a set of 10,000 whose study log has 1,000
// looped questions, 1,000,000 question_log rows, a memory rate for every question) is generated
// by SQL on first run, beside this program, and reused afterwards.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <set>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/pages/smart_selection.h"
#include "database/memory_rate.h"
#include "database/question_selection.h"
#include "database/sql_helpers.h"
#include "database/text_conversion.h"
#include "services/study_history.h"
#include "study/answer_remark.h"

namespace {

constexpr int kLargeSet = 1002;
constexpr int kLargeSetSize = 10000;
constexpr int kLargeSetLog = 1;
constexpr int kUser = 1;
constexpr int kNow = 1700000000;

const char kContent[] = R"SQL(
BEGIN;
INSERT INTO user_info VALUES (1, 'ベンチ'), (2, 'bench');
INSERT INTO element_info VALUES (1, 0, 'ベンチマーク', '', '', '', 0, 0, '', '');
INSERT INTO folder VALUES (1, 0);
WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 1002)
  INSERT INTO element_info SELECT i, 2, '問題集 ' || i, '', '', '', 0, 0, '', '' FROM n;
INSERT INTO folder SELECT eid, 1 FROM element_info WHERE eid > 1;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
  INSERT INTO question SELECT i, '問題 ' || i || ' の日本語の意味', 'answer' || i, '', '名詞', '', '', 0, 0, 0,
                              '', '', '', '', '' FROM n;
INSERT INTO section SELECT 2 + (qid - 1) / 100, qid FROM question ORDER BY qid;
INSERT INTO section SELECT 1002, qid FROM question WHERE qid <= 10000 ORDER BY qid;
WITH modes(mid) AS (VALUES (0), (1), (2), (3), (4))
  INSERT INTO question_log SELECT qid, uid, mid, 3, 1, 0, 0, 0, 0, 0, 0, 1700000000 - (qid % 1000) * 3600, 0, 4.5,
                                  '', '' FROM question, user_info, modes;
INSERT INTO memory_rate SELECT qid, 1, qid * 7 % 101, qid % 11,
  CASE WHEN qid % 11 >= 1 THEN 1690000000 ELSE 0 END, CASE WHEN qid % 11 >= 2 THEN 1690000000 ELSE 0 END,
  CASE WHEN qid % 11 >= 3 THEN 1690000000 ELSE 0 END, CASE WHEN qid % 11 >= 4 THEN 1690000000 ELSE 0 END,
  CASE WHEN qid % 11 >= 5 THEN 1690000000 ELSE 0 END, CASE WHEN qid % 11 >= 6 THEN 1690000000 ELSE 0 END,
  CASE WHEN qid % 11 >= 7 THEN 1690000000 ELSE 0 END, CASE WHEN qid % 11 >= 8 THEN 1690000000 ELSE 0 END,
  CASE WHEN qid % 11 >= 9 THEN 1690000000 ELSE 0 END, CASE WHEN qid % 11 >= 10 THEN 1690000000 ELSE 0 END
  FROM question;
INSERT INTO log_id VALUES (1, 1, 1002, 0);
INSERT INTO element_log VALUES (1, 1690000000, 10, 5000, 20000, 0, '', '');
INSERT INTO looped_questions SELECT 1, qid FROM question WHERE qid <= 1000;
COMMIT;
)SQL";

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Built under a temporary name, so an interrupted run never leaves a half file to be reused.
const std::wstring& studyDatabase() {
  static const std::wstring path = [] {
    const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string target = (folder / "study_model.klvdb7").string();
    if (!std::filesystem::exists(target)) {
      const std::string temporary = target + ".tmp";
      std::filesystem::remove(temporary);
      std::fprintf(stderr, "generating %s ...\n", target.c_str());
      try {
        sqliteplus::SqliteConnection connection;
        connection.open(sqliteplus::Utf8ToWString(temporary).c_str());
        const pdb3::DbObject accessor = pdb3::openQuery(connection);
        accessor.query().execute(L"PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
        accessor.query().execute(sqliteplus::Utf8ToWString(readText(KELVARA_SOURCE_DIR "/resources/schema.sql")).c_str());
        accessor.query().execute(sqliteplus::Utf8ToWString(kContent).c_str());
      } catch (const sqliteplus::SqliteException& e) {
        std::fprintf(stderr, "could not generate the database: %s\n", e.message().c_str());
        std::exit(1);
      }
      std::filesystem::rename(temporary, target);
    }
    return sqliteplus::Utf8ToWString(target);
  }();
  return path;
}

// One study of 100 questions of the large set, saved inside a transaction that is then rolled
// back (outside the timing), so every iteration meets the same file.
void BM_SaveStudyHistory(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(studyDatabase().c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  pdb3::StudyContext study{connection, kUser, kLargeSet, 0, [&](const std::wstring&) { state.SkipWithError("notice"); }};
  PointInfoStore store;
  const auto rankingFile = std::filesystem::temp_directory_path() / "kelvara_bench_irank.dat";
  const RankingTarget ranking{store, L"ベンチ", rankingFile.wstring()};
  int did = 1;
  for (auto _ : state) {
    pdb3::DailyLogRecord record(accessor);
    record.did = did++;
    record.lid = kLargeSetLog;
    record.StartTime = kNow - 600;
    record.EndTime = kNow;
    record.Strokes = 300;
    for (int qid = 5001; qid <= 5100; ++qid)
      record.results[qid] = {qid % 3 ? 1 : 0, qid % 3 ? 0 : 1, qid % 3 ? 0 : 1, 0, 3.25, kNow, 0, 0, 0};
    pdb3::execSql(accessor, L"BEGIN TRANSACTION");
    if (!SaveStudyHistory(study, ranking, record, true, 100)) state.SkipWithError("save failed");
    state.PauseTiming();
    pdb3::execSql(accessor, L"ROLLBACK");
    state.ResumeTiming();
  }
  std::filesystem::remove(rankingFile);
}
BENCHMARK(BM_SaveStudyHistory)->Unit(benchmark::kMillisecond);

// 20 questions of the 10,000-question set whose pass has asked 1,000; argument 1 = at random.
void BM_SelectNextQuestions(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(studyDatabase().c_str());
  const pdb3::StudyContext study{connection, kUser, kLargeSet, 0, [&](const std::wstring&) { state.SkipWithError("notice"); }};
  for (auto _ : state) {
    std::deque<int> ids;
    pdb3::SelectNextQuestions(study, ids, state.range(0) == 1, 20);
    if (ids.size() != 20 || ids.front() <= 1000) state.SkipWithError("wrong selection");
  }
}
BENCHMARK(BM_SelectNextQuestions)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What a smart-learning list computes for each question of a 10,000-question set; argument 1 runs
// the loop inside one read transaction, which spares the engine a file lock per statement.
void BM_CurrentRateAndNextLevelup(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(studyDatabase().c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  const bool inTransaction = state.range(0) == 1;
  for (auto _ : state) {
    if (inTransaction) pdb3::execSql(accessor, L"BEGIN TRANSACTION");
    int64_t sum = 0;
    for (int qid = 1; qid <= kLargeSetSize; ++qid) {
      pdb3::MemoryRate rate(accessor, qid, kUser, kNow);
      rate.load();
      sum += rate.currentRate() + rate.nextLevelupTime();
    }
    if (inTransaction) pdb3::execSql(accessor, L"COMMIT");
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_CurrentRateAndNextLevelup)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The remark after a wrong re-input in a 1,000-question study (questions 5001-6000). Argument 0:
// the reply is the answer of a question of the study; 1: of a question outside it, found by the
// prefix search over the whole database; 2: of no question (both searches run to their end).
void BM_FindQuestionsByAnswer(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(studyDatabase().c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  std::vector<int> studyIds;
  for (int qid = 5001; qid <= 6000; ++qid) studyIds.push_back(qid);
  const wchar_t* const replies[] = {L"answer5500", L"answer99999", L"no such answer"};
  const std::wstring reply = replies[state.range(0)];
  for (auto _ : state) {
    const std::wstring remark = study::FindQuestionsByAnswer(accessor, reply, studyIds);
    if (remark.empty() != (state.range(0) == 2)) state.SkipWithError("wrong remark");
    benchmark::DoNotOptimize(remark);
  }
}
BENCHMARK(BM_FindQuestionsByAnswer)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Choosing a smart-learning study of N questions (argument) from the 10,000-question set, every
// question of which has a memory rate; the choice is seeded, so each iteration makes the same one.
void BM_SmartSelection(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(studyDatabase().c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  const smart::SelectionRequest request{static_cast<unsigned>(state.range(0)), 1, false};
  for (auto _ : state) {
    std::srand(1);
    const std::set<int> chosen = smart::SelectSmartQuestions(accessor, kUser, kLargeSet, request, kNow);
    if (chosen.size() != request.count) state.SkipWithError("wrong selection");
  }
}
BENCHMARK(BM_SmartSelection)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The smart-learning list's sort of all 10,000 rows by forgetting degree.
void BM_SortByForgettingDegree(benchmark::State& state) {
  sqliteplus::SqliteConnection connection;
  connection.open(studyDatabase().c_str());
  const pdb3::DbObject accessor = pdb3::openQuery(connection);
  std::vector<int> rows;
  for (int qid = 1; qid <= kLargeSetSize; ++qid) rows.push_back(qid);
  for (auto _ : state) {
    std::vector<int> sorted = rows;
    smart::LoadRates(accessor, sorted, kUser, kLargeSet, kNow);
    std::stable_sort(sorted.begin(), sorted.end(), smart::CompareByCurrentRate);
    benchmark::DoNotOptimize(sorted.data());
  }
}
BENCHMARK(BM_SortByForgettingDegree)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  studyDatabase();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
