// The tables this program reads from a database file and the columns it reads from them by name:
// what a copy of the file has to hold to be opened and used in its place.
#pragma once

#include <vector>

#include "database/engine/whole_database.h"

namespace pdb3 {

// memory_rate is needed only where the file has it: a file without it opens, without smart learning.
const std::vector<sqliteplus::RequiredTable>& programTables();

}  // namespace pdb3
