// The users that study records are kept for.
#pragma once

#include <string>

#include "database/db_object.h"

namespace pdb3 {

// -1 when no user has the name.
int userIdByName(const DbObject& accessor, const std::wstring& name);
// Empty when there is no such user.
std::wstring userNameById(const DbObject& accessor, int uid);
// The new uid, or -1 when the row could not be added.
int insertUser(const DbObject& accessor, const std::wstring& name);

}  // namespace pdb3
