#include "app/printing/template_files.h"

#include <QDir>
#include <algorithm>

#include "platform/files/file_system.h"
#include "platform/trace.h"
#include "services/file_failure.h"

std::wstring defaultTemplatePath(const std::wstring& folder) { return folder + L"/" + kDefaultTemplateFile; }

void noteUnreadableTemplate(TemplateList& list, const std::wstring& path, int error) {
  if (!list.unreadable.empty()) list.unreadable += L"\n\n";
  list.unreadable += fileReadFailureText(L"テンプレートを読み込めませんでした: " + path, error);
}

std::vector<std::wstring> listTemplateFiles(const std::wstring& folder) {
  QStringList names = QDir(QString::fromStdWString(folder)).entryList({"*.ini"}, QDir::Files, QDir::Name);
  const QString defaultFile = QString::fromWCharArray(kDefaultTemplateFile);
  // Whatever stands under the default's name is listed, to be read or said to be unreadable.
  if (!names.contains(defaultFile) && platform::fileExists(defaultTemplatePath(folder))) names.prepend(defaultFile);
  std::stable_partition(names.begin(), names.end(), [&](const QString& name) { return name == defaultFile; });
  std::vector<std::wstring> paths;
  for (const QString& name : names) paths.push_back(folder + L"/" + name.toStdWString());
  return paths;
}

std::wstring uniqueFileName(const std::wstring& prefix, int width, int first, const std::wstring& suffix,
                            const std::vector<std::wstring>& taken) {
  for (int number = first;; ++number) {
    const std::wstring candidate = platform::format(L"%ls%0*d%ls", prefix.c_str(), width, number, suffix.c_str());
    if (!platform::fileExists(candidate) && std::find(taken.begin(), taken.end(), candidate) == taken.end())
      return candidate;
  }
}

std::wstring uniqueTemplateName(const std::wstring& name, const std::vector<std::wstring>& names) {
  auto taken = [&names](const std::wstring& candidate) {
    const QString wanted = QString::fromStdWString(candidate);
    return std::any_of(names.begin(), names.end(), [&wanted](const std::wstring& existing) {
      return QString::fromStdWString(existing).compare(wanted, Qt::CaseInsensitive) == 0;
    });
  };
  if (!taken(name)) return name;
  for (int i = 1; i < 1000; ++i) {
    const std::wstring candidate = platform::format(L"%ls(%d)", name.c_str(), i);
    if (!taken(candidate)) return candidate;
  }
  return name;
}
