#include "app/shell/sibling_library.h"

#include <dlfcn.h>

#include "platform/text.h"
#include "platform/trace.h"
#include "services/shell_files.h"

SiblingLibrary::SiblingLibrary(const std::wstring& dllName) {
  std::wstring stem = dllName;
  if (stem.size() > 4 && stem.ends_with(L".dll")) stem.resize(stem.size() - 4);
  const std::string path = platform::toUtf8(programFolder() + L"lib" + stem + L".so");
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) platform::traceError("sibling library: %s\n", ::dlerror());
}

SiblingLibrary::~SiblingLibrary() {
  if (handle_) ::dlclose(handle_);
}

void* SiblingLibrary::symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }
