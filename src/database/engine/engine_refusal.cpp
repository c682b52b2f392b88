#include "database/engine/engine_refusal.h"

#include <sqlite3.h>

#include "database/engine/text_conversion.h"

namespace sqliteplus {
namespace {

thread_local std::wstring refusal;

}  // namespace

void noteEngineRefusal(sqlite3* db) {
  if (!db || sqlite3_extended_errcode(db) != SQLITE_CONSTRAINT_TRIGGER) return;
  // The latest: an action may get past a refusal (a value kept as it was) and fail at the next.
  refusal = Utf8ToWString(sqlite3_errmsg(db));
}

const std::wstring& lastEngineRefusal() { return refusal; }

void forgetEngineRefusal() { refusal.clear(); }

}  // namespace sqliteplus
