// Typed settings kept as registry values below the application's key. Each knows its subkey,
// value name and default; a value that is missing (or stored with another type) loads as the
// default. Writes report nothing.
#pragma once

#include <string>
#include <utility>

#include "services/app_registry.h"

class Setting {
 public:
  Setting(const wchar_t* subkey, const wchar_t* name) : subkey(subkey), name(name) {}
  virtual ~Setting() = default;
  virtual void load(const RegistryKey& root) = 0;
  virtual void save(const RegistryKey& root) const = 0;

  const wchar_t* subkey;
  const wchar_t* name;
};

template <class T>
class TypedSetting : public Setting {
 public:
  TypedSetting(const wchar_t* subkey, const wchar_t* name, T defaultValue)
      : Setting(subkey, name), value(defaultValue), defaultValue(std::move(defaultValue)) {}

  T value;
  T defaultValue;
};

// A REG_DWORD: loads as (number != 0), saves 0 or 1.
class BoolSetting : public TypedSetting<bool> {
 public:
  using TypedSetting::TypedSetting;
  void load(const RegistryKey& root) override;
  void save(const RegistryKey& root) const override;
};

// A REG_DWORD; the stored number 0x80000001 stands for "missing" and loads as the default.
class IntSetting : public TypedSetting<int> {
 public:
  using TypedSetting::TypedSetting;
  void load(const RegistryKey& root) override;
  void save(const RegistryKey& root) const override;
};

// A REG_SZ of any length. A missing value reads as the missing marker, and a text equal to the
// marker loads as the default: with the marker "" a stored empty text takes the default, with
// "no entry" it stays empty (a sound switched off).
class StringSetting : public TypedSetting<std::wstring> {
 public:
  StringSetting(const wchar_t* subkey, const wchar_t* name, std::wstring defaultValue = L"",
                std::wstring missingMarker = L"")
      : TypedSetting(subkey, name, std::move(defaultValue)), missingMarker(std::move(missingMarker)) {}
  void load(const RegistryKey& root) override;
  void save(const RegistryKey& root) const override;

  std::wstring missingMarker;
};

// One REG_SZ below a key or a root; the default when the key or the value is missing.
std::wstring readRegString(const RegistryKey& parent, const std::wstring& subkey, const std::wstring& name,
                           const std::wstring& defaultValue);
std::wstring readRegString(platform::RegistryRoot root, const std::wstring& subkey, const std::wstring& name,
                           const std::wstring& defaultValue);

// A plain int: saving writes it; loading a missing value (or 0x80000001) takes the default and
// writes the default back at once.
void loadOrSaveInt(bool save, const RegistryKey& root, const wchar_t* subkey, const wchar_t* name, int& value,
                   int defaultValue);
