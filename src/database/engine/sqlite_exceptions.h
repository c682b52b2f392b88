// Every failure of the database engine surfaces as one of these. `what` names the class so that
// a handler can print "<class> : <message>"; the engine's own text is kept apart in `message`.
#pragma once

#include <exception>
#include <string>

namespace sqliteplus {

class SqliteException : public std::exception {
 public:
  explicit SqliteException(const char* message);
  const char* what() const noexcept override;
  // Narrow UTF-8 text, the engine's message where there was one.
  const std::string& message() const noexcept { return message_; }

 private:
  std::string message_;
};

class OutOfBoundsException : public SqliteException {
 public:
  explicit OutOfBoundsException(const char* message);
  const char* what() const noexcept override;
};

class QueryException : public SqliteException {
 public:
  QueryException(const char* message, int code);
  const char* what() const noexcept override;
  // The engine's result code (0 when the wrapper itself refused).
  int code() const noexcept { return code_; }

 private:
  int code_;
};

class ConnectionException : public SqliteException {
 public:
  explicit ConnectionException(const SqliteException& cause);
  const char* what() const noexcept override;
};

}  // namespace sqliteplus
