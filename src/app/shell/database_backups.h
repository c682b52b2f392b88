// The copies of the database made each time the program ends: one of this run, and two weekly
// ones that age by a week each.
#pragma once

namespace sqliteplus {
class SqliteConnection;
}

// Copies are made of the file `db` has open, through the engine (database/engine/database_copy.h):
// one consistent state of it, after waiting for another program's passing lock as every action
// waits, and nothing but the copy beside it. file + ".bak.klvdb7" is refreshed every time, unless
// the file has not changed since it was made (it would get the same bytes). file + ".w1bak.klvdb7"
// is refreshed when it is a week old or more (or missing), its former content moving to
// ".w2bak.klvdb7" first; its modification time is then the time of the copy, so that its age
// counts from now. A weekly copy that cannot move on to w2 is not overwritten. Only a whole
// database is copied: a file that went from its path, or that another program or the disk emptied,
// cut short or damaged (under the program's connection too: a copy replaces a backup only when it
// opens afresh, passes the engine's quick check, holds the tables and columns the program reads and
// has indexes that hold their tables' rows), replaces no copy and moves no weekly one on;
// nor does a weekly copy that is no whole database move on to w2 (the new weekly copy replaces it).
// A copy that fails leaves the file it would have replaced as it was; each failure is traced, and
// the learner is told once, through the failure rule's report of a change not made
// (services/database_failure.h), that the backup could not be made, with the cause of the first
// failure (a file another program holds past the wait: the copy is made at the next exit). The
// database itself is never written. Nothing is done while no file is open.
void MakeDatabaseBackups(sqliteplus::SqliteConnection& db);
