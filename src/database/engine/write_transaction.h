// Several statements on one connection that count only together.
#pragma once

#include <functional>

#include "database/records/db_object.h"

namespace pdb3 {

// Runs body between "BEGIN TRANSACTION" and "COMMIT". When body gives false, or the COMMIT fails,
// everything it did is rolled back and the result is false. The connection must not be inside a
// transaction already (the BEGIN fails then, and nothing runs).
bool runInTransaction(const DbObject& accessor, const std::function<bool()>& body);

}  // namespace pdb3
