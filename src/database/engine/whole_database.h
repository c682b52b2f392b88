// Whether a file holds a whole database, for whoever copies one (the backups): a copy is worth
// keeping only when the engine could open it in place of the original.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sqliteplus {

// The engine's header is as long as this.
inline constexpr size_t kDatabaseHeaderSize = 100;

// A file whose first bytes are `header` and whose size is `fileSize` starts with the engine's
// header and holds whole pages of the size that header names. The engine itself takes an empty
// file for an empty database, and counts a page cut short as a page.
bool hasWholePages(std::string_view header, long long fileSize);

// Opens the file at `path` (UTF-8) afresh, read-only, and runs the engine's quick check of it: its
// schema read, and every page of every table and index read and checked (the indexes are not
// compared with their tables). The engine's result code: SQLITE_OK for a file that passes,
// SQLITE_CORRUPT for a damaged one (the schema's text too) or one that holds fewer pages than its
// header counts, SQLITE_NOTADB for a foreign one, SQLITE_ERROR for a schema the engine cannot
// take (a format it does not know, a collation it lacks), else why it could not be read (an I/O
// error, no memory). Nothing is written, and no file is made beside it, even for a file whose
// header asks for a write-ahead log.
int quickCheckDatabase(const std::string& path);

// A table the reader of a database reads, with the columns it reads by name (compared as the
// engine compares names, whatever their case).
struct RequiredTable {
  std::string name;
  std::vector<std::string> columns;
  bool whenPresent = false;  // a file without the table will do; one with it needs its columns
};

// The quick check and what it leaves out, as cheaply as it can be had: the file holds the tables
// and columns `required` names, and every index holds exactly the rows of its table, in its order,
// and a unique one no key twice (an index of expressions or of some rows only: its table is
// checked by the engine's full check). The result codes of quickCheckDatabase; SQLITE_CORRUPT for a
// file that lacks a table or column, whose index and table differ, or whose schema the engine had
// no memory to read. It ends within a bounded reading of the file, however its pages point at each
// other.
int checkDatabase(const std::string& path, const std::vector<RequiredTable>& required);

// The file has whole pages and passes the quick check. False for a missing, empty, cut-short,
// damaged or foreign file.
bool isWholeDatabase(const std::wstring& path);

}  // namespace sqliteplus
