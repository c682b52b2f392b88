#include "app/shell/user_records.h"

#include "database/engine/sql_helpers.h"
#include "database/logs/users.h"
#include "database/engine/write_transaction.h"
#include "platform/trace.h"

std::optional<std::vector<std::wstring>> userNames(const pdb3::DbObject& accessor) {
  std::vector<std::wstring> names;
  if (!pdb3::forEachRow(accessor, L"SELECT name FROM user_info ORDER BY rowid",
                        [&](const sqliteplus::SqliteCursor& row) { names.push_back(row.getString(0)); }))
    return std::nullopt;
  return names;
}

bool deleteUser(const pdb3::DbObject& accessor, int uid, pdb3::MemoryRateTable memoryRates) {
  // The user's study logs as a sub-select, so the list is read inside the transaction.
  const std::wstring lids = platform::format(L"SELECT lid FROM log_id WHERE uid=%d", uid);
  std::vector<std::wstring> statements = {
      L"DELETE FROM daily_question_log WHERE did in (SELECT did FROM daily_log WHERE lid in (" + lids + L"))",
      L"DELETE FROM daily_log WHERE lid in (" + lids + L")",
      L"DELETE FROM element_log WHERE lid in (" + lids + L")",
      L"DELETE FROM looped_questions WHERE lid in (" + lids + L")",
      platform::format(L"DELETE FROM question_log WHERE uid=%d", uid),
      platform::format(L"DELETE FROM log_id WHERE uid=%d", uid),
      platform::format(L"DELETE FROM user_info WHERE uid=%d", uid),
  };
  // Without the table there are no rates to delete; what holds its name instead (an index, a view)
  // refuses the statement and would take the whole delete back.
  if (memoryRates == pdb3::MemoryRateTable::present)
    statements.push_back(platform::format(L"DELETE FROM memory_rate WHERE uid=%d", uid));
  return pdb3::runInTransaction(accessor, [&] {
    for (const std::wstring& statement : statements)
      if (!pdb3::execSql(accessor, statement.c_str())) return false;
    return true;
  });
}

bool deleteUserByName(const pdb3::DbObject& accessor, const std::wstring& name, pdb3::MemoryRateTable memoryRates) {
  // An id that cannot be read deletes nothing: that is no deletion to report.
  const int uid = pdb3::userIdByName(accessor, name);
  return uid >= 0 && deleteUser(accessor, uid, memoryRates);
}
