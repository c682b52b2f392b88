// What every log-like record does with its one row: read it whole, and save it by first counting
// the rows that carry its key.
#pragma once

#include <functional>
#include <string>

#include "database/db_object.h"
#include "database/sqlite_cursor.h"

namespace pdb3 {

// Hands the first row of `sql` to `read`. False when there is no row; an engine failure (or a
// NULL where a number is read) prints "<class> : <message>" to stderr and gives false too.
bool readRecordRow(const DbObject& accessor, const std::wstring& sql,
                   const std::function<void(const sqliteplus::SqliteCursor&)>& read);

// A NULL counter (a column the other writers of the file left empty) reads as 0, as the lazy
// fields read it, so that a save afterwards does not fail on it or lose the row's other counts.
int intOrZero(const sqliteplus::SqliteCursor& row, int column);
double doubleOrZero(const sqliteplus::SqliteCursor& row, int column);

// Runs `update` when `countSql` finds the key in one or more rows and `insert` when in none. A
// count that cannot be read writes nothing and gives false: inserting then could add a second row.
bool saveByCount(const DbObject& accessor, const std::wstring& countSql, const std::function<bool()>& update,
                 const std::function<bool()>& insert);

}  // namespace pdb3
