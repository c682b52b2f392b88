// The template files of a folder as the editors list them, and names for new ones.
#pragma once

#include <cerrno>
#include <string>
#include <vector>

#include "platform/files/file_system.h"
#include "platform/trace.h"

// The template file name the program creates and loads first in a template folder.
inline constexpr wchar_t kDefaultTemplateFile[] = L"default.ini";

// The "*.ini" files of the folder: "default.ini" first (anything of that name), then the rest by name.
std::vector<std::wstring> listTemplateFiles(const std::wstring& folder);

// prefix + the number in `width` digits + suffix, for the numbers from `first` on: the first that
// names no file and is not among `taken`.
std::wstring uniqueFileName(const std::wstring& prefix, int width, int first, const std::wstring& suffix,
                            const std::vector<std::wstring>& taken = {});

// The name itself when no entry has it (without regard to case), else the first free
// "name(1)", "name(2)", ...; the name itself when none up to 999 is free.
std::wstring uniqueTemplateName(const std::wstring& name, const std::vector<std::wstring>& names);

struct ListedTemplate {
  std::wstring path;
  std::wstring name;
};

struct TemplateList {
  std::vector<ListedTemplate> listed;
  // The files that could not be read, each with its cause, for one box; empty when every one was.
  std::wstring unreadable;
};

// The default template file of the folder.
std::wstring defaultTemplatePath(const std::wstring& folder);
// Adds the read failure of the template file to the text of `list.unreadable`.
void noteUnreadableTemplate(TemplateList& list, const std::wstring& path, int error);

// The folder's templates (a sheet or a card template type) in list order, their names made
// unique; a file whose name had to change is written back under the new name. The default
// template comes first: when its file is missing (it could not be made), it is listed under the
// built-in name and its file is written at its next save. A file that cannot be read is left
// out, so that it is neither shown as an empty template nor written over.
template <typename Template>
TemplateList listTemplates(const std::wstring& folder) {
  TemplateList list;
  std::vector<std::wstring> names;
  const std::wstring defaultPath = defaultTemplatePath(folder);
  if (!platform::fileExists(defaultPath)) {
    names.push_back(Template().name);
    list.listed.push_back({defaultPath, names.back()});
  }
  for (const std::wstring& path : listTemplateFiles(folder)) {
    Template read;
    if (!read.LoadOrSave(path, false)) {
      noteUnreadableTemplate(list, path, errno);
      continue;
    }
    const std::wstring unique = uniqueTemplateName(read.name, names);
    if (unique != read.name) {
      read.name = unique;
      if (!read.LoadOrSave(path, true)) platform::traceError("template: cannot rename %ls\n", path.c_str());
    }
    names.push_back(unique);
    list.listed.push_back({path, unique});
  }
  return list;
}
