#include "database/records/element_record.h"

namespace pdb3 {

ElementInfoRecord::ElementInfoRecord(const DbObject& accessor, int eid) : DbObject(accessor), eid_(eid) {}

bool ElementInfoRecord::saveColumn(ElementInfoColumn column) const {
  switch (column) {
    case ElementInfoColumn::author: return author_.save(*this, eid_);
    case ElementInfoColumn::writer: return writer_.save(*this, eid_);
    case ElementInfoColumn::description: return description_.save(*this, eid_);
    case ElementInfoColumn::ctime: return ctime_.save(*this, eid_);
    case ElementInfoColumn::utime: break;
  }
  return utime_.save(*this, eid_);
}

ElementInfoRecord getElementInfoRecord(const DbObject& accessor, int eid) { return ElementInfoRecord(accessor, eid); }
ElementRecord getElementRecord(const DbObject& accessor, int eid) { return ElementRecord(accessor, eid); }

}  // namespace pdb3
