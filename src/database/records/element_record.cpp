#include "database/records/element_record.h"

namespace pdb3 {

ElementInfoRecord::ElementInfoRecord(const DbObject& accessor, int eid) : DbObject(accessor), eid_(eid) {}

const ColumnField& ElementInfoRecord::field(ElementInfoColumn column) const {
  switch (column) {
    case ElementInfoColumn::author: return author_;
    case ElementInfoColumn::writer: return writer_;
    case ElementInfoColumn::description: return description_;
    case ElementInfoColumn::ctime: return ctime_;
    case ElementInfoColumn::utime: break;
  }
  return utime_;
}

bool ElementInfoRecord::saveColumn(ElementInfoColumn column) const { return field(column).save(*this, eid_); }

bool ElementInfoRecord::readFailed(ElementInfoColumn column) const { return field(column).loadFailed(); }

ElementInfoRecord getElementInfoRecord(const DbObject& accessor, int eid) { return ElementInfoRecord(accessor, eid); }
ElementRecord getElementRecord(const DbObject& accessor, int eid) { return ElementRecord(accessor, eid); }

}  // namespace pdb3
