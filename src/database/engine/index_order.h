// Whether an index's entries stand in the order its look-ups rely on: the engine's quick check
// compares no index keys, and an index that holds every row of its table in a wrong order lets a
// look-up miss rows that are there. A UNIQUE index is also checked for a key held twice, which its
// table may hold as well.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace sqliteplus {

// How the keys of one index compare; "" when this check cannot compare them (a collation other
// than the engine's own). `collations` and `descending` name each key column in order.
std::string keyOrder(const std::vector<std::string>& collations, const std::vector<bool>& descending, bool unique);

// Gives `db` the aggregate keys_in_order(order, key..., rowid), which is 1 when the rows it is given
// come in strictly rising order of their keys as `order` (keyOrder()) compares them, and of row id
// after equal keys; and, for a unique index, no two rows hold the same keys unless one of them is
// NULL. 0 otherwise. A text compares as UTF-8, the encoding of the files this program makes.
void addKeysInOrder(sqlite3* db);

}  // namespace sqliteplus
