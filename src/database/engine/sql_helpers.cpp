#include "database/engine/sql_helpers.h"

#include <sqlite3.h>

#include <cstdarg>
#include <optional>

#include "database/engine/text_conversion.h"
#include "platform/trace.h"

namespace pdb3 {
namespace {

using sqliteplus::SqliteCursor;
using sqliteplus::SqliteException;

const wchar_t kExceptionCaught[] = L"Exception caught";

// Nothing when the format cannot be formatted (a bad conversion): running what came out instead
// could run a different statement.
std::optional<std::wstring> formatStatement(const wchar_t* format, va_list args) {
  if (!format) return std::nullopt;
  std::wstring sql = platform::formatv(format, args);
  if (sql.empty() && *format) {
    platform::traceError(L"sql : %ls\n", format);
    platform::traceError("format error : the statement could not be formatted\n");
    return std::nullopt;
  }
  return sql;
}

void traceFailure(const SqliteException& e) { platform::traceError("%s : %s\n", e.what(), e.message().c_str()); }

bool appendIntColumn(const DbObject& accessor, const wchar_t* sql, const std::function<void(int)>& append) {
  try {
    auto cursor = accessor.query().query(sql);
    while (cursor->next()) append(cursor->getInt(0));
    return true;
  } catch (const SqliteException& e) {
    traceFailure(e);
    return false;
  }
}

void bindInTurn(SqliteCursor& cursor, SqlValues values) {
  int index = 0;
  for (const auto& value : values) std::visit([&](auto v) { cursor.bind(++index, v); }, value);
}

FirstRow readFirst(SqliteCursor& cursor, const std::function<void(const SqliteCursor&)>& read) {
  if (!cursor.next()) return FirstRow::missing;
  read(cursor);
  return FirstRow::found;
}

// What `read` gives, or failed with the engine's words in `failure`: the caller decides who hears.
template <typename Read>
FirstRow describingFailure(std::string* failure, Read&& read) {
  try {
    return read();
  } catch (const SqliteException& e) {
    if (failure) *failure = std::string(e.what()) + " : " + e.message();
  } catch (const std::exception& e) {
    if (failure) *failure = e.what();
  }
  return FirstRow::failed;
}

}  // namespace

int execKept(const DbObject& accessor, const char* sql, SqlValues values) {
  try {
    SqliteCursor cursor(accessor.query().connection(), sql);
    bindInTurn(cursor, values);
    while (cursor.next()) {
    }
    return sqlite3_changes(accessor.query().connection().engineHandle());
  } catch (const SqliteException& e) {
    platform::traceError("sql : %s\n", sql);
    traceFailure(e);
    return -1;
  }
}

FirstRow readKeptRow(const DbObject& accessor, const char* sql, SqlValues values,
                     const std::function<void(const SqliteCursor&)>& read, std::string* failure) {
  return describingFailure(failure, [&] {
    SqliteCursor cursor(accessor.query().connection(), sql);
    bindInTurn(cursor, values);
    return readFirst(cursor, read);
  });
}

int queryKeptIntOrMinus1(const DbObject& accessor, const char* sql, SqlValues values) {
  int value = -1;
  if (readKeptRow(accessor, sql, values, [&](const SqliteCursor& row) { value = row.getInt(0); }) != FirstRow::found)
    return -1;
  return value;
}

bool forEachRow(const DbObject& accessor, const std::wstring& sql,
                const std::function<void(const sqliteplus::SqliteCursor&)>& read) {
  try {
    auto cursor = accessor.query().query(sql.c_str());
    while (cursor->next()) read(*cursor);
    return true;
  } catch (const SqliteException& e) {
    platform::traceError(L"sql : %ls\n", sql.c_str());
    traceFailure(e);
    return false;
  }
}

FirstRow readFirstRow(const DbObject& accessor, const std::wstring& sql,
                      const std::function<void(const SqliteCursor&)>& read, std::string* failure) {
  return describingFailure(failure, [&] { return readFirst(*accessor.query().query(sql.c_str()), read); });
}

FirstRow readFirstInt(const DbObject& accessor, const std::wstring& sql, int& out) {
  std::string failure;
  bool isNull = false;
  const FirstRow row = readFirstRow(
      accessor, sql,
      [&](const SqliteCursor& cursor) {
        isNull = cursor.isNull(0);
        if (!isNull) out = cursor.getInt(0);
      },
      &failure);
  if (row == FirstRow::failed) {
    platform::traceError(L"sql : %ls\n", sql.c_str());
    platform::traceError("%s\n", failure.c_str());
  }
  return row == FirstRow::found && isNull ? FirstRow::missing : row;
}

bool execSql(const DbObject& accessor, const wchar_t* sql) {
  try {
    accessor.query().execute(sql);
    return true;
  } catch (const SqliteException& e) {
    platform::traceError(L"sql : %ls\n", sql ? sql : L"");
    traceFailure(e);
    return false;
  }
}

bool execSqlf(const DbObject& accessor, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const auto sql = formatStatement(format, args);
  va_end(args);
  return sql && execSql(accessor, sql->c_str());
}

bool queryFirstString(const DbObject& accessor, std::wstring& out, const wchar_t* sql) {
  std::wstring value;
  if (readFirstRow(accessor, sql ? sql : L"", [&](const SqliteCursor& row) { value = row.getString(0); }) !=
      FirstRow::found)
    return false;
  out = std::move(value);
  return true;
}

bool querySqlfString(const DbObject& accessor, std::wstring& out, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const auto sql = formatStatement(format, args);
  va_end(args);
  return sql && queryFirstString(accessor, out, sql->c_str());
}

int queryFirstInt(const DbObject& accessor, const wchar_t* sql) {
  int value = 0;
  if (readFirstRow(accessor, sql ? sql : L"", [&](const SqliteCursor& row) { value = row.getInt(0); }) !=
      FirstRow::found)
    throw std::wstring(kExceptionCaught);
  return value;
}

int querySqlfInt(const DbObject& accessor, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const auto sql = formatStatement(format, args);
  va_end(args);
  if (!sql) throw std::wstring(L"getSqlInt error");
  try {
    return queryFirstInt(accessor, sql->c_str());
  } catch (const std::wstring&) {
    throw;
  } catch (...) {
    throw std::wstring(L"getSqlInt error");
  }
}

int querySqlfIntOrMinus1(const DbObject& accessor, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const auto sql = formatStatement(format, args);
  va_end(args);
  int value = -1;
  if (sql && readFirstRow(accessor, *sql, [&](const SqliteCursor& row) { value = row.getInt(0); }) != FirstRow::found)
    return -1;
  return value;
}

bool queryIntList(const DbObject& accessor, std::vector<int>& out, const wchar_t* sql) {
  return appendIntColumn(accessor, sql, [&](int value) { out.push_back(value); });
}

bool queryIntList(const DbObject& accessor, std::deque<int>& out, const wchar_t* sql) {
  return appendIntColumn(accessor, sql, [&](int value) { out.push_back(value); });
}

bool querySqlfIntList(const DbObject& accessor, std::vector<int>& out, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const auto sql = formatStatement(format, args);
  va_end(args);
  return sql && queryIntList(accessor, out, sql->c_str());
}

bool querySqlfIntList(const DbObject& accessor, std::deque<int>& out, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const auto sql = formatStatement(format, args);
  va_end(args);
  return sql && queryIntList(accessor, out, sql->c_str());
}

std::wstring escapeSqlQuotesTo(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    out += c;
    if (c == L'\'') out += L'\'';
  }
  return out;
}

std::wstring escapeSqlQuotesCStr(const wchar_t* text) { return escapeSqlQuotesTo(sqliteplus::WCharToWString(text)); }

}  // namespace pdb3
