// The template files of a folder as the editors list them, and names for new ones.
#pragma once

#include <string>
#include <vector>

#include "platform/trace.h"

// The "*.ini" files of the folder: "default.ini" first, then the rest by name.
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

// The folder's templates (a sheet or a card template type) in list order, their names made
// unique; a file whose name had to change is written back under the new name.
template <typename Template>
std::vector<ListedTemplate> listTemplates(const std::wstring& folder) {
  std::vector<ListedTemplate> listed;
  std::vector<std::wstring> names;
  for (const std::wstring& path : listTemplateFiles(folder)) {
    Template read;
    read.LoadOrSave(path, false);
    const std::wstring unique = uniqueTemplateName(read.name, names);
    if (unique != read.name) {
      read.name = unique;
      if (!read.LoadOrSave(path, true)) platform::traceError("template: cannot rename %ls\n", path.c_str());
    }
    names.push_back(unique);
    listed.push_back({path, unique});
  }
  return listed;
}
