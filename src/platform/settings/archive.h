// The framework's archive: little-endian values, counted strings, and objects stored with
// class records and back-reference tags. Loading checks every length against the bytes that
// remain and throws ArchiveException on anything short or inconsistent.
#pragma once

#include "platform/settings/runtime_class.h"

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <span>
#include <utility>
#include <string>
#include <vector>

namespace platform {

class ArchiveException : public std::exception {
 public:
  enum Cause { EndOfFile, BadClass, BadSchema, BadIndex, ReadOnly, WriteOnly };
  explicit ArchiveException(Cause cause) : cause_(cause) {}
  Cause cause() const { return cause_; }
  const char* what() const noexcept override;

 private:
  Cause cause_;
};

class Archive {
 public:
  enum StoreMode { Store };
  enum LoadMode { Load };
  // A storing archive appends to `out`.
  Archive(StoreMode, std::vector<uint8_t>& out);
  // A loading archive reads `in`, which must outlive it.
  Archive(LoadMode, std::span<const uint8_t> in);
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool IsStoring() const { return out_ != nullptr; }
  bool IsLoading() const { return out_ == nullptr; }
  size_t remaining() const { return in_.size() - position_; }

  void writeU8(uint8_t v);
  void writeU16(uint16_t v);
  void writeU32(uint32_t v);
  void writeI32(int32_t v) { writeU32(static_cast<uint32_t>(v)); }
  void writeBytes(std::span<const uint8_t> bytes);
  uint8_t readU8();
  uint16_t readU16();
  uint32_t readU32();
  int32_t readI32() { return static_cast<int32_t>(readU32()); }

  // Text in the Unicode string form (a marker, a length, UTF-16LE); reading also takes the
  // narrow form, decoded from code page 932.
  void writeString(const std::wstring& text);
  std::wstring readString();

  // An element count: 16 bits, or 0xFFFF and 32 bits. A read count larger than the bytes left
  // cannot be real and throws.
  void writeCount(uint32_t count);
  uint32_t readCount();

  // Stores null, a reference to an object stored before, or the object's class (the record
  // the first time, a tag after) followed by its Serialize.
  void writeObject(const CObject* object);
  // Reads an object written by writeObject. Its class must be registered and derive from
  // `required` (when given), or the archive counts as corrupt. A reference back to an object
  // already read is refused as well: the caller owns every object it gets.
  std::unique_ptr<CObject> readObject(const RuntimeClass* required);
  // The schema stored with the class of the object being read.
  unsigned objectSchema() const { return currentSchema_; }

 private:
  void need(size_t bytes) const;
  void requireStoring() const;
  void requireLoading() const;
  void writeTag(uint32_t index, bool classTag);

  std::vector<uint8_t>* out_ = nullptr;
  std::span<const uint8_t> in_;
  size_t position_ = 0;
  uint32_t mapCount_ = 1;  // index 0 is the null object
  std::map<const void*, uint32_t> storeMap_;
  // What each index of a loading archive stands for: a class record, or an object.
  struct LoadedClass {
    const RuntimeClass* record = nullptr;
    unsigned schema = 0;
  };
  std::vector<LoadedClass> loadedClasses_{LoadedClass{}};
  unsigned currentSchema_ = 0;
};

}  // namespace platform
