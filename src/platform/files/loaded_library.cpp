#include "platform/files/loaded_library.h"

#include <dlfcn.h>

#include "platform/trace.h"

namespace platform {

void* loadLibrary(const char* fileName, std::string* failure) {
  void* library = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (library) return library;
  const char* reason = ::dlerror();
  traceError("cannot load %s: %s\n", fileName, reason ? reason : "");
  if (failure) *failure = reason ? reason : fileName;
  return nullptr;
}

bool resolveFunction(void* library, const char* name, void*& address) {
  address = ::dlsym(library, name);
  if (!address) traceError("a loaded library has no %s\n", name);
  return address != nullptr;
}

}  // namespace platform
