// Typed values under one registry key for the library's saved state: numbers, strings, raw
// bytes, rectangles, points, arrays and whole objects stored as the bytes of their archive.
#pragma once

#include "platform/settings/archive.h"
#include "platform/drawing/gdi_types.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/runtime_class.h"

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

// Archive work in which a damaged archive or a lack of memory is a false result.
template <class Work>
bool archiveSafely(Work&& work) {
  try {
    work();
    return true;
  } catch (const platform::ArchiveException&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// A list of objects stored the way the framework stores an object list: a count, then each
// object with its class record. The list owns its objects.
class UxObjectList : public platform::CObject {
 public:
  void Serialize(platform::Archive& archive) override;
  std::vector<std::unique_ptr<platform::CObject>> items;
};

class CUxRegistry;

// Whoever asks CUxRegistry::Create for a registry object: it owns the one object handed to it
// and the value that object carries for it.
class UxRegistryRequester {
 public:
  explicit UxRegistryRequester(uint32_t userData = 0) : dwUserData(userData) {}
  UxRegistryRequester(const UxRegistryRequester&) = delete;
  UxRegistryRequester& operator=(const UxRegistryRequester&) = delete;
  ~UxRegistryRequester();

  uint32_t dwUserData;

 private:
  friend class CUxRegistry;
  std::unique_ptr<CUxRegistry> m_registry;
};

class CUxRegistry : public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxRegistry)

 public:
  // An administrator object works below the machine root instead of the user's.
  explicit CUxRegistry(bool admin = false, bool readOnly = false);
  ~CUxRegistry() override;

  // The requester's object, made on its first request (of the class set below, else a plain
  // one) and handed out again after: each time back at its root with these settings and the
  // requester's user data.
  static CUxRegistry& Create(UxRegistryRequester& requester, bool admin, bool readOnly);
  // The class Create makes; null, or a class that is no CUxRegistry, for the plain one.
  static void SetRuntimeClass(const platform::RuntimeClass* record);

  virtual bool ReadKeyValues(std::vector<std::wstring>& names);
  virtual bool VerifyKey(const std::wstring& path);
  virtual bool VerifyValue(const std::wstring& name);
  virtual bool CreateKey(const std::wstring& path);
  virtual bool Open(const std::wstring& path);
  // Leaves the object without a key: reads and writes fail until the next Open or CreateKey,
  // which start again from the root.
  virtual void Close();
  virtual bool DeleteValue(const std::wstring& name);
  // Removes the subkey and everything below it.
  virtual bool DeleteKey(const std::wstring& name, bool admin = false);

  // The object together with its class, so that Read can make it again.
  virtual bool Write(const std::wstring& name, const platform::CObject* object);
  virtual bool Write(const std::wstring& name, platform::CObject& object);
  virtual bool Write(const std::wstring& name, const uint8_t* bytes, size_t length);
  virtual bool Write(const std::wstring& name, const platform::Point& point);
  virtual bool Write(const std::wstring& name, const platform::Rect& rect);
  virtual bool Write(const std::wstring& name, const std::vector<uint16_t>& words);
  virtual bool Write(const std::wstring& name, const std::vector<uint32_t>& dwords);
  virtual bool Write(const std::wstring& name, const std::vector<uint8_t>& byteArray);
  virtual bool Write(const std::wstring& name, const std::vector<std::wstring>& strings);
  virtual bool Write(const std::wstring& name, const std::wstring& text);
  bool Write(const std::wstring& name, const wchar_t* text) { return Write(name, std::wstring(text)); }
  virtual bool Write(const std::wstring& name, uint32_t value);
  virtual bool Write(const std::wstring& name, int value);

  virtual bool Read(const std::wstring& name, std::unique_ptr<platform::CObject>& object);
  virtual bool Read(const std::wstring& name, platform::CObject& object);
  // Deletes what the list holds first.
  virtual bool Read(const std::wstring& name, UxObjectList& list);
  // The raw bytes of a binary value; empty on failure.
  virtual bool ReadBytes(const std::wstring& name, std::vector<uint8_t>& bytes);
  virtual bool Read(const std::wstring& name, platform::Rect& rect);
  virtual bool Read(const std::wstring& name, platform::Point& point);
  virtual bool Read(const std::wstring& name, std::vector<uint16_t>& words);
  virtual bool Read(const std::wstring& name, std::vector<uint32_t>& dwords);
  virtual bool Read(const std::wstring& name, std::vector<uint8_t>& byteArray);
  virtual bool Read(const std::wstring& name, std::vector<std::wstring>& strings);
  virtual bool Read(const std::wstring& name, std::wstring& text);
  virtual bool Read(const std::wstring& name, uint32_t& value);
  virtual bool Read(const std::wstring& name, int& value);
  virtual bool ReadSubKeys(std::vector<std::wstring>& names);

  static constexpr long kErrorSuccess = 0;
  static constexpr long kErrorFileNotFound = 2;
  static constexpr long kErrorAccessDenied = 5;
  static constexpr long kErrorInvalidHandle = 6;
  static constexpr long kErrorNoMoreItems = 259;

  long lLastError = kErrorSuccess;
  uint32_t dwLastType = 0;
  uint32_t dwLastSize = 0;
  bool bAdmin = false;
  std::wstring strPath;
  bool bReadOnly = false;
  uint32_t dwUserData = 0;

 private:
  platform::RegistryRoot root() const;
  // The current key, or the root before Open or CreateKey; false after Close.
  bool currentKey(platform::RegistryKey& key) const;
  // The error of a failed value operation: none can succeed without a key.
  long failure(long otherwise) const { return m_bClosed ? kErrorInvalidHandle : otherwise; }
  bool writeValue(const std::wstring& name, const platform::RegistryValue& value);
  std::optional<platform::RegistryValue> readValue(const std::wstring& name);
  bool writeArchive(const std::wstring& name, platform::CObject& object);
  template <class Fill>
  bool writeArchiveOf(const std::wstring& name, Fill fill);
  template <class Take>
  bool readArchiveOf(const std::wstring& name, Take take);
  template <class T, class WriteOne>
  bool writeCounted(const std::wstring& name, const std::vector<T>& items, WriteOne writeOne);
  template <class T, class ReadOne>
  bool readCounted(const std::wstring& name, std::vector<T>& items, ReadOne readOne);

  std::wstring currentPath_;
  bool m_bClosed = false;
};

// The key of a section of the library's state: `path` when it is given, else
// "SOFTWARE\<registry key>\<profile name>\<section>\".
std::wstring UxGetRegPath(const std::wstring& section, const std::wstring& path = {});
// The application's own key, "SOFTWARE\<registry key>\<profile name>", below which the profile
// functions keep their sections.
std::wstring UxGetAppRegPath();
// The application's registry key ("Tarvo Presents") and profile name ("KLV7").
void UxSetRegistryNames(const std::wstring& registryKey, const std::wstring& profileName);
