// Opening the database file and bringing it to the schema this program writes (version 7,
// subversion 2).
#pragma once

#include <string>

#include "database/sqlite_connection.h"

namespace pdb3 {

// Opens `path` on the connection and checks its version. False, without a message, when the file
// does not exist or cannot be opened (the caller then asks for another file); false after the
// version message for a file of another version.
bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path);

// Refuses (with a message box) any version but 7, and upgrades subversions below 2 by creating
// the memory_rate table. The upgrade's failures are traced only: the result stays true.
bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection);

}  // namespace pdb3
