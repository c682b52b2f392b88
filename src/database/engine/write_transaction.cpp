#include "database/engine/write_transaction.h"

#include "database/engine/sql_helpers.h"

namespace pdb3 {

bool runInTransaction(const DbObject& accessor, const std::function<bool()>& body) {
  if (!execSql(accessor, L"BEGIN TRANSACTION")) return false;
  if (body() && execSql(accessor, L"COMMIT")) return true;
  // The engine may have ended the transaction itself (a full disk, a failed COMMIT).
  if (accessor.query().connection().inTransaction()) execSql(accessor, L"ROLLBACK");
  return false;
}

}  // namespace pdb3
