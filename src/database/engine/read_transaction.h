// Reads of many rows inside one transaction: the file is locked and its pages cached once for
// all of them instead of once per statement. Inside a transaction already open it adds nothing:
// that one holds the lock, and ends where it was begun.
#pragma once

#include "database/engine/sql_helpers.h"

namespace pdb3 {

class ReadTransaction {
 public:
  explicit ReadTransaction(const DbObject& accessor)
      : accessor_(accessor), open_(!accessor.query().connection().inTransaction() && execSql(accessor, L"BEGIN")) {}
  ~ReadTransaction() {
    // A read the system failed (an I/O error) has the engine take the transaction back itself: a
    // COMMIT then would fail for no cause of the file's, and be taken for one that lasts.
    if (open_ && accessor_.query().connection().inTransaction()) execSql(accessor_, L"COMMIT");
  }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  DbObject accessor_;
  bool open_;
};

}  // namespace pdb3
