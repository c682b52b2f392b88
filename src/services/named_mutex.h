// A mutex named for every process of the user. As with the original's named mutexes, the name
// exists from Create until Close (so a second Create anywhere fails even after Release); the
// system frees it when its holder ends.
#pragma once

#include <string>

#include "platform/files/named_lock.h"

class NamedMutex {
 public:
  NamedMutex() = default;
  ~NamedMutex() {
    Release();
    Close();
  }
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // False when a mutex of that name exists (held by anyone, this object included), or when it
  // cannot be made; then this object holds nothing. Otherwise it is made and owned.
  bool Create(const std::wstring& name);
  // Gives up ownership; the name stays taken until Close. False when not owned.
  bool Release();
  // Lets the name go. False when nothing is held.
  bool Close();
  bool owned() const { return owned_; }

 private:
  platform::NamedLock lock_;
  bool owned_ = false;
};
