// The program's registry: typed values in a tree of keys per root, one file per root under
// $XDG_CONFIG_HOME/kelvara/. Key and value names match without regard to case and keep the
// spelling they were created with. Every change is written at once, atomically.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// The numbers are the original platform's type codes (REG_SZ, REG_BINARY, REG_DWORD).
enum class RegistryType : uint32_t { String = 1, Binary = 3, Dword = 4 };

struct RegistryValue {
  RegistryType type = RegistryType::String;
  std::wstring text;           // String
  uint32_t number = 0;         // Dword
  std::vector<uint8_t> bytes;  // Binary

  static RegistryValue fromString(std::wstring text);
  static RegistryValue fromDword(uint32_t number);
  static RegistryValue fromBinary(std::vector<uint8_t> bytes);
  bool operator==(const RegistryValue&) const = default;
};

// A handle on one key. Paths are backslash-separated ("Software\Maker\App"). Operations on a key
// that has been deleted meanwhile fail. Every failure is a false or an empty result.
class RegistryKey {
 public:
  // Opens (with create: makes missing keys of) the path below a root or below an open key.
  // On failure the handle keeps the key it had.
  bool open(RegistryRoot root, std::wstring_view path, bool create);
  bool open(const RegistryKey& parent, std::wstring_view path, bool create);
  void close() { open_ = false; }
  bool isOpen() const { return open_; }

  // The empty name is the key's default value.
  std::optional<RegistryValue> value(std::wstring_view name) const;
  bool setValue(std::wstring_view name, const RegistryValue& value);
  bool deleteValue(std::wstring_view name);
  // Deletes the subkey at the path with everything below it.
  bool deleteSubKey(std::wstring_view path);
  std::vector<std::wstring> valueNames() const;
  std::vector<std::wstring> subKeyNames() const;

 private:
  template <class Collect>
  static std::vector<std::wstring> namesBelow(const RegistryKey& key, Collect collect);

  RegistryRoot root_ = RegistryRoot::CurrentUser;
  std::vector<std::wstring> path_;  // names as given; matched without regard to case
  bool open_ = false;
};

// Groups the changes made while it lives into one write of each file they touch (a settings save
// sets dozens of values). Changes inside a batch report success; commit() (or the end of the batch)
// writes them, and a write that fails is traced and its changes are dropped. Batches nest: only
// the outermost one writes.
class RegistryBatch {
 public:
  RegistryBatch();
  ~RegistryBatch();
  RegistryBatch(const RegistryBatch&) = delete;
  RegistryBatch& operator=(const RegistryBatch&) = delete;

  // Ends the batch now: false when a file it touched could not be written (an inner batch, whose
  // changes go out with the outermost one, answers true).
  bool commit();

 private:
  bool open_ = true;
};

// The file that holds a root (a damaged one is renamed to "<file>.damaged-<time>" and reported).
std::wstring registryFilePath(RegistryRoot root);

}  // namespace platform
