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

  static CheckPass engine(std::string sql) { return {std::move(sql), true, SQLITE_OK, {}}; }
  static CheckPass reading(std::string sql) { return {std::move(sql), false, SQLITE_OK, {}}; }
};

// Gives `db` the aggregate rows_digest(...): a sum of one hash per row of all its arguments, which
// does not depend on the order of the rows, and tells two sets of rows apart unless they hold the
// same values. Integers and reals of the same value hash alike.
void addRowsDigest(sqlite3* db);

// Runs every pass on the file at `path` (UTF-8), opened read-only as a file nobody changes, on
// connections of their own (up to four at a time), each with rows_digest.
void runPasses(const std::string& path, std::vector<CheckPass>& passes);

}  // namespace sqliteplus
