#include "database/engine/index_contents.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>

#include "database/engine/index_order.h"
#include "database/engine/unchanging_open.h"

namespace sqliteplus {
namespace {

// The text column 0 of every row of `sql`, with `name` bound to its parameter (if any).
int readNames(sqlite3* db, const std::string& sql, const std::string& name, std::vector<std::string>& names) {
  int rc = SQLITE_OK;
  const PreparedStatement statement = prepare(db, sql, rc);
  if (rc != SQLITE_OK) return rc;
  if (sqlite3_bind_parameter_count(statement.get()) > 0)
    sqlite3_bind_text(statement.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
  while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    names.emplace_back(text ? text : "");
  }
  return rc == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(db);
}

bool sameName(const std::string& a, const std::string& b) { return sqlite3_stricmp(a.c_str(), b.c_str()) == 0; }

// The key columns of an index of a table with row ids, in order, and how its keys compare
// (index_order.h); none for an index this way cannot compare (a column that is an expression, a
// table without row ids, a collation of another program's).
int keyColumnsOf(sqlite3* db, const std::string& index, bool unique, std::vector<std::string>& columns,
                 std::string& order) {
  int rc = SQLITE_OK;
  const PreparedStatement statement =
      prepare(db, "SELECT cid, name, key, desc, coll FROM pragma_index_xinfo(?1)", rc);
  if (rc != SQLITE_OK) return rc;
  sqlite3_bind_text(statement.get(), 1, index.c_str(), -1, SQLITE_TRANSIENT);
  bool byRowId = false, expression = false;
  std::vector<std::string> collations;
  std::vector<bool> descending;
  while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    const int column = sqlite3_column_int(statement.get(), 0);
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 1));
    const auto* collation = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 4));
    if (sqlite3_column_int(statement.get(), 2) == 0) {
      byRowId = byRowId || column == -1;
    } else if (column < 0 || !name) {
      expression = true;
    } else {
      columns.emplace_back(name);
      collations.emplace_back(collation ? collation : "BINARY");
      descending.push_back(sqlite3_column_int(statement.get(), 3) != 0);
    }
  }
  if (rc != SQLITE_DONE) return sqlite3_extended_errcode(db);
  order = keyOrder(collations, descending, unique);
  if (!byRowId || expression || order.empty()) columns.clear();
  return SQLITE_OK;
}

// A name for the row id that no column of the table has taken; "" when every one is taken.
std::string rowIdName(const std::vector<std::string>& tableColumns) {
  for (const char* name : {"rowid", "_rowid_", "oid"}) {
    if (std::none_of(tableColumns.begin(), tableColumns.end(), [&](const std::string& c) { return sameName(c, name); }))
      return name;
  }
  return {};
}

std::string argumentsOf(const std::vector<std::string>& columns, const std::string& rowId) {
  std::string arguments;
  for (const std::string& column : columns) arguments += quotedName(column) + ", ";
  return arguments + rowId;
}

}  // namespace

int IndexComparison::plan(sqlite3* db, std::vector<CheckPass>& passes) {
  std::vector<std::string> tables, encoding;
  // A virtual table has no indexes of the engine's, and its module may be one this program lacks.
  if (const int rc = readNames(db, "SELECT name FROM sqlite_master WHERE type='table' AND sql NOT LIKE 'CREATE VIRTUAL%'",
                               {}, tables);
      rc != SQLITE_OK)
    return rc;
  // Keys are put in order as the file's encoding compares them, which the order this way knows
  // only for UTF-8.
  if (const int rc = readNames(db, "PRAGMA encoding", {}, encoding); rc != SQLITE_OK) return rc;
  const bool inUtf8 = encoding.size() == 1 && encoding.front() == "UTF-8";
  for (const std::string& table : tables)
    if (const int rc = planTable(db, table, inUtf8, passes); rc != SQLITE_OK) return rc;
  return SQLITE_OK;
}

int IndexComparison::planTable(sqlite3* db, const std::string& table, bool inUtf8, std::vector<CheckPass>& passes) {
  std::vector<std::string> indexes, partial, unique, tableColumns;
  int rc = readNames(db, "SELECT name FROM pragma_index_list(?1)", table, indexes);
  if (rc == SQLITE_OK) rc = readNames(db, "SELECT name FROM pragma_index_list(?1) WHERE partial", table, partial);
  if (rc == SQLITE_OK) rc = readNames(db, "SELECT name FROM pragma_index_list(?1) WHERE \"unique\"", table, unique);
  if (rc == SQLITE_OK) rc = readNames(db, "SELECT name FROM pragma_table_info(?1)", table, tableColumns);
  if (rc != SQLITE_OK || indexes.empty()) return rc;
  const std::string rowId = rowIdName(tableColumns);
  struct Planned {
    std::string index, arguments, order;
    int values;  // the key columns and the row id
  };
  std::vector<Planned> planned;
  bool comparable = inUtf8 && partial.empty() && !rowId.empty();
  for (const std::string& index : indexes) {
    std::vector<std::string> keys;
    std::string order;
    const bool isUnique = std::any_of(unique.begin(), unique.end(), [&](const std::string& u) { return sameName(u, index); });
    if (comparable && (rc = keyColumnsOf(db, index, isUnique, keys, order)) != SQLITE_OK) return rc;
    comparable = comparable && !keys.empty();
    planned.push_back({index, argumentsOf(keys, rowId), order, static_cast<int>(keys.size()) + 1});
  }
  if (!comparable) {
    passes.push_back(CheckPass::engine("PRAGMA integrity_check(" + quotedName(table) + ")"));
    return SQLITE_OK;
  }
  std::string tableSql = "SELECT count(*)";
  int tableValues = 0;
  for (const Planned& index : planned) {
    tableSql += ", rows_digest(" + index.arguments + ")";
    tableValues += index.values;
  }
  const size_t tablePass = passes.size();
  passes.push_back(CheckPass::reading(tableSql + " FROM " + quotedName(table) + " NOT INDEXED", tableValues));
  for (size_t i = 0; i < planned.size(); ++i) {
    matches_.push_back({tablePass, i + 1, passes.size()});
    // The entries come in the index's own order: a scan of it reads them as its look-ups find them.
    passes.push_back(CheckPass::reading("SELECT count(*), rows_digest(" + planned[i].arguments + "), keys_in_order('" +
                                        planned[i].order + "', " + planned[i].arguments + ") FROM " +
                                        quotedName(table) + " INDEXED BY " + quotedName(planned[i].index),
                                        2 * planned[i].values));
  }
  return SQLITE_OK;
}

bool IndexComparison::holds(const std::vector<CheckPass>& passes) const {
  return std::all_of(matches_.begin(), matches_.end(), [&](const Match& match) {
    const std::vector<sqlite3_int64>& table = passes[match.tablePass].values;
    const std::vector<sqlite3_int64>& index = passes[match.indexPass].values;
    return table.size() > match.digestColumn && index.size() == 3 && table[0] == index[0] &&
           table[match.digestColumn] == index[1] && index[2] == 1;
  });
}

}  // namespace sqliteplus
