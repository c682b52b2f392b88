#include "study/skin/skin_user_vars.h"

#include <cerrno>

#include "platform/settings/ini_profile.h"
#include "services/shell_files.h"
#include "study/skin/skin_info.h"

namespace study {
namespace {

std::wstring variableKey(const std::wstring& skinFileName, const std::wstring& name) {
  return skinFileName + L"_" + name;
}

void loadValues(std::map<std::wstring, std::wstring>& values, const SkinVariableMap& declared,
                const SkinVariableMap& formerNames, const platform::IniBatch& userFile, const std::wstring& userName,
                const std::wstring& skinFileName) {
  values.clear();
  for (const auto& [name, defaultText] : declared) {
    std::wstring key = variableKey(skinFileName, name);
    // A value saved under the variable's former name counts until one, empty or not, is saved
    // under its name: the former key stays in the file as it was.
    const auto former = formerNames.find(name);
    if (former != formerNames.end() && !userFile.hasKey(userName, key)) key = variableKey(skinFileName, former->second);
    std::wstring value = userFile.getString(userName, key, L"");
    if (!value.empty()) values[name] = std::move(value);
  }
}

// Whether the file took the value; the errno of its first refusal is kept in `refusal`.
bool written(bool taken, int& refusal) {
  if (!taken && refusal == 0) refusal = errno;
  return taken;
}

// False when the file refused a value.
bool saveValues(const std::map<std::wstring, std::wstring>& values, platform::IniBatch& userFile,
                const std::wstring& userName, const std::wstring& skinFileName, int& refusal) {
  bool accepted = true;
  for (const auto& [name, value] : values)
    accepted = written(userFile.writeString(userName, variableKey(skinFileName, name), value), refusal) && accepted;
  return accepted;
}

}  // namespace

std::wstring skinFileName(const std::wstring& skinPath) {
  const PathParts parts(skinPath);
  return parts.fileName + parts.extension;
}

bool loadStyle(SkinUserVars& values, const std::wstring& userFile, const std::wstring& userName,
               const std::wstring& skinFileName, const SkinInfo& skin) {
  const platform::IniBatch file(userFile);
  loadValues(values.fontValues, skin.fontVariables(), skin.formerNames(), file, userName, skinFileName);
  loadValues(values.colorValues, skin.colorVariables(), skin.formerNames(), file, userName, skinFileName);
  values.backgroundColor = file.getString(userName, skinFileName + L"_bgclr", L"");
  values.backgroundImage = file.getString(userName, skinFileName + L"_bgimage", L"");
  return true;
}

bool saveStyle(const SkinUserVars& values, const std::wstring& userFile, const std::wstring& userName,
               const std::wstring& skinFileName) {
  platform::IniBatch file(userFile);
  int refusal = 0;
  bool accepted = saveValues(values.fontValues, file, userName, skinFileName, refusal);
  accepted = saveValues(values.colorValues, file, userName, skinFileName, refusal) && accepted;
  accepted = written(file.writeString(userName, skinFileName + L"_bgclr", values.backgroundColor), refusal) && accepted;
  accepted =
      written(file.writeString(userName, skinFileName + L"_bgimage", values.backgroundImage), refusal) && accepted;
  // A file that could not be read is not written over (commit says why); nor is a part of the
  // values: a value or name the file cannot hold, or a file whose bytes could not take one, keeps
  // all of them as they were.
  if (!accepted && file.readable()) {
    errno = refusal;
    return false;
  }
  return file.commit();
}

}  // namespace study
