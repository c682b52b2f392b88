#include "database/records/db_object.h"

#include <sys/stat.h>

#include <optional>

#include "database/engine/engine_failure.h"
#include "database/engine/text_conversion.h"
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

namespace {

// The file at the path now, if any.
std::optional<OpenFile> fileAt(const std::wstring& path) {
  struct stat info {};
  if (::stat(sqliteplus::WStringToAcp(path).c_str(), &info) != 0) return std::nullopt;
  return OpenFile{path, static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

bool sameFile(const std::optional<OpenFile>& a, const OpenFile& b) {
  return a && a->device == b.device && a->inode == b.inode;
}

}  // namespace

bool findOpenFile(const sqliteplus::SqliteConnection& open, OpenFile& file) {
  if (!open.isOpen()) return false;
  // The path's file first, then whether the open one is still it: one put in its place between
  // the two is found by the second.
  const std::optional<OpenFile> atPath = fileAt(open.fileName());
  if (sqliteplus::noteIfDatabaseAway(open.engineHandle())) return false;
  if (!atPath) {
    sqliteplus::noteMissingDatabase(open.fileName());
    return false;
  }
  file = *atPath;
  return true;
}

bool openConnectionOn(sqliteplus::SqliteConnection& side, const OpenFile& file) {
  if (!openConnection(side, file.path.c_str())) return false;
  // Opened by its name, the file is the one found only while nothing has been put at the path since.
  const bool away = sqliteplus::noteIfDatabaseAway(side.engineHandle());
  if (!away && sameFile(fileAt(file.path), file)) return true;
  if (!away) sqliteplus::noteReplacedDatabase(file.path);
  side.close();
  return false;
}

bool openConnectionBeside(sqliteplus::SqliteConnection& side, const sqliteplus::SqliteConnection& open) {
  OpenFile file;
  return findOpenFile(open, file) && openConnectionOn(side, file);
}

}  // namespace pdb3
