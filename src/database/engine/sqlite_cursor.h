// One compiled statement and its current row. Values are read as the engine stores them:
// numbers through their own type, everything else as text.
#pragma once

#include <string>

struct sqlite3_stmt;

namespace sqliteplus {

class SqliteConnection;
class SqliteQuery;

class SqliteCursor {
 public:
  // Compiles the query's current text (its first statement). Throws QueryException.
  explicit SqliteCursor(const SqliteQuery& query);
  // Walks the connection's kept statement of `sql` (compiled once), its parameters bound by
  // bind() before the first next(). Should that statement be walked already, a fresh one is
  // compiled. Throws QueryException.
  SqliteCursor(SqliteConnection& connection, const char* sql);
  // Finalizes the statement (a kept one is reset for its next use); a failure is traced, never thrown.
  ~SqliteCursor();
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  // Binds the parameter `index` (1 for the first '?'). Throws QueryException.
  void bind(int index, int value);
  void bind(int index, double value);

  // Steps to the next row; false once the rows are used up (and from then on).
  bool next();

  // A NULL column reads as an empty string; getInt and getDouble throw QueryException on it.
  std::wstring getString(int column) const;
  int getInt(int column) const;
  // getInt, with `fallback` for a NULL (one look at the column where isNull and getInt take two).
  int getIntOr(int column, int fallback) const;
  double getDouble(int column) const;
  bool isNull(int column) const;

  int rowCount() const { return rows_; }
  bool isDone() const { return done_; }
  int columnCount() const { return columnCount_; }

 private:
  void checkColumn(int column) const;
  // The value of a column that holds one, of the engine's type `type`.
  int intOf(int column, int type) const;

  bool done_ = false;
  int rows_ = 0;
  sqlite3_stmt* statement_ = nullptr;
  bool kept_ = false;
  int columnCount_ = 0;
  bool hasRow_ = false;
};

}  // namespace sqliteplus
