#include "database/users.h"

#include "database/sql_helpers.h"
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

}  // namespace pdb3
