#include "database/engine/sqlite_exceptions.h"

#include "database/engine/engine_failure.h"

namespace sqliteplus {

SqliteException::SqliteException(const char* message) : message_(message ? message : "") {}
const char* SqliteException::what() const noexcept { return "SqliteException"; }

OutOfBoundsException::OutOfBoundsException(const char* message) : SqliteException(message) {}
const char* OutOfBoundsException::what() const noexcept { return "OutOfBoundsException"; }

// Noted where every engine failure passes, so that an action that only sees false can say why.
QueryException::QueryException(const char* message, int code) : SqliteException(message), code_(code) {
  noteEngineFailure(code);
}
const char* QueryException::what() const noexcept { return "QueryException"; }

ConnectionException::ConnectionException(const SqliteException& cause)
    : SqliteException(cause.message().c_str()) {}
const char* ConnectionException::what() const noexcept { return "ConnectionException"; }

}  // namespace sqliteplus
