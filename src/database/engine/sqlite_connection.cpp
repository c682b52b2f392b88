#include "database/engine/sqlite_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <utility>

#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "database/engine/engine_text.h"
#include "database/engine/text_conversion.h"

namespace sqliteplus {
namespace {

bool isOldFormatFile(const std::string& fileName) {
  static const char kHeader[] = "** This file contains an SQLite 2";
  char head[sizeof kHeader - 1] = {};
  std::ifstream in(fileName, std::ios::binary);
  return in.read(head, sizeof head) && std::memcmp(head, kHeader, sizeof head) == 0;
}

[[noreturn]] void throwOpenFailure(const std::string& message) {
  throw ConnectionException(SqliteException(message.c_str()));
}

// The first word of a statement, upper-cased.
std::string leadingKeyword(const std::string& sql) {
  size_t pos = 0;
  while (pos < sql.size() && std::isspace(static_cast<unsigned char>(sql[pos]))) ++pos;
  std::string word;
  while (pos < sql.size() && std::isalpha(static_cast<unsigned char>(sql[pos])))
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[pos++])));
  return word;
}

}  // namespace

SqliteConnection::~SqliteConnection() { close(); }

void SqliteConnection::open(const wchar_t* fileName) {
  close();
  const std::string name = WStringToAcp(fileName);
  if (name.empty()) throwOpenFailure("Can't open ");
  sqlite3* db = nullptr;
  // Never made here: a file moved away or deleted while the program runs must not come back as an
  // empty database (and then as the backup of the last run).
  if (sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    // The engine says only that it could not open the file; the system says whether its permissions refused it.
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    if (systemError == EACCES || systemError == EPERM) noteEngineFailure(EngineFailure::unreadable);
    const std::string message = db ? engineText(sqlite3_errmsg(db), "") + " (" + name + ")" : "Can't open " + name;
    sqlite3_close_v2(db);
    std::error_code error;
    if (!std::filesystem::exists(name, error) && !error) noteMissingDatabase(fileName);
    throwOpenFailure(message);
  }
  // Failures come with their whole cause: an I/O error the file system or a page's checksum gave
  // as damage is no passing one (engine_failure.cpp tells them apart).
  sqlite3_extended_result_codes(db, 1);
  // Another connection (the study window's, the level thread's) or another program may hold the file.
  installBusyWait(db);
  char* error = nullptr;
  if (const int result = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &error);
      result != SQLITE_OK) {
    // Held by another program, the file is no less a database: whoever asks for another one says why.
    noteSchemaReadFailure(result);
    std::string message = engineText(error, "Can't open") + " (" + name + ")";
    sqlite3_free(error);
    sqlite3_close_v2(db);
    if (isOldFormatFile(name))
      message = name + " is an SQLite 2 database file; only SQLite 3 files can be opened "
                       "(convert it by dumping it with the SQLite 2 shell and loading the dump with sqlite3)";
    throwOpenFailure(message);
  }
  db_ = db;
}

void SqliteConnection::close() {
  if (!db_) return;
  for (const auto& [sql, statement] : kept_) sqlite3_finalize(statement);
  kept_.clear();
  keptByAddress_.clear();
  // close_v2 defers the close while cursors are still alive instead of failing.
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void SqliteConnection::swap(SqliteConnection& other) noexcept {
  std::swap(db_, other.db_);
  kept_.swap(other.kept_);
  keptByAddress_.swap(other.keptByAddress_);
}

bool SqliteConnection::inTransaction() const { return db_ && sqlite3_get_autocommit(db_) == 0; }

bool SqliteConnection::isReadOnly() const { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

std::wstring SqliteConnection::fileName() const {
  const char* name = db_ ? sqlite3_db_filename(db_, "main") : nullptr;
  return name ? AcpToWString(name) : std::wstring();
}

sqlite3* SqliteConnection::openHandle() const {
  if (!db_) throw QueryException("The database is not open.", SQLITE_MISUSE);
  return db_;
}

sqlite3_stmt* SqliteConnection::keptStatement(const char* sql) {
  sqlite3* db = openHandle();
  const auto byAddress = keptByAddress_.find(sql);
  if (byAddress != keptByAddress_.end() && std::strcmp(sqlite3_sql(byAddress->second), sql) == 0)
    return byAddress->second;
  sqlite3_stmt*& statement = kept_[sql];
  if (!statement) {
    const int result = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (result != SQLITE_OK || !statement) {
      sqlite3_finalize(statement);
      kept_.erase(sql);
      throw QueryException(engineText(sqlite3_errmsg(db), "Can't compile sql.").c_str(), result);
    }
  }
  keptByAddress_[sql] = statement;
  return statement;
}

void SqliteConnection::stopWhen(const std::atomic<bool>* flag) {
  if (!db_) return;
  // Asked every thousand virtual-machine steps: a few microseconds of work.
  constexpr int kSteps = 1000;
  sqlite3_progress_handler(
      db_, flag ? kSteps : 0,
      [](void* stop) { return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0; },
      const_cast<std::atomic<bool>*>(flag));
}

int SqliteConnection::lastInsertRowId() const {
  return db_ ? static_cast<int>(sqlite3_last_insert_rowid(db_)) : 0;
}

SharedHandle<SqliteQuery> SqliteConnection::createQuery() {
  return SharedHandle<SqliteQuery>(new (std::nothrow) SqliteQuery(this));
}

std::wstring SqliteQuery::getSql() const { return sql_; }

void SqliteQuery::setSql(const wchar_t* sql) { sql_ = WCharToWString(sql); }

void SqliteQuery::execute() {
  sqlite3* db = connection_->openHandle();
  const std::string sql = WStringToUtf8(sql_);
  char* error = nullptr;
  const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  if (result == SQLITE_OK) return;
  noteStatementFailure(db);
  std::string message = engineText(error, "Can't execute sql");
  sqlite3_free(error);
  // A COMMIT that fails (a reader holds the file) leaves the transaction open in this engine;
  // left so, every later write of the connection would silently join it.
  const std::string keyword = leadingKeyword(sql);
  if ((keyword == "COMMIT" || keyword == "END") && !sqlite3_get_autocommit(db)) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    message += " (the transaction was rolled back)";
  }
  throw QueryException(message.c_str(), result);
}

void SqliteQuery::execute(const wchar_t* sql) {
  setSql(sql);
  execute();
}

SharedHandle<SqliteCursor> SqliteQuery::query() {
  return SharedHandle<SqliteCursor>(new (std::nothrow) SqliteCursor(*this));
}

SharedHandle<SqliteCursor> SqliteQuery::query(const wchar_t* sql) {
  setSql(sql);
  return query();
}

}  // namespace sqliteplus
