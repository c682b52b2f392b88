#include "platform/settings/runtime_class.h"

#include "platform/settings/archive.h"

#include <vector>

namespace platform {
namespace {
std::vector<const RuntimeClass*>& registered() {
  static std::vector<const RuntimeClass*> classes;
  return classes;
}
}  // namespace

const RuntimeClass CObject::classCObject{"CObject", kNoSchema, nullptr, nullptr};

const RuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(Archive&) {}

bool RuntimeClass::isDerivedFrom(const RuntimeClass* other) const {
  for (const RuntimeClass* c = this; c; c = c->base)
    if (c == other) return true;
  return false;
}

std::unique_ptr<CObject> RuntimeClass::createObject() const {
  return factory ? std::unique_ptr<CObject>(factory()) : nullptr;
}

const RuntimeClass* RuntimeClass::fromName(std::string_view name) {
  for (const RuntimeClass* c : registered())
    if (name == c->className) return c;
  return nullptr;
}

void registerRuntimeClass(const RuntimeClass& record) {
  auto& all = registered();
  for (const RuntimeClass* c : all)
    if (c == &record) return;
  all.push_back(&record);
}

void unregisterRuntimeClass(const RuntimeClass& record) {
  auto& all = registered();
  std::erase(all, &record);
}

}  // namespace platform
