// Whether a file holds a whole database, for whoever copies one (the backups): a copy is worth
// keeping only when the engine could open it in place of the original.
#pragma once

#include <string>

namespace sqliteplus {

// The file starts with the engine's header, and the engine opens it read-only and reads its
// schema (which it refuses when the file holds fewer pages than its header counts). False for a
// missing, empty, cut-short, damaged or foreign file. Nothing is written, and no file is made.
bool isWholeDatabase(const std::wstring& path);

}  // namespace sqliteplus
