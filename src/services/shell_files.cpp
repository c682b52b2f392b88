#include "services/shell_files.h"

#include "platform/files/folders.h"
#include "platform/windows/notifier.h"
#include "platform/files/process.h"
#include "platform/files/shell_open.h"

PathParts::PathParts(const std::wstring& path) {
  const size_t slash = path.rfind(L'/');
  const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
  directory = path.substr(0, nameStart);
  const std::wstring name = path.substr(nameStart);
  const size_t dot = name.rfind(L'.');
  fileName = dot == std::wstring::npos ? name : name.substr(0, dot);
  extension = dot == std::wstring::npos ? L"" : name.substr(dot);
}

std::wstring PathParts::GetFolder() const {
  std::wstring folder = drive + directory;
  if (folder.size() > 1 && folder.back() == L'/') folder.pop_back();
  return folder;
}

std::wstring programFolder() { return platform::programFolder() + L"/"; }

bool getSpecialFolder(int csidl, std::wstring& out) {
  using platform::SpecialFolder;
  if (csidl != static_cast<int>(SpecialFolder::Desktop) && csidl != static_cast<int>(SpecialFolder::Documents))
    return false;
  const auto folder = platform::specialFolder(static_cast<SpecialFolder>(csidl));
  if (!folder) return false;
  out = *folder;
  return true;
}

bool createFolder(const std::wstring& path) {
  if (path == L"/") return true;
  std::wstring folder = path;
  if (folder.size() > 1 && folder.back() == L'/') folder.pop_back();
  if (platform::folderExists(folder)) return true;
  std::wstring problem;
  if (platform::fileExists(folder))
    problem = path + L" - 同じ名前のファイルが既に存在するのでフォルダが作成できません。";
  else if (!platform::makeFolder(folder))
    problem = path + L" のフォルダ作成に失敗しました。";
  else
    return true;
  platform::messageBox(nullptr, problem, L"Error", platform::MbIconError);
  return false;
}

bool createFolderTree(const std::wstring& path) {
  if (path.empty() || path.front() != L'/') return createFolder(path);
  for (size_t slash = path.find(L'/', 1); slash != std::wstring::npos; slash = path.find(L'/', slash + 1))
    if (!createFolder(path.substr(0, slash + 1))) return false;
  // A path without its trailing "/" still names a folder to make.
  return path.back() == L'/' || createFolder(path + L"/");
}

bool launchProcess(const std::wstring& commandLine, const std::wstring& workingFolder) {
  return platform::startProcess(commandLine, workingFolder).has_value();
}

bool ShellOpen(const std::wstring& target) { return platform::shellOpen(target); }

bool OpenWithShell(const std::wstring& path) { return platform::shellOpen(path); }

bool browseForFolder(QWidget* owner, const std::wstring& initialFolder, std::wstring& out) {
  const auto chosen = platform::chooseFolder(owner, L"フォルダを選択してください", initialFolder);
  if (!chosen) return false;
  out = *chosen;
  return true;
}

bool chooseFile(QWidget* owner, const std::wstring& initialFile, std::wstring& out, const std::wstring& defaultExtension,
                const std::wstring& title, const std::vector<platform::FileFilter>& filters, bool open) {
  const auto chosen = platform::chooseFile(owner, {open, title, initialFile, defaultExtension, filters});
  if (!chosen) return false;
  out = *chosen;
  return !open || platform::fileExists(out);
}
