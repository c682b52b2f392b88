// Libraries the program loads when it first needs them instead of when it starts: each library
// linked to the program, with the ones under it, costs every start its loading and relocation.
#pragma once

#include <string>

namespace platform {

// The library by its versioned file name ("libcurl.so.4"), loaded on the first call and kept for
// the whole run; null when it cannot be loaded, with the loader's reason in `failure` and traced.
void* loadLibrary(const char* fileName, std::string* failure = nullptr);

// Sets `function` to the library's function of that name; false (and traced) when it has none.
bool resolveFunction(void* library, const char* name, void*& address);
template <class Function>
bool resolveFunction(void* library, const char* name, Function& function) {
  void* address = nullptr;
  const bool found = resolveFunction(library, name, address);
  function = reinterpret_cast<Function>(address);
  return found;
}

}  // namespace platform
