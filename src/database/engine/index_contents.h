// Whether every index of a database holds exactly the rows of its table, in its order, which the
// engine's quick check does not compare: a row missing from an index, an index record that says
// other than its row, entries out of order, or a key held twice in a unique index make a look-up
// through the index find what a reading of the table does not. Each table and each index is read
// once, in passes of their own (check_passes.h), rather than every row looked up in every index as
// the engine's full check does.
#pragma once

#include <sqlite3.h>

#include <vector>

#include "database/engine/check_passes.h"

namespace sqliteplus {

class IndexComparison {
 public:
  // Plans the passes for the file `db` has open, adding them to `passes`; the engine's result code
  // of reading its schema. An index this way cannot compare (one of expressions or of some rows
  // only, one of a table without row ids, one in another program's collation, any in a file not in
  // UTF-8) has its table checked by the engine's full check.
  int plan(sqlite3* db, std::vector<CheckPass>& passes);
  // Once the passes have run: each index holds its table's rows. The passes' failures are the
  // caller's to tell.
  bool holds(const std::vector<CheckPass>& passes) const;

 private:
  // The table's pass gives, after its count, one digest per index; each index's pass its count,
  // its digest and whether its entries stand in order.
  struct Match {
    size_t tablePass;
    size_t digestColumn;
    size_t indexPass;
  };
  int planTable(sqlite3* db, const std::string& table, bool inUtf8, std::vector<CheckPass>& passes);

  std::vector<Match> matches_;
};

}  // namespace sqliteplus
