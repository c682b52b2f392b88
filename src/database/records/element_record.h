// The descriptive columns of a folder or problem set (element_info), loaded on first use.
#pragma once

#include <string>

#include "database/records/column_field.h"

namespace pdb3 {

enum class ElementInfoColumn { author, writer, description, ctime, utime };

class ElementInfoRecord : public DbObject {
 public:
  ElementInfoRecord(const DbObject& accessor, int eid);

  int eid() const { return eid_; }
  const std::wstring& author() const { return author_.value(*this, eid_); }
  const std::wstring& writer() const { return writer_.value(*this, eid_); }
  const std::wstring& description() const { return description_.value(*this, eid_); }
  int ctime() const { return ctime_.value(*this, eid_); }
  int utime() const { return utime_.value(*this, eid_); }

  // Setters change the record only; saveColumn writes a column.
  void setAuthor(std::wstring text) { author_.set(std::move(text)); }
  void setWriter(std::wstring text) { writer_.set(std::move(text)); }
  void setDescription(std::wstring text) { description_.set(std::move(text)); }
  void setCtime(int time) { ctime_.set(time); }
  void setUtime(int time) { utime_.set(time); }
  bool saveColumn(ElementInfoColumn column) const;
  // The column's read failed: what it gives is a default, not the stored value.
  bool readFailed(ElementInfoColumn column) const;

 private:
  int eid_;
  ElementStringField author_{L"author"};
  ElementStringField writer_{L"writer"};
  ElementStringField description_{L"description"};
  ElementIntField ctime_{L"ctime"};
  ElementIntField utime_{L"utime"};

  const ColumnField& field(ElementInfoColumn column) const;
};

// A folder or problem set: its id and its descriptive columns on the same accessor.
class ElementRecord : public DbObject {
 public:
  ElementRecord(const DbObject& accessor, int eid) : DbObject(accessor), eid_(eid), info_(accessor, eid) {}

  int eid() const { return eid_; }
  ElementInfoRecord& info() { return info_; }
  const ElementInfoRecord& info() const { return info_; }

 private:
  int eid_;
  ElementInfoRecord info_;
};

ElementInfoRecord getElementInfoRecord(const DbObject& accessor, int eid);
ElementRecord getElementRecord(const DbObject& accessor, int eid);

}  // namespace pdb3
