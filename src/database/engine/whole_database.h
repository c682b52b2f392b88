// Whether a file holds a whole database, for whoever copies one (the backups): a copy is worth
// keeping only when the engine could open it in place of the original.
#pragma once

#include <string>
#include <string_view>

namespace sqliteplus {

// The engine's header is as long as this.
inline constexpr size_t kDatabaseHeaderSize = 100;

// A file whose first bytes are `header` and whose size is `fileSize` starts with the engine's
// header and holds whole pages of the size that header names. The engine itself takes an empty
// file for an empty database, and counts a page cut short as a page.
bool hasWholePages(std::string_view header, long long fileSize);

// The file has whole pages, and the engine opens it read-only and reads its schema (which it
// refuses when the file holds fewer pages than its header counts). False for a missing, empty,
// cut-short, damaged or foreign file. Nothing is written, and no file is made beside it, even for
// a file whose header asks for a write-ahead log.
bool isWholeDatabase(const std::wstring& path);

}  // namespace sqliteplus
