#include "uictl/bars/ux_registry.h"

#include "platform/settings/archive.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxRegistry, CObject, kNoSchema, createInstance<CUxRegistry>)

void UxObjectList::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeCount(static_cast<uint32_t>(items.size()));
    for (const auto& item : items) ar.writeObject(item.get());
    return;
  }
  items.clear();
  for (uint32_t n = ar.readCount(); n > 0; --n) items.push_back(ar.readObject(nullptr));
}

namespace {

std::wstring g_registryKey;
std::wstring g_profileName;

std::wstring joinPath(const std::wstring& base, const std::wstring& path) {
  if (base.empty()) return path;
  if (path.empty()) return base;
  return base + L"\\" + path;
}

}  // namespace

void UxSetRegistryNames(const std::wstring& registryKey, const std::wstring& profileName) {
  g_registryKey = registryKey;
  g_profileName = profileName;
}

std::wstring UxGetAppRegPath() {
  std::wstring result = L"SOFTWARE";
  if (!g_registryKey.empty()) result += L"\\" + g_registryKey;
  return result + L"\\" + g_profileName;
}

std::wstring UxGetRegPath(const std::wstring& section, const std::wstring& path) {
  if (!path.empty()) return path;
  return UxGetAppRegPath() + L"\\" + section + L"\\";
}

namespace {

const RuntimeClass* g_registryClass = nullptr;

}  // namespace

UxRegistryRequester::~UxRegistryRequester() = default;

CUxRegistry::CUxRegistry(bool admin, bool readOnly) : bAdmin(admin), bReadOnly(readOnly) {}

CUxRegistry::~CUxRegistry() = default;

void CUxRegistry::SetRuntimeClass(const RuntimeClass* record) { g_registryClass = record; }

CUxRegistry& CUxRegistry::Create(UxRegistryRequester& requester, bool admin, bool readOnly) {
  if (!requester.m_registry) {
    std::unique_ptr<CObject> made = g_registryClass ? g_registryClass->createObject() : nullptr;
    if (auto* registry = dynamic_cast<CUxRegistry*>(made.get())) {
      made.release();
      requester.m_registry.reset(registry);
    } else {
      requester.m_registry = std::make_unique<CUxRegistry>();
    }
  }
  CUxRegistry& registry = *requester.m_registry;
  registry.currentPath_.clear();
  registry.m_bClosed = false;
  registry.bAdmin = admin;
  registry.bReadOnly = readOnly;
  registry.dwUserData = requester.dwUserData;
  return registry;
}

RegistryRoot CUxRegistry::root() const { return bAdmin ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser; }

bool CUxRegistry::currentKey(RegistryKey& key) const { return !m_bClosed && key.open(root(), currentPath_, false); }

bool CUxRegistry::VerifyKey(const std::wstring& path) {
  RegistryKey key;
  const bool found = key.open(root(), joinPath(currentPath_, path), false);
  lLastError = found ? kErrorSuccess : kErrorFileNotFound;
  return found;
}

bool CUxRegistry::VerifyValue(const std::wstring& name) {
  RegistryKey key;
  const bool found = currentKey(key) && key.value(name).has_value();
  lLastError = found ? kErrorSuccess : failure(kErrorFileNotFound);
  return found;
}

bool CUxRegistry::CreateKey(const std::wstring& path) {
  dwLastType = 0;
  if (bReadOnly) return false;
  RegistryKey key;
  const std::wstring full = joinPath(currentPath_, path);
  if (!key.open(root(), full, true)) {
    lLastError = kErrorAccessDenied;
    return false;
  }
  lLastError = kErrorSuccess;
  currentPath_ = full;
  m_bClosed = false;
  return true;
}

bool CUxRegistry::Open(const std::wstring& path) {
  dwLastType = 0;
  strPath = path;
  if (!VerifyKey(path)) return false;
  currentPath_ = joinPath(currentPath_, path);
  m_bClosed = false;
  return true;
}

void CUxRegistry::Close() {
  // No key is left: falling back to the root would send the next write to the top of the store.
  currentPath_.clear();
  m_bClosed = true;
  dwLastType = 0;
}

bool CUxRegistry::DeleteValue(const std::wstring& name) {
  RegistryKey key;
  const bool done = !bReadOnly && currentKey(key) && key.deleteValue(name);
  lLastError = done ? kErrorSuccess : failure(kErrorFileNotFound);
  return done;
}

bool CUxRegistry::DeleteKey(const std::wstring& name, bool) {
  RegistryKey key;
  const bool done = !bReadOnly && currentKey(key) && key.deleteSubKey(name);
  lLastError = done ? kErrorSuccess : failure(kErrorFileNotFound);
  return done;
}

bool CUxRegistry::ReadKeyValues(std::vector<std::wstring>& names) {
  RegistryKey key;
  names = currentKey(key) ? key.valueNames() : std::vector<std::wstring>();
  lLastError = names.empty() ? failure(kErrorNoMoreItems) : kErrorSuccess;
  return !names.empty();
}

bool CUxRegistry::ReadSubKeys(std::vector<std::wstring>& names) {
  RegistryKey key;
  names = currentKey(key) ? key.subKeyNames() : std::vector<std::wstring>();
  lLastError = names.empty() ? failure(kErrorNoMoreItems) : kErrorSuccess;
  return !names.empty();
}

bool CUxRegistry::writeValue(const std::wstring& name, const RegistryValue& value) {
  if (bReadOnly) return false;
  RegistryKey key;
  const bool done = currentKey(key) && key.setValue(name, value);
  lLastError = done ? kErrorSuccess : failure(kErrorAccessDenied);
  dwLastType = static_cast<uint32_t>(value.type);
  return done;
}

std::optional<RegistryValue> CUxRegistry::readValue(const std::wstring& name) {
  RegistryKey key;
  std::optional<RegistryValue> value;
  if (currentKey(key)) value = key.value(name);
  lLastError = value ? kErrorSuccess : failure(kErrorFileNotFound);
  if (value) dwLastType = static_cast<uint32_t>(value->type);
  return value;
}

bool CUxRegistry::Write(const std::wstring& name, const uint8_t* bytes, size_t length) {
  const bool done = writeValue(name, RegistryValue::fromBinary(std::vector<uint8_t>(bytes, bytes + length)));
  if (done) dwLastSize = static_cast<uint32_t>(length);
  return done;
}

template <class Fill>
bool CUxRegistry::writeArchiveOf(const std::wstring& name, Fill fill) {
  if (bReadOnly) return false;
  std::vector<uint8_t> bytes;
  const bool filled = archiveSafely([&] {
    Archive ar(Archive::Store, bytes);
    fill(ar);
  });
  return filled && Write(name, bytes.data(), bytes.size());
}

template <class Take>
bool CUxRegistry::readArchiveOf(const std::wstring& name, Take take) {
  std::vector<uint8_t> bytes;
  if (!ReadBytes(name, bytes)) return false;
  return archiveSafely([&] {
    Archive ar(Archive::Load, bytes);
    take(ar);
  });
}

template <class T, class WriteOne>
bool CUxRegistry::writeCounted(const std::wstring& name, const std::vector<T>& items, WriteOne writeOne) {
  return writeArchiveOf(name, [&](Archive& ar) {
    ar.writeCount(static_cast<uint32_t>(items.size()));
    for (const T& item : items) writeOne(ar, item);
  });
}

template <class T, class ReadOne>
bool CUxRegistry::readCounted(const std::wstring& name, std::vector<T>& items, ReadOne readOne) {
  items.clear();
  return readArchiveOf(name, [&](Archive& ar) {
    std::vector<T> read;
    for (uint32_t n = ar.readCount(); n > 0; --n) read.push_back(readOne(ar));
    items = std::move(read);
  });
}

bool CUxRegistry::Write(const std::wstring& name, const CObject* object) {
  return writeArchiveOf(name, [object](Archive& ar) { ar.writeObject(object); });
}

bool CUxRegistry::Write(const std::wstring& name, CObject& object) {
  return writeArchiveOf(name, [&object](Archive& ar) { object.Serialize(ar); });
}

bool CUxRegistry::Write(const std::wstring& name, const Point& point) {
  return Write(name, std::vector<uint32_t>{static_cast<uint32_t>(point.x), static_cast<uint32_t>(point.y), 0, 0, 0});
}

bool CUxRegistry::Write(const std::wstring& name, const Rect& rect) {
  return writeArchiveOf(name, [&rect](Archive& ar) {
    for (int v : {rect.left, rect.top, rect.right, rect.bottom}) ar.writeI32(v);
  });
}

bool CUxRegistry::Write(const std::wstring& name, const std::vector<uint16_t>& words) {
  return writeArchiveOf(name, [&words](Archive& ar) {
    ar.writeU32(static_cast<uint32_t>(words.size()));
    for (uint16_t w : words) ar.writeU16(w);
  });
}

bool CUxRegistry::Write(const std::wstring& name, const std::vector<uint32_t>& dwords) {
  return writeCounted(name, dwords, [](Archive& ar, uint32_t v) { ar.writeU32(v); });
}

bool CUxRegistry::Write(const std::wstring& name, const std::vector<uint8_t>& byteArray) {
  return writeCounted(name, byteArray, [](Archive& ar, uint8_t v) { ar.writeU8(v); });
}

bool CUxRegistry::Write(const std::wstring& name, const std::vector<std::wstring>& strings) {
  return writeCounted(name, strings, [](Archive& ar, const std::wstring& v) { ar.writeString(v); });
}

bool CUxRegistry::Write(const std::wstring& name, const std::wstring& text) {
  const bool done = writeValue(name, RegistryValue::fromString(text));
  if (done) dwLastSize = static_cast<uint32_t>(text.size() + 1);
  return done;
}

bool CUxRegistry::Write(const std::wstring& name, uint32_t value) {
  if (bReadOnly) return false;
  RegistryKey key;
  return currentKey(key) && key.setValue(name, RegistryValue::fromDword(value));
}

bool CUxRegistry::Write(const std::wstring& name, int value) {
  const bool done = writeValue(name, RegistryValue::fromDword(static_cast<uint32_t>(value)));
  if (done) dwLastSize = 4;
  return done;
}

bool CUxRegistry::ReadBytes(const std::wstring& name, std::vector<uint8_t>& bytes) {
  bytes.clear();
  const std::optional<RegistryValue> value = readValue(name);
  if (!value || value->type != RegistryType::Binary) {
    dwLastSize = 0;
    return false;
  }
  bytes = value->bytes;
  dwLastType = static_cast<uint32_t>(RegistryType::Binary);
  dwLastSize = static_cast<uint32_t>(bytes.size());
  return true;
}

bool CUxRegistry::Read(const std::wstring& name, std::unique_ptr<CObject>& object) {
  return readArchiveOf(name, [&object](Archive& ar) {
    object = ar.readObject(nullptr);
  });
}

bool CUxRegistry::Read(const std::wstring& name, CObject& object) {
  return readArchiveOf(name, [&object](Archive& ar) {
    object.Serialize(ar);
  });
}

bool CUxRegistry::Read(const std::wstring& name, UxObjectList& list) {
  list.items.clear();
  return Read(name, static_cast<CObject&>(list));
}

bool CUxRegistry::Read(const std::wstring& name, Rect& rect) {
  return readArchiveOf(name, [&rect](Archive& ar) {
    Rect r;
    r.left = ar.readI32();
    r.top = ar.readI32();
    r.right = ar.readI32();
    r.bottom = ar.readI32();
    rect = r;
  });
}

bool CUxRegistry::Read(const std::wstring& name, Point& point) {
  std::vector<uint32_t> values;
  if (!Read(name, values) || values.size() < 2) return false;
  point = {static_cast<int>(values[0]), static_cast<int>(values[1])};
  return true;
}

bool CUxRegistry::Read(const std::wstring& name, std::vector<uint16_t>& words) {
  words.clear();
  return readArchiveOf(name, [&words](Archive& ar) {
    const uint32_t count = ar.readU32();
    if (count > ar.remaining() / 2) throw ArchiveException(ArchiveException::EndOfFile);
    std::vector<uint16_t> read(count);
    for (uint16_t& w : read) w = ar.readU16();
    words = std::move(read);
  });
}

bool CUxRegistry::Read(const std::wstring& name, std::vector<uint32_t>& dwords) {
  return readCounted(name, dwords, [](Archive& ar) { return ar.readU32(); });
}

bool CUxRegistry::Read(const std::wstring& name, std::vector<uint8_t>& byteArray) {
  return readCounted(name, byteArray, [](Archive& ar) { return ar.readU8(); });
}

bool CUxRegistry::Read(const std::wstring& name, std::vector<std::wstring>& strings) {
  return readCounted(name, strings, [](Archive& ar) { return ar.readString(); });
}

bool CUxRegistry::Read(const std::wstring& name, std::wstring& text) {
  const std::optional<RegistryValue> value = readValue(name);
  if (!value) return false;
  // Only the text up to its first NUL counts, as a wide read of the stored characters would.
  text = value->type == RegistryType::String ? value->text.substr(0, value->text.find(L'\0')) : std::wstring();
  dwLastSize = static_cast<uint32_t>((value->type == RegistryType::String ? value->text.size() + 1 : 0) * 2);
  return true;
}

bool CUxRegistry::Read(const std::wstring& name, uint32_t& value) {
  const std::optional<RegistryValue> stored = readValue(name);
  if (!stored || stored->type != RegistryType::Dword) return false;
  dwLastSize = 4;
  value = stored->number;
  return true;
}

bool CUxRegistry::Read(const std::wstring& name, int& value) {
  uint32_t number = 0;
  if (!Read(name, number)) return false;
  value = static_cast<int>(number);
  return true;
}
