#include "database/engine/sqlite_cursor.h"

#include <sqlite3.h>

#include <climits>
#include <cstdlib>

#include "database/engine/engine_failure.h"
#include "database/engine/engine_text.h"
#include "database/engine/sqlite_connection.h"
#include "database/engine/text_conversion.h"
#include "platform/trace.h"

namespace sqliteplus {
namespace {

const char* columnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? text : "";
}

}  // namespace

SqliteCursor::SqliteCursor(const SqliteQuery& query) {
  sqlite3* db = query.connection().openHandle();
  const std::string sql = WStringToUtf8(query.getSql());
  const int result = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &statement_, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    throw QueryException(engineText(sqlite3_errmsg(db), "Can't compile sql.").c_str(), result);
  }
  // An empty text (or one of comments only) compiles to no statement at all.
  if (!statement_) throw QueryException("Can't compile sql.", result);
}

SqliteCursor::SqliteCursor(SqliteConnection& connection, const char* sql) {
  sqlite3_stmt* kept = connection.keptStatement(sql);
  if (!sqlite3_stmt_busy(kept)) {
    statement_ = kept;
    kept_ = true;
    return;
  }
  sqlite3* db = connection.openHandle();
  const int result = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
  if (result != SQLITE_OK || !statement_) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    throw QueryException(engineText(sqlite3_errmsg(db), "Can't compile sql.").c_str(), result);
  }
}

SqliteCursor::~SqliteCursor() {
  if (!statement_) return;
  if (kept_) {
    // The outcome of the last step was reported by next(); reset repeats it.
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    return;
  }
  sqlite3* db = sqlite3_db_handle(statement_);
  const int result = sqlite3_finalize(statement_);
  if (result == SQLITE_OK) return;
  const char* error = sqlite3_errmsg(db);
  if (error && *error)
    platform::traceError("SqliteCursor::~SqliteCursor() %s\n", engineText(error, "").c_str());
  else
    platform::traceError("SqliteCursor::~SqliteCursor() Can't finalize vm. (code: %d)\n", result);
}

void SqliteCursor::bind(int index, int value) {
  const int result = sqlite3_bind_int(statement_, index, value);
  if (result != SQLITE_OK) throw QueryException("Can't bind a parameter.", result);
}

void SqliteCursor::bind(int index, double value) {
  const int result = sqlite3_bind_double(statement_, index, value);
  if (result != SQLITE_OK) throw QueryException("Can't bind a parameter.", result);
}

bool SqliteCursor::next() {
  if (done_ || !statement_) return false;
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) {
    ++rows_;
    hasRow_ = true;
    columnCount_ = sqlite3_column_count(statement_);
    return true;
  }
  hasRow_ = false;
  if (result == SQLITE_DONE) {
    done_ = true;
    return false;
  }
  noteStatementFailure(sqlite3_db_handle(statement_));
  throw QueryException("Can't get next row.", result);
}

void SqliteCursor::checkColumn(int column) const {
  if (!hasRow_) throw QueryException("SqliteCursor has never gotten a row yet.", 0);
  if (column < 0 || column >= columnCount_) throw OutOfBoundsException("index out of bounds.");
}

bool SqliteCursor::isNull(int column) const {
  checkColumn(column);
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::wstring SqliteCursor::getString(int column) const {
  checkColumn(column);
  const char* text = columnText(statement_, column);
  return Utf8ToWString(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column))));
}

int SqliteCursor::getInt(int column) const {
  checkColumn(column);
  const int type = sqlite3_column_type(statement_, column);
  if (type == SQLITE_NULL) throw QueryException("The column holds no value (NULL).", 0);
  return intOf(column, type);
}

int SqliteCursor::getIntOr(int column, int fallback) const {
  checkColumn(column);
  const int type = sqlite3_column_type(statement_, column);
  return type == SQLITE_NULL ? fallback : intOf(column, type);
}

int SqliteCursor::intOf(int column, int type) const {
  switch (type) {
    case SQLITE_INTEGER:
      return static_cast<int>(sqlite3_column_int64(statement_, column));
    case SQLITE_FLOAT: {
      const double value = sqlite3_column_double(statement_, column);
      // Truncates like reading the number's text would, without overflowing the int.
      if (!(value > INT_MIN)) return INT_MIN;
      if (!(value < INT_MAX)) return INT_MAX;
      return static_cast<int>(value);
    }
    default:
      return static_cast<int>(std::atol(columnText(statement_, column)));
  }
}

double SqliteCursor::getDouble(int column) const {
  checkColumn(column);
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      throw QueryException("The column holds no value (NULL).", 0);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return sqlite3_column_double(statement_, column);
    default:
      return std::atof(columnText(statement_, column));
  }
}

}  // namespace sqliteplus
