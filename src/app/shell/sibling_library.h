// A sibling library of the program, loaded from the program folder for one call and let go
// afterwards. The library names are those the messages use ("KlvLib.dll"); on disk the library is
// lib<name>.so beside the program.
#pragma once

#include <string>

class SiblingLibrary {
 public:
  explicit SiblingLibrary(const std::wstring& dllName);
  ~SiblingLibrary();
  SiblingLibrary(const SiblingLibrary&) = delete;
  SiblingLibrary& operator=(const SiblingLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  // The exported function, or null when the library has none of that name.
  template <class Function>
  Function* function(const char* name) const {
    return reinterpret_cast<Function*>(symbol(name));
  }

 private:
  void* symbol(const char* name) const;

  void* handle_ = nullptr;
};
