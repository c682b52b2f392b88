#include "database/database_file.h"

#include <filesystem>
#include <optional>

#include "database/engine/sql_helpers.h"
#include "database/engine/text_conversion.h"
#include "database/engine/write_transaction.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"

namespace pdb3 {
namespace {

constexpr int kVersion = 7;
constexpr int kSubversion = 2;

const wchar_t kCreateMemoryRate[] =
    L" CREATE TABLE memory_rate (   qid INTEGER NOT NULL REFERENCES question(qid),"
    L"   uid INTEGER NOT NULL REFERENCES user_info(uid),   rate INTEGER NOT NULL,   level INTEGER NOT NULL,"
    L"   l1_time INTEGER NOT NULL,   l2_time INTEGER NOT NULL,   l3_time INTEGER NOT NULL,"
    L"   l4_time INTEGER NOT NULL,   l5_time INTEGER NOT NULL,   l6_time INTEGER NOT NULL,"
    L"   l7_time INTEGER NOT NULL,   l8_time INTEGER NOT NULL,   l9_time INTEGER NOT NULL,"
    L"   l10_time INTEGER NOT NULL,   PRIMARY KEY( qid, uid ) )";

// Nothing when the file could not be read.
std::optional<bool> tableExists(const DbObject& db, const wchar_t* name) {
  int count = 0;
  if (readFirstInt(db, platform::format(L"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='%ls'", name),
                   count) == FirstRow::failed)
    return std::nullopt;
  return count > 0;
}

bool memoryRateTableExists(const DbObject& db) { return tableExists(db, L"memory_rate").value_or(false); }

// A version field; -1 when the row or the value is missing.
FirstRow readVersionField(const DbObject& db, const wchar_t* column, int& value) {
  value = -1;
  return readFirstInt(db, platform::format(L"SELECT %ls FROM version", column), value);
}

// False when the file is left without the memory_rate table: a run on it would fail at every
// memory rate, long after the open. The file is then as it was, and the next open tries again.
bool upgradeToSubversion2(const DbObject& db) {
  return runInTransaction(db, [&db] {
    if (!execSql(db, kCreateMemoryRate)) {
      platform::trace("テーブルの追加に失敗しました\n");
      if (!memoryRateTableExists(db)) return false;
    }
    // Without the new subversion the table is still there: the next open only repeats this step.
    if (!execSqlf(db, L"UPDATE version SET subversion=%d", kSubversion))
      platform::trace("バージョンの変更に失敗しました\n");
    return true;
  });
}

}  // namespace

bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection) {
  const DbObject db = openQuery(connection);
  // A file that could not be read (another program holds it) is neither foreign nor of another
  // version: the caller says why with the cause the engine noted, so the user can wait instead of
  // choosing another file.
  const std::optional<bool> hasVersion = tableExists(db, L"version");
  if (!hasVersion) return false;
  // An empty file (the engine takes a zero-byte file for an empty database) or another program's
  // database: no version to be wrong about.
  if (!*hasVersion) {
    platform::messageBox(nullptr, L"Kelvara のデータベースではありません", L"", platform::MbOk);
    return false;
  }
  int version = -1, subversion = -1;
  if (readVersionField(db, L"version", version) == FirstRow::failed ||
      readVersionField(db, L"subversion", subversion) == FirstRow::failed)
    return false;
  if (version != kVersion) {
    platform::messageBox(nullptr, L"データベースのバージョンが異なります", L"", platform::MbOk);
    return false;
  }
  if (subversion < kSubversion) {
    // Without the upgrade smart learning would fail at every memory rate, long after the open.
    if (connection.isReadOnly()) {
      platform::messageBox(nullptr,
                           L"データベースファイルに書き込めないため、このバージョンのデータベースに更新できません。"
                           L"書き込みできるファイルを選んでください",
                           L"", platform::MbOk);
      return false;
    }
    // The engine noted why (another program reads the file, the disk is full): the caller says it.
    if (!upgradeToSubversion2(db)) return false;
  }
  return true;
}

bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(sqliteplus::WStringToAcp(path), error)) return false;
  if (!openConnection(connection, path.c_str())) return false;
  return CheckDatabaseVersion(connection);
}

}  // namespace pdb3
