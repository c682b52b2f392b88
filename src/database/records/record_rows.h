// What every log-like record does with its one row: read it whole, and save it by updating the
// rows that carry its key, or inserting one when there is none.
#pragma once

#include <functional>
#include <string>

#include "database/records/db_object.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"

namespace pdb3 {

// Hands the first row of `sql` to `read`. False when there is no row; an engine failure (or a
// NULL where a number is read) prints "<class> : <message>" to stderr and gives false too.
bool readRecordRow(const DbObject& accessor, const char* sql, SqlValues values,
                   const std::function<void(const sqliteplus::SqliteCursor&)>& read);

// A NULL counter (a column the other writers of the file left empty) reads as 0, as the lazy
// fields read it, so that a save afterwards does not fail on it or lose the row's other counts.
int intOrZero(const sqliteplus::SqliteCursor& row, int column);
double doubleOrZero(const sqliteplus::SqliteCursor& row, int column);

// Runs `update` (whose WHERE names the key) and, when it changed no row, `insert`. An update that
// fails inserts nothing and gives false: inserting then could add a second row.
bool saveRow(const DbObject& accessor, const char* update, SqlValues updateValues, const char* insert,
             SqlValues insertValues);

}  // namespace pdb3
