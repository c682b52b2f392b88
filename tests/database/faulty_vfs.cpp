#include "faulty_vfs.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

namespace testdb {
namespace {

struct Faults {
  sqlite3_vfs* real = nullptr;
  bool readOnly = false;
  std::optional<int64_t> growthLeft;
  std::optional<int64_t> diskLeft;
  std::optional<int> writeFailure, journalOpenFailure, writeLockFailure, readFailure;
  std::function<void(const std::string&)> afterDatabaseRead;
};
Faults faults;
sqlite3_vfs shimVfs;
// The engine's own files stay as they are; only their methods are swapped for copies whose write
// goes through here. Database files and journals have methods of their own.
std::map<const sqlite3_io_methods*, sqlite3_io_methods> shimMethodsOf;
// The names of the main database files open now (the engine's handle of a file is its identity).
// Workers open files of their own meanwhile.
std::mutex namesLock;
std::map<const sqlite3_file*, std::string> databaseNames;
thread_local bool inAfterRead = false;

std::optional<std::string> databaseNameOf(const sqlite3_file* file) {
  const std::lock_guard<std::mutex> hold(namesLock);
  const auto name = databaseNames.find(file);
  return name == databaseNames.end() ? std::nullopt : std::optional<std::string>(name->second);
}

const sqlite3_io_methods* realMethodsOf(const sqlite3_file* file) {
  for (const auto& [real, shim] : shimMethodsOf)
    if (&shim == file->pMethods) return real;
  return nullptr;
}

int shimWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  if (faults.writeFailure) return *faults.writeFailure;
  const sqlite3_io_methods* real = realMethodsOf(file);
  sqlite3_int64 size = 0;
  if (int rc = real->xFileSize(file, &size); rc != SQLITE_OK) return rc;
  const int64_t growth = std::max<int64_t>(0, offset + amount - size);
  if (faults.growthLeft && growth > 0) {
    if (growth > *faults.growthLeft) return SQLITE_FULL;
    *faults.growthLeft -= growth;
  }
  if (faults.diskLeft && growth > 0) {
    if (growth > *faults.diskLeft) return SQLITE_FULL;
    *faults.diskLeft -= growth;
  }
  return real->xWrite(file, buffer, amount, offset);
}

int shimRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  if (faults.readFailure) return *faults.readFailure;
  const int rc = realMethodsOf(file)->xRead(file, buffer, amount, offset);
  if (!faults.afterDatabaseRead || inAfterRead) return rc;
  if (const std::optional<std::string> name = databaseNameOf(file)) {
    inAfterRead = true;
    faults.afterDatabaseRead(*name);
    inAfterRead = false;
  }
  return rc;
}

int shimLock(sqlite3_file* file, int level) {
  if (faults.writeLockFailure && level > SQLITE_LOCK_SHARED) return *faults.writeLockFailure;
  return realMethodsOf(file)->xLock(file, level);
}

// A file that shrinks or goes gives its room back to the disk.
void giveBack(int64_t bytes) {
  if (faults.diskLeft && bytes > 0) *faults.diskLeft += bytes;
}

int shimTruncate(sqlite3_file* file, sqlite3_int64 newSize) {
  const sqlite3_io_methods* real = realMethodsOf(file);
  sqlite3_int64 size = 0;
  if (int rc = real->xFileSize(file, &size); rc != SQLITE_OK) return rc;
  const int rc = real->xTruncate(file, newSize);
  if (rc == SQLITE_OK) giveBack(size - newSize);
  return rc;
}

int shimDelete(sqlite3_vfs*, const char* name, int syncDir) {
  std::error_code error;
  const auto size = std::filesystem::file_size(name, error);
  const int rc = faults.real->xDelete(faults.real, name, syncDir);
  if (rc == SQLITE_OK && !error) giveBack(static_cast<int64_t>(size));
  return rc;
}

int shimOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  if (faults.readOnly && (flags & SQLITE_OPEN_MAIN_DB))
    flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
  if (faults.journalOpenFailure && (flags & SQLITE_OPEN_MAIN_JOURNAL)) {
    file->pMethods = nullptr;
    return *faults.journalOpenFailure;
  }
  const int rc = faults.real->xOpen(faults.real, name, file, flags, outFlags);
  if (!file->pMethods) return rc;
  {
    const std::lock_guard<std::mutex> hold(namesLock);
    if ((flags & SQLITE_OPEN_MAIN_DB) && name)
      databaseNames[file] = name;
    else
      databaseNames.erase(file);
  }
  auto [entry, added] = shimMethodsOf.try_emplace(file->pMethods, *file->pMethods);
  if (added) {
    // Version 1: no shared memory and no memory mapping, so every page goes through xWrite.
    entry->second.iVersion = 1;
    entry->second.xRead = shimRead;
    entry->second.xWrite = shimWrite;
    entry->second.xRead = shimRead;
    entry->second.xTruncate = shimTruncate;
    entry->second.xLock = shimLock;
  }
  file->pMethods = &entry->second;
  return rc;
}

}  // namespace

FaultyVfs::FaultyVfs() {
  faults = Faults{};
  faults.real = sqlite3_vfs_find(nullptr);
  shimVfs = *faults.real;
  shimVfs.pNext = nullptr;
  shimVfs.zName = "kelvara-faulty";
  shimVfs.xOpen = shimOpen;
  shimVfs.xDelete = shimDelete;
  EXPECT_EQ(sqlite3_vfs_register(&shimVfs, 1), SQLITE_OK);
}

FaultyVfs::~FaultyVfs() {
  sqlite3_vfs_unregister(&shimVfs);
  sqlite3_vfs_register(faults.real, 1);
  faults = Faults{};
}

void FaultyVfs::openReadOnly(bool readOnly) { faults.readOnly = readOnly; }
void FaultyVfs::limitGrowth(std::optional<int64_t> bytes) { faults.growthLeft = bytes; }
void FaultyVfs::limitDisk(std::optional<int64_t> bytes) { faults.diskLeft = bytes; }
void FaultyVfs::failWrites(std::optional<int> resultCode) { faults.writeFailure = resultCode; }
void FaultyVfs::failJournalOpens(std::optional<int> resultCode) { faults.journalOpenFailure = resultCode; }
void FaultyVfs::failWriteLocks(std::optional<int> resultCode) { faults.writeLockFailure = resultCode; }
void FaultyVfs::onDatabaseRead(std::function<void(const std::string& file)> afterRead) {
  faults.afterDatabaseRead = std::move(afterRead);
}
void FaultyVfs::failReads(std::optional<int> resultCode) { faults.readFailure = resultCode; }

}  // namespace testdb
