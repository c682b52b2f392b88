#include "database/records/column_field.h"

#include "database/engine/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

const RowTable questionRows{L"question", L"qid"};
const RowTable elementInfoRows{L"element_info", L"eid"};
const RowTable elementLogRows{L"element_log", L"lid"};

namespace {

const wchar_t kLineBreak[] = L"\r\n";

std::wstring quoted(const std::wstring& text) { return L"'" + escapeSqlQuotesTo(text) + L"'"; }

}  // namespace

bool ColumnField::readColumn(const DbObject& accessor, int rowId,
                             const std::function<void(const sqliteplus::SqliteCursor&)>& read) const {
  // One text per table and column, so the statement is compiled once per connection: a list reads
  // the same columns of thousands of rows.
  const std::string sql = platform::format("SELECT %ls FROM %ls WHERE %ls=?", column_, rows_->table, rows_->key);
  const FirstRow result = readKeptRow(accessor, sql.c_str(), {rowId}, read);
  loadFailed_ = result == FirstRow::failed;
  return result == FirstRow::found;
}

bool ColumnField::writeColumn(const DbObject& accessor, int rowId, const std::wstring& sqlValue) const {
  return execSqlf(accessor, L"UPDATE %ls SET %ls=%ls WHERE %ls=%d", rows_->table, column_, sqlValue.c_str(),
                  rows_->key, rowId);
}

bool ColumnField::writeColumn(const DbObject& accessor, int rowId, int value) const {
  const std::string sql = platform::format("UPDATE %ls SET %ls=? WHERE %ls=?", rows_->table, column_, rows_->key);
  return execKept(accessor, sql.c_str(), {value, rowId}) >= 0;
}

bool IntField::load(const DbObject& accessor, int rowId) const {
  value_ = 0;
  return readColumn(accessor, rowId, [this](const sqliteplus::SqliteCursor& row) {
    if (!row.isNull(0)) value_ = row.getInt(0);
  });
}

bool IntField::save(const DbObject& accessor, int rowId) const {
  ensureLoaded(accessor, rowId);
  return !loadFailed_ && writeColumn(accessor, rowId, *value_);
}

bool StringField::load(const DbObject& accessor, int rowId) const {
  value_ = std::wstring();
  return readColumn(accessor, rowId, [this](const sqliteplus::SqliteCursor& row) { value_ = row.getString(0); });
}

bool StringField::save(const DbObject& accessor, int rowId) const {
  if (!isLoaded()) return true;
  return !loadFailed_ && writeColumn(accessor, rowId, quoted(*value_));
}

bool TextListField::load(const DbObject& accessor, int rowId) const {
  value_ = TextList();
  return readColumn(accessor, rowId,
                    [this](const sqliteplus::SqliteCursor& row) { value_ = splitTextList(row.getString(0)); });
}

bool TextListField::save(const DbObject& accessor, int rowId) const {
  if (!isLoaded()) return true;
  return !loadFailed_ && writeColumn(accessor, rowId, quoted(joinTextList(*value_)));
}

TextList splitTextList(const std::wstring& text) {
  TextList items;
  if (text.empty()) return items;
  size_t start = 0;
  for (size_t found; (found = text.find(kLineBreak, start)) != std::wstring::npos; start = found + 2)
    items.push_back(text.substr(start, found - start));
  items.push_back(text.substr(start));
  return items;
}

std::wstring joinTextList(const TextList& items) {
  std::wstring text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) text += kLineBreak;
    text += items[i];
  }
  return text;
}

std::wstring textListAt(const TextList& items, int i) {
  return i >= 0 && static_cast<size_t>(i) < items.size() ? items[i] : std::wstring();
}

}  // namespace pdb3
