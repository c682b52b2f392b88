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
  missing,    // a file of this version without it (dropped by another program): nothing adds it back
};

// A file the engine read, refused for what it holds.
enum class FileRefusal {
  none,
  notOurs,          // no version table: an empty file or another program's database
  otherVersion,     // a version other than this program's
  cannotUpgrade,    // an older subversion in a file that cannot be written
};

// What an open found in the file besides whether it opened.
struct FileFindings {
  MemoryRateTable memoryRates = MemoryRateTable::present;  // of a file that opened
  FileRefusal refusal = FileRefusal::none;                  // of one that did not because of what it holds
};

// Opens `path` on the connection and checks its version; says nothing. False when the file does
// not exist (noted as gone, engine_failure.h), cannot be opened, cannot be read or its upgrade
// could not be made for now (the cause the engine noted says why), or when it is refused for
// what it holds (`findings`, when given, hears which). `findings` also hears whether a file that
// opened has the memory_rate table.
bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path,
                      FileFindings* findings = nullptr);

// Refuses a file without a version table, any version but 7 and an older subversion in a file
// that cannot be written (without one a file it could not read: the engine's noted failure says
// why), upgrades subversions below 2 by creating the memory_rate table, and looks for the table
// in every file (by the engine's rule for names, whatever their case). An upgrade that leaves no
// memory_rate table (its creation or its COMMIT failed) is rolled back. Only a cause the file
// itself holds (another kind of object has the name, a schema or pages the engine refuses, a
// current file without it) opens the file without the table, told through `findings`: refusing
// it would refuse the file for good. Every other failure may pass (another program holds the
// file, the disk is full, the file cannot be written, an I/O error, no memory, a lock the system
// would not give): the open is refused, the engine's noted failure says why, and the next open
// tries again. A failed change of the subversion alone is traced only: the table is there, and
// the next open repeats the step. A file that may be written gets the look-up indexes it lacks
// (one made by another tool); one that cannot be given them opens as it is.
bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection, FileFindings* findings = nullptr);

}  // namespace pdb3
