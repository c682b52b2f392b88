// Named locks shared by every process of the user, in place of the original platform's named
// mutexes: lock files under $XDG_RUNTIME_DIR/kelvara/ taken with flock. The system frees a lock
// when its holder ends, crashed or not, so a stale lock never blocks the next start.
#pragma once

#include <string_view>

namespace platform {

class NamedLock {
 public:
  NamedLock() = default;
  ~NamedLock() { unlock(); }
  NamedLock(NamedLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  NamedLock& operator=(NamedLock&& other) noexcept;
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // Takes the lock of that name (after giving up one already held). False when anybody holds
  // it, another object of this process included, or when its lock file cannot be made.
  bool tryLock(std::wstring_view name);
  void unlock();
  bool locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
