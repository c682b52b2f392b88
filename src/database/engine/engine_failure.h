// Why the database engine last refused something on this thread. Most readers and writers turn a
// failure into false or -1 and trace the engine's text; the action that then gives up still has
// to tell the learner why (the services put it in words: wait for another program, free some disk
// space, or make the file writable).
#pragma once

#include <string>

struct sqlite3;

namespace sqliteplus {

enum class EngineFailure {
  none,
  busy,      // another program (or connection) holds the file
  readOnly,  // the file or its folder cannot be written
  unreadable,  // the file's permissions (or its folder's) keep this user from reading it
  full,      // the disk is full
  other,     // an I/O error, a damaged file, a refused statement
  notADatabase,  // the file at the path is no database the engine can read (another program's file)
  gone,      // the database file is no longer at its path: moved away or deleted
  replaced,  // another file has been put at the database's path since it was opened
};

// Every engine failure thrown as a QueryException notes its result code here.
void noteEngineFailure(int resultCode);
// Notes a failure the engine's result code cannot tell (a refusal the system named), or one handed
// over from another thread.
void noteEngineFailure(EngineFailure failure);
// The most serious kind noted on this thread since it was last forgotten.
EngineFailure lastEngineFailure();
void forgetEngineFailure();
// A statement failed on `db`: keeps what the kind of the failure about to be noted does not tell
// (a trigger's words, a file moved away, deleted or replaced while it was open, which the engine
// refuses to write as if it were read-only).
void noteStatementFailure(sqlite3* db);
// The database file at `path` is not there (an open found nothing, or the open file was moved or
// deleted): notes `gone`.
void noteMissingDatabase(const std::wstring& path);
// Another file stands at `path` than the one the program has open there: notes `replaced`.
void noteReplacedDatabase(const std::wstring& path);
// Whether the file `db` has open is no longer the one at its path (moved away, deleted, or another
// put in its place): then noted as gone or replaced, and true. Nothing is read or written.
bool noteIfDatabaseAway(sqlite3* db);
// The path last noted missing or replaced, on any thread (a worker's failure is said on the GUI thread).
std::wstring lastMissingDatabase();
// Whether a failure of this kind may be gone the next time (another program lets go, disk space is
// freed, an I/O error passes), rather than lasting as long as the file at the path stays as it is.
bool failureMayPass(EngineFailure failure);
// Puts back the kind noted before (an action taken up again, busy_wait.h).
void restoreEngineFailure(EngineFailure failure);
EngineFailure engineFailureOf(int resultCode);

}  // namespace sqliteplus
