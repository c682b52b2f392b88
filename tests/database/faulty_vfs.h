// A file-system shim of the database engine, the default for every connection opened while it
// lives, that fails the way a real system does: main database files that open read-only, a disk
// that fills up, a disk that fails every read, or the passing faults of a system under strain (an
// I/O error, no memory, a lock refused). Files grow only within a byte budget: a write past a
// file's end beyond it fails with SQLITE_FULL, while writes inside a file (a rollback playing back
// its journal) still succeed. Another program can be made to act between two reads of a database
// file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace testdb {

class FaultyVfs {
 public:
  FaultyVfs();
  ~FaultyVfs();
  FaultyVfs(const FaultyVfs&) = delete;
  FaultyVfs& operator=(const FaultyVfs&) = delete;

  // Main database files opened from now on are read-only, as a file without write permission is.
  void openReadOnly(bool readOnly);
  // From now on files may grow by this many bytes in all; no limit when empty.
  void limitGrowth(std::optional<int64_t> bytes);
  // A disk with this many bytes free from now on: files grow into it, and a file truncated or
  // deleted (a journal after its transaction) gives its bytes back. No limit when empty.
  void limitDisk(std::optional<int64_t> bytes);
  // From now on every write fails with this result code (a failing disk: SQLITE_IOERR_WRITE).
  // Nothing fails when empty; the same for the two below.
  void failWrites(std::optional<int> resultCode);
  // Journals opened from now on fail with this result code (no memory for their handle: SQLITE_NOMEM).
  void failJournalOpens(std::optional<int> resultCode);
  // The locks a writer takes (reserved and above) fail with this result code (SQLITE_PROTOCOL).
  void failWriteLocks(std::optional<int> resultCode);
  // From now on `afterRead` runs after every read of a main database file, with the file's name as
  // it was opened (another program that writes whenever it can, say); nothing runs when empty. The
  // reads of what it runs do not call it again.
  void onDatabaseRead(std::function<void(const std::string& file)> afterRead);
  // From now on every read of a file fails with this result code (a failing disk: SQLITE_IOERR_READ).
  void failReads(std::optional<int> resultCode);
};

}  // namespace testdb
