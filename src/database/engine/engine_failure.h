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
  other,     // an I/O error, a refused statement
  notADatabase,  // the file at the path is no database the engine can read (another program's file)
  damaged,   // the engine found the file's pages or schema damaged ("malformed")
  gone,      // the database file is no longer at its path: moved away or deleted
  replaced,  // another file has been put at the database's path since it was opened
};

// Every engine failure thrown as a QueryException notes its result code here.
void noteEngineFailure(int resultCode);
// A read of what every database file of the program holds (its schema, the version table found in
// it) failed: a plain error then comes of a schema the engine cannot take as it stands (a schema
// format it does not read, a name in the schema's text damaged where it still parses), which is
// damage, as the check of a copy finds it. Any other cause is noted as it is.
void noteSchemaReadFailure(int resultCode);
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
// Whether the failure last noted on this thread may be gone the next time, by the one table of
// causes in engine_failure.cpp: another program lets go, disk space is freed, an I/O error or a
// shortage of memory passes, a journal or log left for a connection that may write the file is
// played back. Whatever lasts as long as the file at the path stays as it is does not: a file that
// cannot be written or read, is gone, was replaced or is no database, a damaged file (also as the
// file system or a checksum finds it), a change the file's own rules refuse (a constraint, a
// trigger's words). Nothing noted: false.
// Whoever decides whether to try again (a box that offers it, a read tried again by itself) asks here.
bool lastFailureMayPass();
EngineFailure engineFailureOf(int resultCode);

// All that this thread has noted, to be put back whole after work that forgot it (an action set
// aside, busy_wait.h; a cause said in a later action).
struct NotedFailure {
  EngineFailure kind = EngineFailure::none;
  bool lasting = false;  // its cause lasts as long as the file stays as it is (lastFailureMayPass)
  std::wstring refusal;  // engine_refusal.h
};
NotedFailure notedFailure();
// Replaces what the thread has noted with `failure`.
void restoreNotedFailure(const NotedFailure& failure);
// Notes, beside what this thread has noted, a failure noted on another thread (a worker's), with
// whether it lasts.
void noteHandedOverFailure(const NotedFailure& failure);

}  // namespace sqliteplus
