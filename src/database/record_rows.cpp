#include "database/record_rows.h"

#include "database/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

bool readRecordRow(const DbObject& accessor, const std::wstring& sql,
                   const std::function<void(const sqliteplus::SqliteCursor&)>& read) {
  try {
    auto cursor = accessor.query().query(sql.c_str());
    if (!cursor->next()) return false;
    read(*cursor);
    return true;
  } catch (const sqliteplus::SqliteException& e) {
    platform::traceError("%s : %s\n", e.what(), e.message().c_str());
    return false;
  }
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
