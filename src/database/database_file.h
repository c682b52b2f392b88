// Opening the database file and bringing it to the schema this program writes (version 7,
// subversion 2).
#pragma once

#include <string>

#include "database/engine/sqlite_connection.h"

namespace pdb3 {

// Opens `path` on the connection and checks its version. False, without a message, when the file
// does not exist, cannot be opened, cannot be read or its upgrade could not be made (the caller
// then says why, with the cause the engine noted, and asks for another file); false after a
// message for a file that is no database of this program, is of another version, or needs the
// upgrade but cannot be written.
bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path);

// Refuses (with a message box) a file without a version table and any version but 7 (without one a
// file it could not read: the engine's noted failure says why), and upgrades subversions below 2
// by creating the memory_rate table; a read-only file that needs the upgrade is refused with a
// message. An upgrade that leaves no memory_rate table (its creation or its COMMIT failed) is
// rolled back and refused without one: the engine's noted failure says why. A failed change of
// the subversion alone is traced only: the table is there, and the next open repeats the step.
bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection);

}  // namespace pdb3
