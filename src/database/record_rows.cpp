#include "database/record_rows.h"

#include "database/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

bool readRecordRow(const DbObject& accessor, const std::wstring& sql,
                   const std::function<void(const sqliteplus::SqliteCursor&)>& read) {
  std::string failure;
  const FirstRow row = readFirstRow(accessor, sql, read, &failure);
  if (row == FirstRow::failed) platform::traceError("%s\n", failure.c_str());
  return row == FirstRow::found;
}

int intOrZero(const sqliteplus::SqliteCursor& row, int column) { return row.isNull(column) ? 0 : row.getInt(column); }

double doubleOrZero(const sqliteplus::SqliteCursor& row, int column) {
  return row.isNull(column) ? 0.0 : row.getDouble(column);
}

bool saveByCount(const DbObject& accessor, const std::wstring& countSql, const std::function<bool()>& update,
                 const std::function<bool()>& insert) {
  const int count = querySqlfIntOrMinus1(accessor, L"%ls", countSql.c_str());
  if (count < 0) return false;
  return count > 0 ? update() : insert();
}

}  // namespace pdb3
