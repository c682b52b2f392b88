#include "study/skin_user_vars.h"

#include "platform/ini_profile.h"
#include "study/skin_info.h"

#include <filesystem>

namespace study {
namespace {

std::wstring variableKey(const std::wstring& skinFileName, const std::wstring& name) {
  return skinFileName + L"_" + name;
}

void loadValues(std::map<std::wstring, std::wstring>& values, const SkinVariableMap& declared,
                const std::wstring& userFile, const std::wstring& userName, const std::wstring& skinFileName) {
  values.clear();
  for (const auto& [name, defaultText] : declared) {
    std::wstring value = platform::getProfileString(userName, variableKey(skinFileName, name), L"", userFile);
    if (!value.empty()) values[name] = std::move(value);
  }
}

void saveValues(const std::map<std::wstring, std::wstring>& values, const std::wstring& userFile,
                const std::wstring& userName, const std::wstring& skinFileName) {
  for (const auto& [name, value] : values)
    platform::writeProfileString(userName, variableKey(skinFileName, name), value, userFile);
}

}  // namespace

std::wstring skinFileName(const std::wstring& skinPath) {
  return std::filesystem::path(skinPath).filename().wstring();
}

bool loadStyle(SkinUserVars& values, const std::wstring& userFile, const std::wstring& userName,
               const std::wstring& skinFileName, const SkinInfo& skin) {
  loadValues(values.fontValues, skin.fontVariables(), userFile, userName, skinFileName);
  loadValues(values.colorValues, skin.colorVariables(), userFile, userName, skinFileName);
  values.backgroundColor = platform::getProfileString(userName, skinFileName + L"_bgclr", L"", userFile);
  values.backgroundImage = platform::getProfileString(userName, skinFileName + L"_bgimage", L"", userFile);
  return true;
}

bool saveStyle(const SkinUserVars& values, const std::wstring& userFile, const std::wstring& userName,
               const std::wstring& skinFileName) {
  saveValues(values.fontValues, userFile, userName, skinFileName);
  saveValues(values.colorValues, userFile, userName, skinFileName);
  platform::writeProfileString(userName, skinFileName + L"_bgclr", values.backgroundColor, userFile);
  platform::writeProfileString(userName, skinFileName + L"_bgimage", values.backgroundImage, userFile);
  return true;
}

}  // namespace study
