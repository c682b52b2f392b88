#include "database/database_file.h"

#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/text_conversion.h"
#include "database/engine/write_transaction.h"
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

// The look-ups the program makes by these keys, as a new file has them (resources/schema.sql). A
// file made by another tool may have the same tables without them, and a look-up there reads a
// whole table for every row it looks up (smart learning's selection, for minutes on a large file).
struct LookupIndex {
  const wchar_t* name;
  const wchar_t* create;
};
const LookupIndex kLookupIndexes[] = {
    {L"question_log_qid_uid", L"CREATE INDEX question_log_qid_uid ON question_log (qid, uid, LastStudyTime)"},
    {L"section_sid", L"CREATE INDEX section_sid ON section (sid)"},
    {L"looped_questions_lid", L"CREATE INDEX looped_questions_lid ON looped_questions (lid)"},
    {L"log_id_uid_eid_mid", L"CREATE INDEX log_id_uid_eid_mid ON log_id (uid, eid, mid)"},
    {L"folder_fid", L"CREATE INDEX folder_fid ON folder (fid)"},
    {L"daily_question_log_did", L"CREATE INDEX daily_question_log_did ON daily_question_log (did)"},
    {L"daily_log_lid", L"CREATE INDEX daily_log_lid ON daily_log (lid)"},
};

// Nothing when the file could not be read. Names are compared as the engine compares them, without
// regard to the case of ASCII letters: a table MEMORY_RATE is the table memory_rate.
std::optional<bool> tableExists(const DbObject& db, const wchar_t* name) {
  int count = 0;
  if (readFirstInt(db,
                   platform::format(
                       L"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='%ls' COLLATE NOCASE", name),
                   count) == FirstRow::failed)
    return std::nullopt;
  return count > 0;
}

// A version field; -1 when the row or the value is missing.
FirstRow readVersionField(const DbObject& db, const wchar_t* column, int& value) {
  value = -1;
  return readFirstInt(db, platform::format(L"SELECT %ls FROM version", column), value);
}

// Whether something other than a table (an index, a view, a trigger made by another program)
// holds the table's name; false when the name is free or the file could not be read.
bool memoryRateNameTaken(const DbObject& db) {
  int count = 0;
  const FirstRow read = readFirstInt(
      db, L"SELECT count(*) FROM sqlite_master WHERE name='memory_rate' COLLATE NOCASE AND type<>'table'", count);
  return read == FirstRow::found && count > 0;
}

// The engine refused the statement for what the file holds (its schema, its name taken, damaged
// pages): every later open would be refused alike. Any other failure (a busy or full or read-only
// file, an I/O error, no memory, a lock the system would not give) may be gone the next time.
bool refusedByTheFile(int resultCode) {
  const int primary = resultCode & 0xff;
  return primary == SQLITE_ERROR || primary == SQLITE_CORRUPT;
}

// The engine's result code of the statement that just failed on the accessor's connection.
int lastResultCode(const DbObject& db) {
  sqlite3* handle = db.query().connection().engineHandle();
  return handle ? sqlite3_extended_errcode(handle) : SQLITE_MISUSE;
}

// The open's reads name only what the file was found to hold: one that failed is noted as a read
// of the schema (engine_failure.h), so that a schema damaged where it still parses is said as damage.
bool schemaUnread(const DbObject& db) {
  sqliteplus::noteSchemaReadFailure(lastResultCode(db));
  return false;
}

// Without the memory_rate table a run would fail at every memory rate, long after the open. Only a
// cause the file itself holds opens the file without the table, as the result: refusing it would
// refuse the file for good. Any other failure leaves the file as it was and refuses the open
// (nullopt), its cause noted for the caller: the next open tries again.
std::optional<MemoryRateTable> upgradeToSubversion2(const DbObject& db) {
  // Only the upgrade's own failures decide: the caller says them when the open is refused.
  sqliteplus::forgetEngineFailure();
  bool refusedByFile = false;
  const bool made = runInTransaction(db, [&db, &refusedByFile] {
    if (!execSql(db, kCreateMemoryRate)) {
      platform::trace("テーブルの追加に失敗しました\n");
      const int created = lastResultCode(db);
      const std::optional<bool> exists = tableExists(db, L"memory_rate");
      if (!exists) return false;
      if (!*exists) {
        refusedByFile = refusedByTheFile(created);
        return false;
      }
    }
    // Without the new subversion the table is still there: the next open only repeats this step.
    if (!execSqlf(db, L"UPDATE version SET subversion=%d", kSubversion))
      platform::trace("バージョンの変更に失敗しました\n");
    return true;
  });
  if (made) return MemoryRateTable::present;
  if (!refusedByFile) return std::nullopt;
  const MemoryRateTable missing = memoryRateNameTaken(db) ? MemoryRateTable::nameTaken : MemoryRateTable::notMade;
  sqliteplus::forgetEngineFailure();  // the open goes on: nothing of it is left to say through the engine's cause
  return missing;
}

// Gives a writable file the look-up indexes it lacks, in one transaction. Whatever keeps them from
// being made is traced and leaves the open as it was: the file is only slower, and the next open
// tries again. What the file holds (a name another object has, a table without the column) keeps
// out only the index it concerns; any other cause (another program's lock, a full disk) would
// refuse the rest alike, so they are left at once. The open (the splash, a reload) does not wait
// for another program for an index.
void addMissingIndexes(const DbObject& db) {
  std::vector<const LookupIndex*> missing;
  for (const LookupIndex& index : kLookupIndexes) {
    int count = 0;
    if (readFirstInt(db,
                     platform::format(L"SELECT count(*) FROM sqlite_master WHERE name='%ls' COLLATE NOCASE", index.name),
                     count) == FirstRow::failed)
      return;
    if (count == 0) missing.push_back(&index);
  }
  if (missing.empty()) return;
  const sqliteplus::NotedFailure before = sqliteplus::notedFailure();
  const sqliteplus::GiveUpOnBusyFile noWait;
  runInTransaction(db, [&] {
    for (const LookupIndex* index : missing) {
      if (execSql(db, index->create)) continue;
      platform::traceError(L"cannot add the index %ls\n", index->name);
      if (!refusedByTheFile(lastResultCode(db))) return false;
    }
    return true;
  });
  sqliteplus::restoreNotedFailure(before);
}

}  // namespace

bool CheckDatabaseVersion(sqliteplus::SqliteConnection& connection, FileFindings* findings) {
  FileFindings ignored;
  FileFindings& found = findings ? *findings : ignored;
  found = FileFindings();
  const DbObject db = openQuery(connection);
  // A file that could not be read (another program holds it) is neither foreign nor of another
  // version: the caller says why with the cause the engine noted, so the user can wait instead of
  // choosing another file.
  const std::optional<bool> hasVersion = tableExists(db, L"version");
  if (!hasVersion) return schemaUnread(db);
  // An empty file (the engine takes a zero-byte file for an empty database) or another program's
  // database: no version to be wrong about.
  if (!*hasVersion) {
    found.refusal = FileRefusal::notOurs;
    return false;
  }
  int version = -1, subversion = -1;
  if (readVersionField(db, L"version", version) == FirstRow::failed ||
      readVersionField(db, L"subversion", subversion) == FirstRow::failed)
    return schemaUnread(db);
  if (version != kVersion) {
    found.refusal = FileRefusal::otherVersion;
    return false;
  }
  if (subversion < kSubversion) {
    // Without the upgrade smart learning would fail at every memory rate, long after the open.
    if (connection.isReadOnly()) {
      found.refusal = FileRefusal::cannotUpgrade;
      return false;
    }
    // The engine noted why (another program reads the file, the disk is full): the caller says it.
    const std::optional<MemoryRateTable> upgraded = upgradeToSubversion2(db);
    if (!upgraded) return false;
    found.memoryRates = *upgraded;
    addMissingIndexes(db);
    return true;
  }
  // Another program may have dropped the table from a file this program upgraded long ago.
  const std::optional<bool> hasMemoryRates = tableExists(db, L"memory_rate");
  if (!hasMemoryRates) return schemaUnread(db);
  if (!*hasMemoryRates)
    found.memoryRates = memoryRateNameTaken(db) ? MemoryRateTable::nameTaken : MemoryRateTable::missing;
  if (!connection.isReadOnly()) addMissingIndexes(db);
  return true;
}

bool openDatabaseFile(sqliteplus::SqliteConnection& connection, const std::wstring& path, FileFindings* findings) {
  if (findings) *findings = FileFindings();
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(sqliteplus::WStringToAcp(path), error);
  if (status.type() == std::filesystem::file_type::not_found) sqliteplus::noteMissingDatabase(path);
  // A folder on the way that may not be searched hides the file: the learner is told it is the permissions.
  if (error == std::errc::permission_denied) sqliteplus::noteEngineFailure(sqliteplus::EngineFailure::unreadable);
  if (status.type() != std::filesystem::file_type::regular) return false;
  if (!openConnection(connection, path.c_str())) return false;
  return CheckDatabaseVersion(connection, findings);
}

}  // namespace pdb3
