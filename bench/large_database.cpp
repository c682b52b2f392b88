#include "large_database.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

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

}  // namespace

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

