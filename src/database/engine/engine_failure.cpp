#include "database/engine/engine_failure.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <mutex>

#include "database/engine/engine_refusal.h"
#include "database/engine/text_conversion.h"

namespace sqliteplus {
namespace {

thread_local EngineFailure noted = EngineFailure::none;
// Whether the cause of the noted kind lasts as long as the file stays as it is: a kind noted with
// codes that pass and codes that last (an I/O error, a refused statement) lasts.
thread_local bool notedLasts = false;

std::mutex missingLock;
std::wstring missingDatabase;

// A file that is gone explains every failure after it; a busy file explains the failures that
// follow it (a read that was never made), so it outranks the rest; "other" is the weakest.
int rank(EngineFailure failure) {
  switch (failure) {
    case EngineFailure::none: return 0;
    case EngineFailure::other: return 1;
    case EngineFailure::notADatabase: return 2;
    case EngineFailure::damaged: return 2;
    case EngineFailure::readOnly: return 3;
    case EngineFailure::unreadable: return 4;  // a file that cannot be read cannot be written either
    case EngineFailure::full: return 5;
    case EngineFailure::busy: return 6;
    case EngineFailure::gone:
    case EngineFailure::replaced: return 7;
  }
  return 0;
}

void noteDatabaseAway(const std::wstring& path, EngineFailure how) {
  {
    const std::lock_guard<std::mutex> hold(missingLock);
    missingDatabase = path;
  }
  noted = how;
  notedLasts = true;  // as long as the path holds no file, or another one
}

// The engine refuses to write a file that is no longer the one at its path, having compared the
// path's file with the one it holds open: a file that is there now is another one.
bool anotherFileAt(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The engine found the file `db` has open gone from its path: what stands there now tells how.
void noteDatabaseAway(sqlite3* db) {
  if (const char* path = sqlite3_db_filename(db, "main"))
    noteDatabaseAway(AcpToWString(path), anotherFileAt(path) ? EngineFailure::replaced : EngineFailure::gone);
}

// What each result code of the engine means, and whether it may be gone the next time: the one
// place that decides both. A cause passes when it comes of the moment: another program lets go
// (busy, locked), disk space is freed, the system fails a read or a write or runs short of memory,
// a lock's protocol breaks, the statement is interrupted, another connection changed the schema
// under a statement, or a transaction was taken back under it, or a log or journal waits for a
// connection that may write the file. Every other cause comes back for as long as the file stays as
// it is: a file that cannot be written, no database, a damaged file (also as the file system or a
// page's checksum finds it), a constraint or a trigger that refused a change, a statement the file's
// schema refuses.
struct Verdict {
  EngineFailure kind;
  bool passes;
};

Verdict verdictOf(int resultCode) {
  // Codes whose primary kind does not tell their cause.
  switch (resultCode) {
    case SQLITE_IOERR_CORRUPTFS:  // the file system found its own records of the file damaged
    case SQLITE_IOERR_DATA:       // a page no longer holds its checksum
      return {EngineFailure::damaged, false};
    case SQLITE_READONLY_RECOVERY:  // the log waits for a connection that may write it to recover it
    case SQLITE_READONLY_CANTLOCK:  // the log's shared memory is held by a connection that may write it
    case SQLITE_READONLY_ROLLBACK:  // a journal left behind waits for a connection that may roll it back
      return {EngineFailure::readOnly, true};
    default:
      break;
  }
  switch (resultCode & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return {EngineFailure::none, false};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return {EngineFailure::busy, true};
    case SQLITE_FULL:
      return {EngineFailure::full, true};
    case SQLITE_IOERR:
    case SQLITE_NOMEM:
    case SQLITE_PROTOCOL:
    case SQLITE_INTERRUPT:
    case SQLITE_SCHEMA:
    case SQLITE_ABORT:
      return {EngineFailure::other, true};
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
      return {EngineFailure::readOnly, false};
    case SQLITE_NOTADB:
      return {EngineFailure::notADatabase, false};
    case SQLITE_CORRUPT:
      return {EngineFailure::damaged, false};
    default:
      return {EngineFailure::other, false};
  }
}

// Whether a failure of this kind lasts when no result code tells: a file unreadable for its
// permissions, gone or replaced lasts as long as the file stays as it is, and so does one that cannot
// be written; "other" noted without its code is taken to pass, as the codes of the moment do.
bool kindLasts(EngineFailure kind) {
  switch (kind) {
    case EngineFailure::busy:
      return !verdictOf(SQLITE_BUSY).passes;
    case EngineFailure::full:
      return !verdictOf(SQLITE_FULL).passes;
    case EngineFailure::none:
    case EngineFailure::other:
      return false;
    default:
      return true;
  }
}

void noteFailure(EngineFailure failure, bool lasts) {
  if (failure == EngineFailure::none) return;
  takeStatementRefusal();
  if (rank(failure) > rank(noted)) {
    noted = failure;
    notedLasts = lasts;
  } else if (failure == noted) {
    notedLasts = notedLasts || lasts;
  }
}

}  // namespace

EngineFailure engineFailureOf(int resultCode) { return verdictOf(resultCode).kind; }

void noteEngineFailure(int resultCode) {
  const Verdict verdict = verdictOf(resultCode);
  noteFailure(verdict.kind, !verdict.passes);
}

void noteSchemaReadFailure(int resultCode) {
  noteEngineFailure((resultCode & 0xff) == SQLITE_ERROR ? SQLITE_CORRUPT : resultCode);
}

void noteHandedOverFailure(const NotedFailure& failure) { noteFailure(failure.kind, failure.lasting); }

void noteEngineFailure(EngineFailure failure) { noteFailure(failure, kindLasts(failure)); }

void noteStatementFailure(sqlite3* db) {
  noteEngineRefusal(db);
  if (db && sqlite3_extended_errcode(db) == SQLITE_READONLY_DBMOVED) noteDatabaseAway(db);
}

void noteMissingDatabase(const std::wstring& path) { noteDatabaseAway(path, EngineFailure::gone); }

void noteReplacedDatabase(const std::wstring& path) { noteDatabaseAway(path, EngineFailure::replaced); }

bool noteIfDatabaseAway(sqlite3* db) {
  int moved = 0;
  if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || !moved) return false;
  noteDatabaseAway(db);
  return true;
}

bool lastFailureMayPass() { return noted != EngineFailure::none && !notedLasts; }

std::wstring lastMissingDatabase() {
  const std::lock_guard<std::mutex> hold(missingLock);
  return missingDatabase;
}

EngineFailure lastEngineFailure() { return noted; }

NotedFailure notedFailure() { return {noted, notedLasts, lastEngineRefusal()}; }

void restoreNotedFailure(const NotedFailure& failure) {
  forgetEngineFailure();
  noted = failure.kind;
  notedLasts = failure.lasting;
  restoreEngineRefusal(failure.refusal);
}

void forgetEngineFailure() {
  noted = EngineFailure::none;
  notedLasts = false;
  forgetEngineRefusal();
}

}  // namespace sqliteplus
