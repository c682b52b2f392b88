// Several statements on the application's connection that count only together.
#pragma once

#include <functional>

#include "database/db_object.h"

// Runs body between "BEGIN TRANSACTION" and "COMMIT". When body gives false, or the COMMIT fails,
// everything it did is rolled back and the result is false.
bool runInTransaction(const pdb3::DbObject& accessor, const std::function<bool()>& body);
