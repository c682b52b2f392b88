// Opening the database file and bringing it to the schema this program writes (version 7,
// subversion 2).
#pragma once

#include <string>

#include "database/engine/sqlite_connection.h"

namespace pdb3 {

// What an open leaves of the memory_rate table that smart learning needs.
enum class MemoryRateTable {
  present,
  nameTaken,  // something else in the file (an index, a view) has its name: the upgrade cannot add it
  notMade,    // the engine refused the table for another cause the file holds (its schema, damaged pages)
};

// Opens `path` on the connection and checks its version. False, without a message, when the file
// does not exist (noted as gone, engine_failure.h), cannot be opened, cannot be read or its
// upgrade could not be made for now (the caller then says why, with the cause the engine noted,
// and asks for another file); false after a message for a file that is no database of this
// program, is of another version, or needs the upgrade but cannot be written. `memoryRates` (when
// given) hears whether the file has the table.
bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path,
                      MemoryRateTable* memoryRates = nullptr);

// Refuses (with a message box) a file without a version table and any version but 7 (without one a
// file it could not read: the engine's noted failure says why), and upgrades subversions below 2
// by creating the memory_rate table; a read-only file that needs the upgrade is refused with a
// message. An upgrade that leaves no memory_rate table (its creation or its COMMIT failed) is
// rolled back. Only a cause the file itself holds (another kind of object has the name, a schema
// or pages the engine refuses) opens the file without the table, told through `memoryRates`:
// refusing it would refuse the file for good. Every other failure may pass (another program holds
// the file, the disk is full, the file cannot be written, an I/O error, no memory, a lock the
// system would not give): the open is refused without a message, the engine's noted failure says
// why, and the next open tries again. A failed change of the subversion alone is traced only: the
// table is there, and the next open repeats the step.
bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection, MemoryRateTable* memoryRates = nullptr);

}  // namespace pdb3
