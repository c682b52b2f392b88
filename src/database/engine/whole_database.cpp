#include "database/engine/whole_database.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>

#include "database/engine/text_conversion.h"

namespace sqliteplus {
namespace {

constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: the file's first 16 bytes

// The engine takes an empty file for an empty database: only the header tells it from one.
bool startsWithTheHeader(const std::string& path) {
  char head[sizeof kMagic] = {};
  std::ifstream in(path, std::ios::binary);
  return in.read(head, sizeof head) && std::memcmp(head, kMagic, sizeof kMagic) == 0;
}

// The engine refuses a file whose pages are fewer than its header counts, or whose schema is damaged.
bool engineReadsSchema(const std::string& path) {
  sqlite3* db = nullptr;
  const bool opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
  const bool read = opened && sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close_v2(db);
  return read;
}

}  // namespace

bool isWholeDatabase(const std::wstring& path) {
  const std::string name = WStringToUtf8(path);
  return !name.empty() && startsWithTheHeader(name) && engineReadsSchema(name);
}

}  // namespace sqliteplus
