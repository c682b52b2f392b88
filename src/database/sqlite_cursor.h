// One compiled statement and its current row. Values are read as the engine stores them:
// numbers through their own type, everything else as text.
#pragma once

#include <string>

struct sqlite3_stmt;

namespace sqliteplus {

class SqliteQuery;

class SqliteCursor {
 public:
  // Compiles the query's current text (its first statement). Throws QueryException.
  explicit SqliteCursor(const SqliteQuery& query);
  // Finalizes the statement; a failure is traced, never thrown.
  ~SqliteCursor();
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  // Steps to the next row; false once the rows are used up (and from then on).
  bool next();

  // A NULL column reads as an empty string; getInt and getDouble throw QueryException on it.
  std::wstring getString(int column) const;
  int getInt(int column) const;
  double getDouble(int column) const;
  bool isNull(int column) const;

  int rowCount() const { return rows_; }
  bool isDone() const { return done_; }
  int columnCount() const { return columnCount_; }

 private:
  void checkColumn(int column) const;

  bool done_ = false;
  int rows_ = 0;
  sqlite3_stmt* statement_ = nullptr;
  int columnCount_ = 0;
  bool hasRow_ = false;
};

}  // namespace sqliteplus
