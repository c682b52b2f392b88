#include "faulty_vfs.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace testdb {
namespace {

struct Faults {
  sqlite3_vfs* real = nullptr;
  bool readOnly = false;
  std::optional<int64_t> growthLeft;
  int refused = 0;
};
Faults faults;

struct ShimFile {
  sqlite3_file base;
  sqlite3_file* real;  // lies right after this struct
};

sqlite3_file* realOf(sqlite3_file* file) { return reinterpret_cast<ShimFile*>(file)->real; }

int shimClose(sqlite3_file* file) { return realOf(file)->pMethods->xClose(realOf(file)); }
int shimRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  return realOf(file)->pMethods->xRead(realOf(file), buffer, amount, offset);
}
int shimWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  sqlite3_file* real = realOf(file);
  sqlite3_int64 size = 0;
  if (int rc = real->pMethods->xFileSize(real, &size); rc != SQLITE_OK) return rc;
  const int64_t growth = std::max<int64_t>(0, offset + amount - size);
  if (faults.growthLeft && growth > 0) {
    if (growth > *faults.growthLeft) {
      ++faults.refused;
      return SQLITE_FULL;
    }
    *faults.growthLeft -= growth;
  }
  return real->pMethods->xWrite(real, buffer, amount, offset);
}
int shimTruncate(sqlite3_file* file, sqlite3_int64 size) { return realOf(file)->pMethods->xTruncate(realOf(file), size); }
int shimSync(sqlite3_file* file, int flags) { return realOf(file)->pMethods->xSync(realOf(file), flags); }
int shimFileSize(sqlite3_file* file, sqlite3_int64* size) {
  return realOf(file)->pMethods->xFileSize(realOf(file), size);
}
int shimLock(sqlite3_file* file, int level) { return realOf(file)->pMethods->xLock(realOf(file), level); }
int shimUnlock(sqlite3_file* file, int level) { return realOf(file)->pMethods->xUnlock(realOf(file), level); }
int shimCheckReservedLock(sqlite3_file* file, int* out) {
  return realOf(file)->pMethods->xCheckReservedLock(realOf(file), out);
}
int shimFileControl(sqlite3_file* file, int op, void* arg) {
  return realOf(file)->pMethods->xFileControl(realOf(file), op, arg);
}
int shimSectorSize(sqlite3_file* file) { return realOf(file)->pMethods->xSectorSize(realOf(file)); }
int shimDeviceCharacteristics(sqlite3_file* file) {
  return realOf(file)->pMethods->xDeviceCharacteristics(realOf(file));
}

// Version 1: no shared memory and no memory mapping, so every page goes through xWrite.
const sqlite3_io_methods kShimMethods = [] {
  sqlite3_io_methods methods{};
  methods.iVersion = 1;
  methods.xClose = shimClose;
  methods.xRead = shimRead;
  methods.xWrite = shimWrite;
  methods.xTruncate = shimTruncate;
  methods.xSync = shimSync;
  methods.xFileSize = shimFileSize;
  methods.xLock = shimLock;
  methods.xUnlock = shimUnlock;
  methods.xCheckReservedLock = shimCheckReservedLock;
  methods.xFileControl = shimFileControl;
  methods.xSectorSize = shimSectorSize;
  methods.xDeviceCharacteristics = shimDeviceCharacteristics;
  return methods;
}();

int shimOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  auto* shim = reinterpret_cast<ShimFile*>(file);
  shim->base.pMethods = nullptr;
  shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
  if (faults.readOnly && (flags & SQLITE_OPEN_MAIN_DB))
    flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
  const int rc = faults.real->xOpen(faults.real, name, shim->real, flags, outFlags);
  if (shim->real->pMethods) shim->base.pMethods = &kShimMethods;
  return rc;
}

int shimDelete(sqlite3_vfs*, const char* name, int syncDir) { return faults.real->xDelete(faults.real, name, syncDir); }
int shimAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
  return faults.real->xAccess(faults.real, name, flags, out);
}
int shimFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return faults.real->xFullPathname(faults.real, name, size, out);
}
int shimRandomness(sqlite3_vfs*, int size, char* out) { return faults.real->xRandomness(faults.real, size, out); }
int shimSleep(sqlite3_vfs*, int microseconds) { return faults.real->xSleep(faults.real, microseconds); }
int shimCurrentTime(sqlite3_vfs*, double* out) { return faults.real->xCurrentTime(faults.real, out); }
int shimGetLastError(sqlite3_vfs*, int size, char* out) { return faults.real->xGetLastError(faults.real, size, out); }

sqlite3_vfs shimVfs;

}  // namespace

FaultyVfs::FaultyVfs() {
  faults = Faults{};
  faults.real = sqlite3_vfs_find(nullptr);
  EXPECT_NE(faults.real, nullptr);
  std::memset(&shimVfs, 0, sizeof shimVfs);
  shimVfs.iVersion = 1;
  shimVfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + faults.real->szOsFile;
  shimVfs.mxPathname = faults.real->mxPathname;
  shimVfs.zName = "kelvara-faulty";
  shimVfs.xOpen = shimOpen;
  shimVfs.xDelete = shimDelete;
  shimVfs.xAccess = shimAccess;
  shimVfs.xFullPathname = shimFullPathname;
  shimVfs.xRandomness = shimRandomness;
  shimVfs.xSleep = shimSleep;
  shimVfs.xCurrentTime = shimCurrentTime;
  shimVfs.xGetLastError = shimGetLastError;
  EXPECT_EQ(sqlite3_vfs_register(&shimVfs, 1), SQLITE_OK);
}

FaultyVfs::~FaultyVfs() {
  sqlite3_vfs_unregister(&shimVfs);
  sqlite3_vfs_register(faults.real, 1);
  faults = Faults{};
}

void FaultyVfs::openReadOnly(bool readOnly) { faults.readOnly = readOnly; }
void FaultyVfs::limitGrowth(std::optional<int64_t> bytes) { faults.growthLeft = bytes; }
int FaultyVfs::refusedWrites() const { return faults.refused; }

}  // namespace testdb
