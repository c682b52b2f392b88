// A copy of the database a connection has open, made by the engine's online backup: the pages of
// one consistent state of the file, read under the connection's own lock, so that another program
// writing meanwhile can neither tear the copy nor be mixed into it.
#pragma once

#include <string>
#include <vector>

#include "database/engine/whole_database.h"

struct sqlite3;

namespace sqliteplus {

class SqliteConnection;

enum class CopyOutcome {
  made,      // the copy is whole, in its temporary file until replaceTarget()
  notWhole,  // the open file holds no whole database (emptied, cut short, damaged, foreign, without
             // what its reader needs)
  moved,     // the open file is no longer the one at its path: noted gone or replaced (engine_failure.h)
  failed,    // the file could not be read (busy past the wait, an I/O error): the cause is noted
  notWritten,  // the copy could not be written: writeError() tells why
};

// Removes the temporary copies that runs killed half-way left beside `target`: those named after a
// process that is gone, or after this one (an earlier run under the same number). A copy another
// running program is making stays.
void removeCopiesLeftBeside(const std::wstring& target);

// A copy of the database `source` has open, made into a temporary file beside `target` and put in
// its place only once it is known whole. The source is read in one read transaction, so that
// another program's lock is waited for as the connection waits for every one (busy_wait.h); the
// failure is noted as any engine failure is (engine_failure.h). Only a whole database is copied,
// from the file itself rather than what the connection kept of it: the copy is made only when it
// opens afresh and passes checkDatabase() (whole_database.h) with the tables its reader needs,
// which a file damaged under the connection (its schema's text, a table's pages, an index that no
// longer holds its table's rows, a schema the engine cannot take) does not. The copy is byte for byte the file
// (a file in write-ahead-log mode: its pages, with a header that asks for no log), and leaves no
// other file.
class DatabaseCopy {
 public:
  // Nothing is read or written until copy().
  DatabaseCopy(SqliteConnection& source, const std::wstring& target, std::vector<RequiredTable> required = {});
  // The temporary file goes unless it replaced the target.
  ~DatabaseCopy();
  DatabaseCopy(const DatabaseCopy&) = delete;
  DatabaseCopy& operator=(const DatabaseCopy&) = delete;

  // Makes the copy; the target is not touched.
  CopyOutcome copy();
  // The errno of a copy not written (ENOSPC for a disk the engine found full).
  int writeError() const { return writeError_; }
  // Renames the copy that was made over the target, in one step, and syncs the folder, so that the
  // rename outlasts a crash. False, with errno telling why, when there is no copy or the rename
  // fails (the target is then as it was), or when the folder could not be synced (the target then
  // holds the copy, which a crash may still take back).
  bool replaceTarget();

 private:
  CopyOutcome copyFrom(sqlite3* source);
  CopyOutcome copyPages(sqlite3* source, const std::string& sourceHeader);
  CopyOutcome checked();
  CopyOutcome notWritten(sqlite3* copy, int resultCode);

  SqliteConnection& source_;
  std::string target_;
  std::string temporary_;
  std::vector<RequiredTable> required_;
  CopyOutcome outcome_ = CopyOutcome::failed;
  int writeError_ = 0;
};

}  // namespace sqliteplus
