#include "database/engine/whole_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "database/engine/check_passes.h"
#include "database/engine/index_contents.h"
#include "database/engine/text_conversion.h"
#include "database/engine/unchanging_open.h"

namespace sqliteplus {
namespace {

constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: the file's first 16 bytes
constexpr char kQuickCheck[] = "PRAGMA quick_check(1)";

// The page size the header names (offset 16, big-endian, 1 for 65536); 0 when it names none.
long long pageSizeOf(std::string_view header) {
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(header[at]); };
  const long long size = byte(16) << 8 | byte(17);
  if (size == 1) return 65536;
  return size >= 512 && (size & (size - 1)) == 0 ? size : 0;
}

// The columns of `table` in the file `db` has open, lower-cased; `present` hears whether it is a table.
int columnsOf(sqlite3* db, const std::string& table, std::vector<std::string>& columns, bool& present) {
  int rc = SQLITE_OK;
  const PreparedStatement tables =
      prepare(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", rc);
  if (rc != SQLITE_OK) return rc;
  sqlite3_bind_text(tables.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(tables.get()) != SQLITE_ROW) return sqlite3_extended_errcode(db);
  present = sqlite3_column_int(tables.get(), 0) > 0;
  const PreparedStatement info = prepare(db, "SELECT name FROM pragma_table_info(?1)", rc);
  if (rc != SQLITE_OK) return rc;
  sqlite3_bind_text(info.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  while ((rc = sqlite3_step(info.get())) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0));
    columns.emplace_back(name ? name : "");
  }
  return rc == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(db);
}

// A schema whose text was damaged where it still parses (a letter of a name changed) passes every
// check of the engine's: only the names the reader looks for tell.
int holdsRequired(sqlite3* db, const std::vector<RequiredTable>& required) {
  for (const RequiredTable& table : required) {
    std::vector<std::string> columns;
    bool present = false;
    if (const int rc = columnsOf(db, table.name, columns, present); rc != SQLITE_OK) return rc;
    if (!present && table.whenPresent) continue;
    if (!present) return SQLITE_CORRUPT;
    for (const std::string& wanted : table.columns) {
      if (std::none_of(columns.begin(), columns.end(), [&](const std::string& column) {
            return sqlite3_stricmp(column.c_str(), wanted.c_str()) == 0;
          }))
        return SQLITE_CORRUPT;
    }
  }
  return SQLITE_OK;
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
  std::vector<CheckPass> passes{CheckPass::engine(kQuickCheck)};
  runPasses(path, passes);
  return passes.front().resultCode;
}

int checkDatabase(const std::string& path, const std::vector<RequiredTable>& required) {
  int rc = SQLITE_OK;
  const EngineHandle db = openUnchanging(path, rc);
  // Preparing reads the schema, which the engine refuses when its text is damaged. Damage may also
  // ask it for more memory than there is (a text said to be gigabytes long): the program's own
  // connection holds that schema read already, so a schema that cannot be had is the copy's.
  if (rc == SQLITE_OK) {
    prepare(db.get(), "SELECT count(*) FROM sqlite_master", rc);
    if ((rc & 0xff) == SQLITE_NOMEM) rc = SQLITE_CORRUPT;
  }
  if (rc == SQLITE_OK) rc = holdsRequired(db.get(), required);
  std::vector<CheckPass> passes;
  IndexComparison indexes;
  if (rc == SQLITE_OK) rc = indexes.plan(db.get(), passes);
  // The readings only once the quick check has passed: they trust the pages to form trees, which a
  // file whose pages are shared does not, and would read it for days where the check refuses it
  // at once.
  if (rc == SQLITE_OK) rc = quickCheckDatabase(path);
  if (rc != SQLITE_OK) return rc;
  runPasses(path, passes);
  for (const CheckPass& pass : passes)
    if (pass.resultCode != SQLITE_OK) return pass.resultCode;
  return indexes.holds(passes) ? SQLITE_OK : SQLITE_CORRUPT;
}

}  // namespace sqliteplus
