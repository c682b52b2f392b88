#include "platform/settings/archive.h"

#include "platform/text.h"

namespace platform {
namespace {
constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kMaxMapCount = 0x3FFFFFFE;
}  // namespace

const char* ArchiveException::what() const noexcept {
  switch (cause_) {
    case EndOfFile: return "archive: read past the end";
    case BadClass: return "archive: unexpected or unknown class";
    case BadSchema: return "archive: unsupported schema";
    case BadIndex: return "archive: bad object reference";
    case ReadOnly: return "archive: store into a loading archive";
    case WriteOnly: return "archive: load from a storing archive";
  }
  return "archive error";
}

Archive::Archive(StoreMode, std::vector<uint8_t>& out) : out_(&out) {}
Archive::Archive(LoadMode, std::span<const uint8_t> in) : in_(in) {}

void Archive::requireStoring() const {
  if (!IsStoring()) throw ArchiveException(ArchiveException::ReadOnly);
}
void Archive::requireLoading() const {
  if (!IsLoading()) throw ArchiveException(ArchiveException::WriteOnly);
}
void Archive::need(size_t bytes) const {
  requireLoading();
  if (bytes > remaining()) throw ArchiveException(ArchiveException::EndOfFile);
}

void Archive::writeU8(uint8_t v) {
  requireStoring();
  out_->push_back(v);
}
void Archive::writeU16(uint16_t v) {
  writeU8(static_cast<uint8_t>(v));
  writeU8(static_cast<uint8_t>(v >> 8));
}
void Archive::writeU32(uint32_t v) {
  writeU16(static_cast<uint16_t>(v));
  writeU16(static_cast<uint16_t>(v >> 16));
}
void Archive::writeBytes(std::span<const uint8_t> bytes) {
  requireStoring();
  out_->insert(out_->end(), bytes.begin(), bytes.end());
}

uint8_t Archive::readU8() {
  need(1);
  return in_[position_++];
}
uint16_t Archive::readU16() {
  need(2);
  const uint16_t v = static_cast<uint16_t>(in_[position_] | (in_[position_ + 1] << 8));
  position_ += 2;
  return v;
}
uint32_t Archive::readU32() {
  const uint32_t low = readU16();
  return low | (static_cast<uint32_t>(readU16()) << 16);
}

void Archive::writeString(const std::wstring& text) {
  const std::u16string units = toUtf16(text);
  // The Unicode marker, then the length in the smallest form that holds it.
  writeU8(0xFF);
  writeU16(0xFFFE);
  const size_t n = units.size();
  if (n < 0xFF) {
    writeU8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    writeU8(0xFF);
    writeU16(static_cast<uint16_t>(n));
  } else {
    writeU8(0xFF);
    writeU16(0xFFFF);
    writeU32(static_cast<uint32_t>(n));
  }
  for (char16_t u : units) writeU16(static_cast<uint16_t>(u));
}

std::wstring Archive::readString() {
  bool unicode = false;
  uint32_t length = 0;
  for (;;) {
    const uint8_t b = readU8();
    if (b < 0xFF) { length = b; break; }
    const uint16_t w = readU16();
    if (w == 0xFFFE) {
      if (unicode) throw ArchiveException(ArchiveException::EndOfFile);
      unicode = true;
      continue;
    }
    length = w < 0xFFFF ? w : readU32();
    break;
  }
  const size_t bytes = static_cast<size_t>(length) * (unicode ? 2 : 1);
  need(bytes);
  const uint8_t* p = in_.data() + position_;
  position_ += bytes;
  if (!unicode) return fromCp932(std::string(reinterpret_cast<const char*>(p), length));
  std::u16string units(length, u'\0');
  for (uint32_t i = 0; i < length; ++i) units[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  return fromUtf16(units);
}

void Archive::writeCount(uint32_t count) {
  if (count < 0xFFFF) {
    writeU16(static_cast<uint16_t>(count));
  } else {
    writeU16(0xFFFF);
    writeU32(count);
  }
}

uint32_t Archive::readCount() {
  const uint16_t small = readU16();
  const uint32_t count = small < 0xFFFF ? small : readU32();
  if (count > remaining()) throw ArchiveException(ArchiveException::EndOfFile);
  return count;
}

void Archive::writeTag(uint32_t index, bool classTag) {
  if (index < kBigObjectTag) {
    writeU16(static_cast<uint16_t>(index | (classTag ? kClassTag : 0)));
  } else {
    writeU16(kBigObjectTag);
    writeU32(index | (classTag ? kBigClassTag : 0));
  }
}

void Archive::writeObject(const CObject* object) {
  requireStoring();
  if (!object) {
    writeU16(kNullTag);
    return;
  }
  if (auto it = storeMap_.find(object); it != storeMap_.end()) {
    writeTag(it->second, false);
    return;
  }
  const RuntimeClass* record = object->GetRuntimeClass();
  if (auto it = storeMap_.find(record); it != storeMap_.end()) {
    writeTag(it->second, true);
  } else {
    const std::string name = record->className;
    writeU16(kNewClassTag);
    writeU16(static_cast<uint16_t>(record->schema));
    writeU16(static_cast<uint16_t>(name.size()));
    writeBytes({reinterpret_cast<const uint8_t*>(name.data()), name.size()});
    storeMap_[record] = mapCount_++;
  }
  storeMap_[object] = mapCount_++;
  const_cast<CObject*>(object)->Serialize(*this);
}

std::unique_ptr<CObject> Archive::readObject(const RuntimeClass* required) {
  requireLoading();
  const uint16_t tag = readU16();
  const uint32_t full = tag == kBigObjectTag ? readU32()
                                             : (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag);
  if (!(full & kBigClassTag)) {
    if (full == kNullTag) return nullptr;
    // Our formats store every object once; a back reference would hand out a second owner.
    throw ArchiveException(ArchiveException::BadIndex);
  }
  const RuntimeClass* record = nullptr;
  unsigned schema = 0;
  if (tag == kNewClassTag) {
    schema = readU16();
    const uint16_t length = readU16();
    need(length);
    const std::string name(reinterpret_cast<const char*>(in_.data() + position_), length);
    position_ += length;
    record = RuntimeClass::fromName(name);
    if (!record || mapCount_ >= kMaxMapCount) throw ArchiveException(ArchiveException::BadClass);
    if (!(record->schema & kVersionableSchema) && schema != record->schema)
      throw ArchiveException(ArchiveException::BadSchema);
    loadedClasses_.resize(mapCount_ + 1);
    loadedClasses_[mapCount_++] = {record, schema};
  } else {
    const uint32_t index = full & ~kBigClassTag;
    if (index >= loadedClasses_.size() || !loadedClasses_[index].record)
      throw ArchiveException(ArchiveException::BadIndex);
    record = loadedClasses_[index].record;
    schema = loadedClasses_[index].schema;
  }
  if (required && !record->isDerivedFrom(required)) throw ArchiveException(ArchiveException::BadClass);
  std::unique_ptr<CObject> object = record->createObject();
  if (!object) throw ArchiveException(ArchiveException::BadClass);
  ++mapCount_;  // the object's own index
  loadedClasses_.resize(mapCount_);
  const unsigned outerSchema = std::exchange(currentSchema_, schema);
  object->Serialize(*this);
  currentSchema_ = outerSchema;
  return object;
}

}  // namespace platform
