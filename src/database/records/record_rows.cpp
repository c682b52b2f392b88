#include "database/records/record_rows.h"

#include "database/engine/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

bool readRecordRow(const DbObject& accessor, const char* sql, SqlValues values,
                   const std::function<void(const sqliteplus::SqliteCursor&)>& read) {
  std::string failure;
  const FirstRow row = readKeptRow(accessor, sql, values, read, &failure);
  if (row == FirstRow::failed) platform::traceError("%s\n", failure.c_str());
  return row == FirstRow::found;
}

int intOrZero(const sqliteplus::SqliteCursor& row, int column) { return row.getIntOr(column, 0); }

double doubleOrZero(const sqliteplus::SqliteCursor& row, int column) {
  return row.isNull(column) ? 0.0 : row.getDouble(column);
}

bool saveRow(const DbObject& accessor, const char* update, SqlValues updateValues, const char* insert,
             SqlValues insertValues) {
  const int changed = execKept(accessor, update, updateValues);
  if (changed < 0) return false;
  return changed > 0 || execKept(accessor, insert, insertValues) >= 0;
}

}  // namespace pdb3
