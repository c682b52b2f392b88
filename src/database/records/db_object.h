// The data layer's database accessor: one counted handle to a query object. Every record begins
// with one, and all records made from one accessor share its query object (so they belong to the
// thread of that accessor's connection).
#pragma once

#include <cstdint>
#include <string>

#include "database/engine/shared_handle.h"
#include "database/engine/sqlite_connection.h"

namespace pdb3 {

class DbObject {
 public:
  explicit DbObject(sqliteplus::SharedHandle<sqliteplus::SqliteQuery> handle) : handle_(handle) {}

  const sqliteplus::SharedHandle<sqliteplus::SqliteQuery>& handle() const { return handle_; }
  // The shared query object; throws SqliteException when the accessor holds none.
  sqliteplus::SqliteQuery& query() const;

 private:
  sqliteplus::SharedHandle<sqliteplus::SqliteQuery> handle_;
};

// A new accessor on the connection.
DbObject openQuery(sqliteplus::SqliteConnection& connection);

// Opens the file on the connection; false (after one trace line on stderr) when it cannot.
bool openConnection(sqliteplus::SqliteConnection& connection, const wchar_t* fileName);

// Opens on `side` the file `open` has open, for work beside it (a window's own reads, an edit):
// false when that file is no longer at its path (noted as gone or replaced, engine_failure.h), so
// that nothing reads or writes a file put in its place while the program's own connection has the
// old one, or when the file cannot be opened.
bool openConnectionBeside(sqliteplus::SqliteConnection& side, const sqliteplus::SqliteConnection& open);

// The file a connection has open, as a connection beside it opened later, on another thread, finds
// it again: its name, and which file of the system it is.
struct OpenFile {
  std::wstring path;
  uint64_t device = 0;
  uint64_t inode = 0;
};
// The file `open` has open: false, noted as gone or replaced, when it is no longer the one at its
// path. Nothing is read.
bool findOpenFile(const sqliteplus::SqliteConnection& open, OpenFile& file);
// Opens that file on `side`, on any thread: false when it cannot be opened, or when another file
// has been put at its path since it was found (noted as replaced; `side` is left closed).
bool openConnectionOn(sqliteplus::SqliteConnection& side, const OpenFile& file);

}  // namespace pdb3
