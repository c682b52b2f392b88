// Run-time class records: a class name, a schema, a factory and a base, so that objects can be
// told apart by kind and recreated by name from an archive.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class Archive;
class CObject;

// A schema with this bit accepts archives of any schema; the stored schema is its low word.
constexpr unsigned kVersionableSchema = 0x80000000u;
// A class that is never stored carries this schema.
constexpr unsigned kNoSchema = 0xFFFFu;

struct RuntimeClass {
  const char* className;
  unsigned schema;
  CObject* (*factory)();  // null: not creatable by name
  const RuntimeClass* base;

  bool isDerivedFrom(const RuntimeClass* other) const;
  // Null when the class is not creatable.
  std::unique_ptr<CObject> createObject() const;
  // The registered class of that name, or null.
  static const RuntimeClass* fromName(std::string_view name);
};

// Makes a class known to archives (the library does it at start-up); registering twice is harmless.
void registerRuntimeClass(const RuntimeClass& record);
void unregisterRuntimeClass(const RuntimeClass& record);

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const RuntimeClass* GetRuntimeClass() const;
  virtual void Serialize(Archive& archive);
  bool IsKindOf(const RuntimeClass* record) const { return GetRuntimeClass()->isDerivedFrom(record); }
  static const RuntimeClass classCObject;
};

template <class T>
CObject* createInstance() {
  return new T;
}

}  // namespace platform

// Declares the run-time class record of a class derived from platform::CObject.
#define KELVARA_DECLARE_RUNTIME_CLASS(cls)                   \
 public:                                                     \
  static const ::platform::RuntimeClass class##cls;          \
  const ::platform::RuntimeClass* GetRuntimeClass() const override;

// Defines it. `factory` is ::platform::createInstance<cls> for creatable classes, else nullptr.
#define KELVARA_IMPLEMENT_RUNTIME_CLASS(cls, base, schema, factory)                              \
  const ::platform::RuntimeClass cls::class##cls{#cls, schema, factory, &base::class##base};      \
  const ::platform::RuntimeClass* cls::GetRuntimeClass() const { return &class##cls; }

#define KELVARA_RUNTIME_CLASS(cls) (&cls::class##cls)
