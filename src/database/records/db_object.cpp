#include "database/records/db_object.h"

#include "database/engine/engine_failure.h"
#include "platform/trace.h"

namespace pdb3 {

sqliteplus::SqliteQuery& DbObject::query() const {
  if (!handle_) throw sqliteplus::SqliteException("The accessor holds no query object.");
  return *handle_;
}

DbObject openQuery(sqliteplus::SqliteConnection& connection) { return DbObject(connection.createQuery()); }

bool openConnection(sqliteplus::SqliteConnection& connection, const wchar_t* fileName) {
  try {
    connection.open(fileName);
    return true;
  } catch (const sqliteplus::SqliteException& e) {
    platform::traceError("%s : %s\n", e.what(), e.message().c_str());
    return false;
  }
}

bool openConnectionBeside(sqliteplus::SqliteConnection& side, const sqliteplus::SqliteConnection& open) {
  if (!open.isOpen() || sqliteplus::noteIfDatabaseAway(open.engineHandle())) return false;
  return openConnection(side, open.fileName().c_str());
}

}  // namespace pdb3
