// Opening the database file and bringing it to the schema this program writes (version 7,
// subversion 2).
#pragma once

#include <string>

#include "database/engine/sqlite_connection.h"

namespace pdb3 {

// Opens `path` on the connection and checks its version. False, without a message, when the file
// does not exist, cannot be opened or cannot be read (the caller then says why and asks for another
// file); false after a
// message for a file that is no database of this program, is of another version, or needs the
// upgrade but cannot be written.
bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path);

// Refuses (with a message box) a file without a version table and any version but 7 (without one a
// file it could not read: the engine's noted failure says why), and upgrades subversions below 2 by creating the memory_rate table; a read-only file that needs
// the upgrade is refused with a message. Other failures of the upgrade are traced only: the
// result stays true.
bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection);

}  // namespace pdb3
