#include "database/engine/engine_refusal.h"

#include <sqlite3.h>

#include "database/engine/text_conversion.h"

namespace sqliteplus {
namespace {

thread_local std::wstring refusal;
// The failing statement's refusal, between the statement's failure and its noting.
thread_local std::wstring statementRefusal;

}  // namespace

void noteEngineRefusal(sqlite3* db) {
  statementRefusal.clear();
  if (db && sqlite3_extended_errcode(db) == SQLITE_CONSTRAINT_TRIGGER)
    statementRefusal = Utf8ToWString(sqlite3_errmsg(db));
}

const std::wstring& lastEngineRefusal() { return refusal; }

void forgetEngineRefusal() {
  refusal.clear();
  statementRefusal.clear();
}

void takeStatementRefusal() {
  refusal = std::move(statementRefusal);
  statementRefusal.clear();
}

void restoreEngineRefusal(const std::wstring& words) { refusal = words; }

}  // namespace sqliteplus
