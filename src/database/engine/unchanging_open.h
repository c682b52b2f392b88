// A database file opened only to be read through, as a file nobody changes meanwhile: the checks of
// a copy that is not in use yet.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

namespace sqliteplus {

struct EngineCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using EngineHandle = std::unique_ptr<sqlite3, EngineCloser>;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using PreparedStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Opens the file at `path` (UTF-8) read-only; `resultCode` hears the engine's result. The engine
// makes no log or shared-memory file beside it, whatever its header asks for.
EngineHandle openUnchanging(const std::string& path, int& resultCode);

// Prepares `sql` on `db`; `resultCode` hears the engine's result (preparing reads the schema).
PreparedStatement prepare(sqlite3* db, const std::string& sql, int& resultCode);

// The name quoted for a statement, whatever characters it holds.
std::string quotedName(const std::string& name);

}  // namespace sqliteplus
