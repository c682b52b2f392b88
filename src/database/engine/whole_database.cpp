#include "database/engine/whole_database.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "database/engine/text_conversion.h"

namespace sqliteplus {
namespace {

constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: the file's first 16 bytes

// The page size the header names (offset 16, big-endian, 1 for 65536); 0 when it names none.
long long pageSizeOf(std::string_view header) {
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(header[at]); };
  const long long size = byte(16) << 8 | byte(17);
  if (size == 1) return 65536;
  return size >= 512 && (size & (size - 1)) == 0 ? size : 0;
}

// The name as a URI, so that the file can be opened as one nobody changes: the engine then makes
// no log or shared-memory file beside it, whatever its header asks for.
std::string immutableUri(const std::string& path) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char kDigits[] = "0123456789ABCDEF";
      const auto code = static_cast<unsigned char>(c);
      uri += {'%', kDigits[code >> 4], kDigits[code & 15]};
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

bool hasWholePages(std::string_view header, long long fileSize) {
  if (header.size() < kDatabaseHeaderSize || std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) return false;
  const long long pageSize = pageSizeOf(header);
  return pageSize > 0 && fileSize > 0 && fileSize % pageSize == 0;
}

bool isWholeDatabase(const std::wstring& path) {
  const std::string name = WStringToUtf8(path);
  if (name.empty()) return false;
  std::string header(kDatabaseHeaderSize, '\0');
  std::ifstream in(name, std::ios::binary);
  header.resize(in.read(header.data(), static_cast<std::streamsize>(header.size())) ? header.size() : 0);
  std::error_code error;
  const auto size = std::filesystem::file_size(name, error);
  return !error && hasWholePages(header, static_cast<long long>(size)) && quickCheckDatabase(name) == SQLITE_OK;
}

int quickCheckDatabase(const std::string& path) {
  sqlite3* made = nullptr;
  int rc = sqlite3_open_v2(immutableUri(path).c_str(), &made, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(made, sqlite3_close_v2);
  sqlite3_stmt* prepared = nullptr;
  // Preparing reads the schema, which the engine refuses when its text is damaged.
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(made, "PRAGMA quick_check(1)", -1, &prepared, nullptr);
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> check(prepared, sqlite3_finalize);
  if (rc != SQLITE_OK) return rc;
  rc = sqlite3_step(prepared);
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_CORRUPT : sqlite3_extended_errcode(made);
  const auto* found = reinterpret_cast<const char*>(sqlite3_column_text(prepared, 0));
  return found && std::strcmp(found, "ok") == 0 ? SQLITE_OK : SQLITE_CORRUPT;
}

}  // namespace sqliteplus
