// The program's query vocabulary: run a statement on an accessor and get back a plain result.
// Failures never leave as sqliteplus exceptions: they become false, -1 or an empty result (with a
// trace line on stderr where noted), except queryFirstInt / querySqlfInt, which throw a wide
// string ("Exception caught", "getSqlInt error").
//
// Formats ("...f" functions) are wide printf formats as glibc reads them:
//   %ls  a wide string (const wchar_t*, e.g. name.c_str())   -- never %s, which glibc reads as a
//        narrow char* and converts through the C locale
//   %d   an int, written without quotes (qid=%d): a quoted integer does not match an integer column
//   %lf  a double (LC_NUMERIC stays "C", so the point is a point)
// Text values go in as '%ls' after escapeSqlQuotesTo. Statements are formatted into a buffer that
// grows as needed: a statement is never cut, whatever its length.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "database/records/db_object.h"

namespace pdb3 {

// How many columns a list such as "a, b, c" names: a row read with it takes that many from where
// the list stands in the SELECT.
constexpr int columnCount(std::string_view columns) {
  return 1 + static_cast<int>(std::count(columns.begin(), columns.end(), ','));
}

// True on success; a failure writes "sql : <statement>" and "<class> : <message>" to stderr.
bool execSql(const DbObject& accessor, const wchar_t* sql);
bool execSqlf(const DbObject& accessor, const wchar_t* format, ...);

// Column 0 of the first row. False (out unchanged) when there is no row or the query fails.
bool queryFirstString(const DbObject& accessor, std::wstring& out, const wchar_t* sql);
bool querySqlfString(const DbObject& accessor, std::wstring& out, const wchar_t* format, ...);

// Column 0 of the first row as an int. No row, a NULL or a failure throws std::wstring.
int queryFirstInt(const DbObject& accessor, const wchar_t* sql);
int querySqlfInt(const DbObject& accessor, const wchar_t* format, ...);
// The same, with -1 for every failure: the usual way to read a count, a maximum or one id.
int querySqlfIntOrMinus1(const DbObject& accessor, const wchar_t* format, ...);

// Column 0 of every row appended to out. On failure false, with the values read so far kept.
bool queryIntList(const DbObject& accessor, std::vector<int>& out, const wchar_t* sql);
bool queryIntList(const DbObject& accessor, std::deque<int>& out, const wchar_t* sql);
bool querySqlfIntList(const DbObject& accessor, std::vector<int>& out, const wchar_t* format, ...);
bool querySqlfIntList(const DbObject& accessor, std::deque<int>& out, const wchar_t* format, ...);

// Hands every row to `read`. False (after the trace lines on stderr) when the statement fails;
// the rows before the failure have been handed over.
bool forEachRow(const DbObject& accessor, const std::wstring& sql,
                const std::function<void(const sqliteplus::SqliteCursor&)>& read);

// Doubles every single quote, for text written between quotes.
std::wstring escapeSqlQuotesTo(const std::wstring& text);
std::wstring escapeSqlQuotesCStr(const wchar_t* text);

// Hands the first row to `read`, telling a missing row from a failure (an engine error, or an
// exception thrown by `read`). Silent: callers decide what a failure means; `failure`, when
// given, receives "<class> : <message>" of it.
enum class FirstRow { found, missing, failed };
FirstRow readFirstRow(const DbObject& accessor, const std::wstring& sql,
                      const std::function<void(const sqliteplus::SqliteCursor&)>& read,
                      std::string* failure = nullptr);
// Column 0 of the first row as an int in `out`: missing when there is no row or it is NULL, failed
// (traced as execSql traces it) when the statement fails. For a count or an id that a write then
// depends on: a failure there is not "none".
FirstRow readFirstInt(const DbObject& accessor, const std::wstring& sql, int& out);

// The statements a save runs once per question are compiled once per connection and kept (see
// SqliteConnection::keptStatement); each '?' of the text takes the next of the values.
using SqlValues = std::initializer_list<std::variant<int, double>>;
// The number of rows the statement changed; -1 on failure, traced as execSql traces it.
int execKept(const DbObject& accessor, const char* sql, SqlValues values);
// As readFirstRow, on a kept statement.
FirstRow readKeptRow(const DbObject& accessor, const char* sql, SqlValues values,
                     const std::function<void(const sqliteplus::SqliteCursor&)>& read,
                     std::string* failure = nullptr);
// As querySqlfIntOrMinus1, on a kept statement.
int queryKeptIntOrMinus1(const DbObject& accessor, const char* sql, SqlValues values);

}  // namespace pdb3
