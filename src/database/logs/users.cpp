#include "database/logs/users.h"

#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/trace.h"

namespace pdb3 {

int userIdByName(const DbObject& accessor, const std::wstring& name) {
  int uid = -1;
  return findUserId(accessor, name, uid) == FirstRow::found ? uid : -1;
}

FirstRow findUserId(const DbObject& accessor, const std::wstring& name, int& uid) {
  return readFirstInt(
      accessor, platform::format(L"SELECT uid FROM user_info WHERE name='%ls'", escapeSqlQuotesTo(name).c_str()), uid);
}

std::wstring userNameById(const DbObject& accessor, int uid) {
  std::wstring name;
  querySqlfString(accessor, name, L"SELECT name FROM user_info WHERE uid=%d", uid);
  return name;
}

int insertUser(const DbObject& accessor, const std::wstring& name) {
  if (!execSqlf(accessor, L"INSERT INTO user_info VALUES( NULL, '%ls' )", escapeSqlQuotesTo(name).c_str())) return -1;
  return accessor.query().connection().lastInsertRowId();
}

namespace {

// Runs `write` in a transaction after finding no user of the name (another uid than `self`).
UserWrite writeIfNameFree(const DbObject& accessor, const std::wstring& name, int self,
                          const std::function<bool()>& write) {
  UserWrite outcome = UserWrite::failed;
  const bool committed = runInTransaction(accessor, [&] {
    int uid = -1;
    const FirstRow found = findUserId(accessor, name, uid);
    if (found == FirstRow::failed) return false;
    if (found == FirstRow::found && uid != self) {
      outcome = UserWrite::nameTaken;
      return false;
    }
    if (!write()) return false;
    outcome = UserWrite::done;
    return true;
  });
  // A COMMIT that failed took the write back with it.
  return outcome == UserWrite::done && !committed ? UserWrite::failed : outcome;
}

}  // namespace

UserWrite addUserIfNameFree(const DbObject& accessor, const std::wstring& name) {
  return writeIfNameFree(accessor, name, -1, [&] { return insertUser(accessor, name) >= 0; });
}

UserWrite renameUserIfNameFree(const DbObject& accessor, int uid, const std::wstring& name) {
  if (uid < 0) return UserWrite::failed;
  return writeIfNameFree(accessor, name, uid, [&] {
    return execSqlf(accessor, L"UPDATE user_info SET name='%ls' WHERE uid=%d", escapeSqlQuotesTo(name).c_str(), uid);
  });
}

}  // namespace pdb3
