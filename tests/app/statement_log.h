// The statements the engine runs on one connection, as it reports them (sqlite3_trace_v2): what a
// page read, and when, seen from the file's side.
#pragma once

#include <sqlite3.h>

#include <string>
#include <utility>
#include <vector>

#include "database/engine/sqlite_connection.h"

namespace apptest {

class StatementLog {
 public:
  explicit StatementLog(sqliteplus::SqliteConnection& connection) : db_(connection.engineHandle()) {
    sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementLog::note, this);
  }
  ~StatementLog() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
  StatementLog(const StatementLog&) = delete;
  StatementLog& operator=(const StatementLog&) = delete;

  // The statements run since the last take, each once as it started.
  std::vector<std::string> take() { return std::exchange(statements_, {}); }
  // How many of them name `word`.
  static size_t naming(const std::vector<std::string>& statements, const std::string& word) {
    size_t n = 0;
    for (const std::string& sql : statements) n += sql.find(word) != std::string::npos;
    return n;
  }

 private:
  static int note(unsigned, void* self, void*, void* sql) {
    static_cast<StatementLog*>(self)->statements_.emplace_back(static_cast<const char*>(sql));
    return 0;
  }

  sqlite3* db_;
  std::vector<std::string> statements_;
};

}  // namespace apptest
