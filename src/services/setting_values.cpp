#include "services/setting_values.h"

#include <optional>

namespace {

using platform::RegistryType;
using platform::RegistryValue;

constexpr uint32_t kMissingInt = 0x80000001u;

std::optional<RegistryValue> readValue(const RegistryKey& parent, const std::wstring& subkey, const std::wstring& name,
                                       RegistryType type) {
  RegistryKey key;
  if (!key.open(parent, subkey, false)) return std::nullopt;
  std::optional<RegistryValue> value = key.value(name);
  if (!value || value->type != type) return std::nullopt;
  return value;
}

void writeValue(const RegistryKey& parent, const std::wstring& subkey, const std::wstring& name,
                const RegistryValue& value) {
  RegistryKey key;
  if (key.open(parent, subkey, true)) key.setValue(name, value);
}

std::optional<int> readInt(const RegistryKey& root, const wchar_t* subkey, const wchar_t* name) {
  const auto stored = readValue(root, subkey, name, RegistryType::Dword);
  if (!stored || stored->number == kMissingInt) return std::nullopt;
  return static_cast<int>(stored->number);
}

void writeInt(const RegistryKey& root, const wchar_t* subkey, const wchar_t* name, int value) {
  writeValue(root, subkey, name, RegistryValue::fromDword(static_cast<uint32_t>(value)));
}

}  // namespace

void BoolSetting::load(const RegistryKey& root) {
  const auto stored = readValue(root, subkey, name, RegistryType::Dword);
  value = stored ? stored->number != 0 : defaultValue;
}

void BoolSetting::save(const RegistryKey& root) const { writeInt(root, subkey, name, value ? 1 : 0); }

void IntSetting::load(const RegistryKey& root) { value = readInt(root, subkey, name).value_or(defaultValue); }

void IntSetting::save(const RegistryKey& root) const { writeInt(root, subkey, name, value); }

void StringSetting::load(const RegistryKey& root) {
  value = readRegString(root, subkey, name, missingMarker);
  if (value == missingMarker) value = defaultValue;
}

void StringSetting::save(const RegistryKey& root) const {
  writeValue(root, subkey, name, RegistryValue::fromString(value));
}

std::wstring readRegString(const RegistryKey& parent, const std::wstring& subkey, const std::wstring& name,
                           const std::wstring& defaultValue) {
  const auto stored = readValue(parent, subkey, name, RegistryType::String);
  return stored ? stored->text : defaultValue;
}

std::wstring readRegString(platform::RegistryRoot root, const std::wstring& subkey, const std::wstring& name,
                           const std::wstring& defaultValue) {
  RegistryKey top;
  if (!top.open(root, L"", false)) return defaultValue;
  return readRegString(top, subkey, name, defaultValue);
}

void loadOrSaveInt(bool save, const RegistryKey& root, const wchar_t* subkey, const wchar_t* name, int& value,
                   int defaultValue) {
  if (save) {
    writeInt(root, subkey, name, value);
  } else if (const auto stored = readInt(root, subkey, name)) {
    value = *stored;
  } else {
    value = defaultValue;
    writeInt(root, subkey, name, value);
  }
}
