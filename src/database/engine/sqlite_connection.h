// The program's only road to the database engine: a connection, the queries that run on it and
// the cursors that walk their rows. Every engine failure is thrown as a sqliteplus exception.
#pragma once

#include <atomic>
#include <string>
#include <unordered_map>

#include "database/engine/shared_handle.h"
#include "database/engine/sqlite_cursor.h"
#include "database/engine/sqlite_exceptions.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sqliteplus {

class SqliteQuery;

class SqliteConnection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Opens the file and reads its schema at once, so that a file that is no database fails here
  // rather than at the first statement. Throws ConnectionException; a file that is not there is
  // never made, and is noted as gone (engine_failure.h). A connection that is already open is
  // closed first.
  void open(const wchar_t* fileName);
  void close();
  // Trades files with `other`: a file opened on a connection of its own takes the place of this
  // one's only once it has opened, and what was open here closes with `other`. The queries of this
  // connection go on with the file it now has.
  void swap(SqliteConnection& other) noexcept;
  bool isOpen() const { return db_ != nullptr; }
  // A transaction is open. The engine ends one by itself when a statement fails for want of
  // space or memory: the statements after it would each be committed on their own.
  bool inTransaction() const;
  // The main file opened read-only (the engine falls back to that when it cannot write it).
  bool isReadOnly() const;
  // The file that is open, as open() takes a name; empty while closed.
  std::wstring fileName() const;
  int lastInsertRowId() const;
  // From now on a statement of this connection stops within a few of its steps once the flag is
  // set, failing as interrupted, also while it builds a list before its first row: for a worker
  // that is told to stop. Null clears it; the flag must outlive the connection or the clearing.
  void stopWhen(const std::atomic<bool>* flag);
  // An empty handle only when the query object cannot be allocated.
  SharedHandle<SqliteQuery> createQuery();

  sqlite3* engineHandle() const { return db_; }
  // The engine handle for running a statement; throws QueryException while closed.
  sqlite3* openHandle() const;
  // The first statement of `sql` compiled once and kept until the connection closes, for the
  // statements that run once per question (a history save runs a few of them hundreds of times).
  // Whoever steps it resets it. Throws QueryException.
  sqlite3_stmt* keptStatement(const char* sql);

 private:
  sqlite3* db_ = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> kept_;
  // The same statements by the address of the text last asked with (a literal, usually), checked
  // against the statement's own text: most look-ups then neither copy nor hash the text.
  std::unordered_map<const char*, sqlite3_stmt*> keptByAddress_;
};

class SqliteQuery {
 public:
  virtual ~SqliteQuery() = default;
  virtual std::wstring getSql() const;
  virtual void setSql(const wchar_t* sql);
  // Runs every statement of the text; rows are not read.
  virtual void execute();
  virtual void execute(const wchar_t* sql);
  // Compiles the first statement of the text; the cursor keeps its own compiled copy, so this
  // query may take another text while the cursor is still being walked.
  virtual SharedHandle<SqliteCursor> query();
  virtual SharedHandle<SqliteCursor> query(const wchar_t* sql);

  SqliteConnection& connection() const { return *connection_; }

 private:
  friend class SqliteConnection;
  explicit SqliteQuery(SqliteConnection* connection) : connection_(connection) {}

  SqliteConnection* connection_;
  std::wstring sql_;
};

}  // namespace sqliteplus
