#include "services/app_registry.h"

bool openAppRegistryKey(RegistryKey& key, const std::wstring& brand, const std::wstring& appKey, bool create) {
  return key.open(platform::RegistryRoot::CurrentUser, L"Software\\" + brand + L"\\" + appKey, create);
}
