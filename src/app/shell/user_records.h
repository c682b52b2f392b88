// The users' list, and removing users with everything recorded for them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "database/database_file.h"
#include "database/records/db_object.h"

// The name of every user, in the order of user_info (the first-user and user dialogs' lists);
// nothing when the list could not be read, which is no empty list.
std::optional<std::vector<std::wstring>> userNames(const pdb3::DbObject& accessor);

// Deletes the user and every study record of theirs (study logs with their totals, passes, daily
// logs with their questions, question logs, memory rates while the file has their table) in one
// transaction: all of it or, when any statement fails, nothing. A later user may get the same uid,
// so nothing of this one may stay.
bool deleteUser(const pdb3::DbObject& accessor, int uid, pdb3::MemoryRateTable memoryRates);
bool deleteUserByName(const pdb3::DbObject& accessor, const std::wstring& name, pdb3::MemoryRateTable memoryRates);
