// The users that study records are kept for.
#pragma once

#include <string>

#include "database/records/db_object.h"
#include "database/engine/sql_helpers.h"

namespace pdb3 {

// -1 when no user has the name (or it cannot be read).
int userIdByName(const DbObject& accessor, const std::wstring& name);
// The same, telling a user that is not there from one that could not be looked up: whoever adds or
// changes a user on the strength of the answer must not take the one for the other.
FirstRow findUserId(const DbObject& accessor, const std::wstring& name, int& uid);
// Empty when there is no such user.
std::wstring userNameById(const DbObject& accessor, int uid);
// The new uid, or -1 when the row could not be added.
int insertUser(const DbObject& accessor, const std::wstring& name);

// Adding or renaming a user, the name looked up inside the write's own transaction: a list read
// earlier (or not at all) proves nothing about the file now, and two users of one name could no
// longer be told apart. The connection must not be inside a transaction.
enum class UserWrite { done, nameTaken, failed };
UserWrite addUserIfNameFree(const DbObject& accessor, const std::wstring& name);
UserWrite renameUserIfNameFree(const DbObject& accessor, int uid, const std::wstring& name);

}  // namespace pdb3
