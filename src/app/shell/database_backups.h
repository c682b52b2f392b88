// The copies of the database made each time the program ends: one of this run, and two weekly
// ones that age by a week each.
#pragma once

#include <string>

// database + ".bak.klvdb7" is refreshed every time. database + ".w1bak.klvdb7" is refreshed when
// it is a week old or more (or missing), its former content moving to ".w2bak.klvdb7" first; its
// modification time is then the time of the copy, so that its age counts from now. A weekly copy
// that cannot move on to w2 is not overwritten. Failures are traced only: the database itself is
// never touched.
void MakeDatabaseBackups(const std::wstring& databasePath);
