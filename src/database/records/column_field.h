// Lazily loaded columns: a record keeps only its key, and each column field reads its value with
// its own SELECT the first time it is asked for and writes it back with its own UPDATE. Lists of
// hundreds of questions can so be built before any of their long texts is needed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "database/records/db_object.h"
#include "database/engine/sqlite_cursor.h"

namespace pdb3 {

using TextList = std::vector<std::wstring>;

// The table a field's column lives in, and the key column that picks the row.
struct RowTable {
  const wchar_t* table;
  const wchar_t* key;
};
extern const RowTable questionRows;
extern const RowTable elementInfoRows;
extern const RowTable elementLogRows;

class ColumnField {
 public:
  virtual ~ColumnField() = default;

  // Writes the value to the column of row `rowId`.
  virtual bool save(const DbObject& accessor, int rowId) const = 0;
  // Reads the column: true when the row was there and read. Either way the field holds a value
  // afterwards (the default when the read failed), so a failed read is not repeated.
  virtual bool load(const DbObject& accessor, int rowId) const = 0;
  virtual bool isLoaded() const = 0;

  bool ensureLoaded(const DbObject& accessor, int rowId) const { return isLoaded() || load(accessor, rowId); }
  // The read failed with an error (not a missing row): the default it holds is not the column's
  // content, and saving it would overwrite that content. Such a field refuses to save until set.
  bool loadFailed() const { return loadFailed_; }
  const wchar_t* column() const { return column_; }

 protected:
  ColumnField(const RowTable& rows, const wchar_t* column) : rows_(&rows), column_(column) {}
  bool readColumn(const DbObject& accessor, int rowId, const std::function<void(const sqliteplus::SqliteCursor&)>& read) const;
  // UPDATE <table> SET <column>=<sqlValue> WHERE <key>=<rowId>
  bool writeColumn(const DbObject& accessor, int rowId, const std::wstring& sqlValue) const;
  // The same for a number, through a statement compiled once per connection.
  bool writeColumn(const DbObject& accessor, int rowId, int value) const;

  mutable bool loadFailed_ = false;

 private:
  const RowTable* rows_;
  const wchar_t* column_;
};

template <class Value>
class TypedField : public ColumnField {
 public:
  bool isLoaded() const override { return value_.has_value(); }
  const Value& value(const DbObject& accessor, int rowId) const {
    ensureLoaded(accessor, rowId);
    return *value_;
  }
  void set(Value value) {
    value_ = std::move(value);
    loadFailed_ = false;
  }

 protected:
  using ColumnField::ColumnField;
  mutable std::optional<Value> value_;
};

// A NULL in the column reads as 0 (and is not an error).
class IntField : public TypedField<int> {
 public:
  bool save(const DbObject& accessor, int rowId) const override;
  bool load(const DbObject& accessor, int rowId) const override;

 protected:
  using TypedField::TypedField;
};

// Text fields that were never read or set are not written.
class StringField : public TypedField<std::wstring> {
 public:
  bool save(const DbObject& accessor, int rowId) const override;
  bool load(const DbObject& accessor, int rowId) const override;

 protected:
  using TypedField::TypedField;
};

// Several lines kept in one column, joined by "\r\n".
class TextListField : public TypedField<TextList> {
 public:
  bool save(const DbObject& accessor, int rowId) const override;
  bool load(const DbObject& accessor, int rowId) const override;

 protected:
  using TypedField::TypedField;
};

// A field kind bound to the table its column lives in.
template <class Kind, const RowTable& Rows>
struct FieldOf : Kind {
  explicit FieldOf(const wchar_t* column) : Kind(Rows, column) {}
};
using QuestionTextListField = FieldOf<TextListField, questionRows>;
using QuestionStringField = FieldOf<StringField, questionRows>;
using QuestionIntField = FieldOf<IntField, questionRows>;
using ElementStringField = FieldOf<StringField, elementInfoRows>;
using ElementIntField = FieldOf<IntField, elementInfoRows>;
using ElementLogIntField = FieldOf<IntField, elementLogRows>;

// An empty text is an empty list; otherwise every piece between "\r\n" is an item, an empty last
// piece after a trailing "\r\n" included.
TextList splitTextList(const std::wstring& text);
std::wstring joinTextList(const TextList& items);
// Item i, or the empty string past the end.
std::wstring textListAt(const TextList& items, int i);

}  // namespace pdb3
