// The copies of the database made each time the program ends: one of this run, and two weekly
// ones that age by a week each.
#pragma once

#include <string>

// database + ".bak.klvdb7" is refreshed every time, unless the database has not changed since it
// was made (it would get the same bytes). database + ".w1bak.klvdb7" is refreshed when it is a
// week old or more (or missing), its former content moving to ".w2bak.klvdb7" first; its
// modification time is then the time of the copy, so that its age counts from now. A weekly copy
// that cannot move on to w2 is not overwritten. Only a whole database (its header, and the engine
// opening it) is copied: a database that went away, or that another program emptied or cut
// short, replaces no copy and moves no weekly one on; nor does a weekly copy that is no whole
// database move on to w2 (the new weekly copy replaces it). A copy that fails
// leaves the file it would have replaced as it was; each failure is traced, and the user is told
// once in a box that the backup could not be made (and why, when the database is the reason).
// The database itself is never touched.
void MakeDatabaseBackups(const std::wstring& databasePath);
