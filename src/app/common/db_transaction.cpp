#include "app/common/db_transaction.h"

#include "database/sql_helpers.h"

bool runInTransaction(const pdb3::DbObject& accessor, const std::function<bool()>& body) {
  if (!pdb3::execSql(accessor, L"BEGIN TRANSACTION")) return false;
  if (body() && pdb3::execSql(accessor, L"COMMIT")) return true;
  // The engine may have ended the transaction itself (a full disk, a failed COMMIT).
  if (accessor.query().connection().inTransaction()) pdb3::execSql(accessor, L"ROLLBACK");
  return false;
}
