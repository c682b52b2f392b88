#include "database/engine/unchanging_open.h"

namespace sqliteplus {
namespace {

// The name as a URI, so that the file can be opened as one nobody changes.
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

EngineHandle openUnchanging(const std::string& path, int& resultCode) {
  sqlite3* made = nullptr;
  resultCode = sqlite3_open_v2(immutableUri(path).c_str(), &made, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  return EngineHandle(made);
}

PreparedStatement prepare(sqlite3* db, const std::string& sql, int& resultCode) {
  sqlite3_stmt* prepared = nullptr;
  resultCode = sqlite3_prepare_v2(db, sql.c_str(), -1, &prepared, nullptr);
  return PreparedStatement(prepared);
}

std::string quotedName(const std::string& name) {
  std::string quoted = "\"";
  for (const char c : name) {
    quoted += c;
    if (c == '"') quoted += c;
  }
  return quoted + "\"";
}

}  // namespace sqliteplus
