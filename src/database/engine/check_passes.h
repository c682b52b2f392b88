// Reading statements over one file on several connections at once: the checks of a copy, each pass
// a whole reading of a table or an index, take as long as the longest of them rather than all.
#pragma once

#include <sqlite3.h>

#include <string>
#include <utility>
#include <vector>

namespace sqliteplus {

struct CheckPass {
  std::string sql;
  // The engine's own check: the pass holds when its one row says "ok". Otherwise the pass reads
  // one row of integers into `values`.
  bool engineCheck = false;
  int resultCode = SQLITE_OK;  // SQLITE_CORRUPT as well for an engine check that found a fault
  std::vector<sqlite3_int64> values;
  // A reading's values of each row that may lie on overflow pages: what bounds the pages a sound
  // file can make it fetch. The engine's checks look after themselves.
  int valuesReadPerRow = 0;

  static CheckPass engine(std::string sql) { return {std::move(sql), true, SQLITE_OK, {}, 0}; }
  static CheckPass reading(std::string sql, int valuesReadPerRow) {
    return {std::move(sql), false, SQLITE_OK, {}, valuesReadPerRow};
  }
};

// Gives `db` the aggregate rows_digest(...): a sum of one hash per row of all its arguments, which
// does not depend on the order of the rows, and tells two sets of rows apart unless they hold the
// same values. Integers and reals of the same value hash alike.
void addRowsDigest(sqlite3* db);

// Runs every pass on the file at `path` (UTF-8), opened read-only as a file nobody changes, on
// connections of their own (up to four at a time), each with rows_digest and keys_in_order
// (index_order.h). A reading that fetches more pages than a sound file of its size can make it
// fetch is stopped, as damage.
void runPasses(const std::string& path, std::vector<CheckPass>& passes);

}  // namespace sqliteplus
