// The program's own key in the registry: HKEY_CURRENT_USER\Software\<brand>\<application key>.
#pragma once

#include <string>

#include "platform/settings/registry_store.h"

using RegistryKey = platform::RegistryKey;

// Opens (with create: makes) the key; false when that fails.
bool openAppRegistryKey(RegistryKey& key, const std::wstring& brand, const std::wstring& appKey, bool create);
