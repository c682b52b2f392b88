// What every test executable shares: an isolated home and configuration, and the project's folders.
#pragma once

#include <linux/capability.h>
#include <sys/resource.h>

#include <cstddef>
#include <string>

namespace testenv {

// The source tree (resources/ and fixtures live there).
std::string sourceDir();
// The build's program folder: the executable and the files start-up asks for.
std::string programDir();
// A folder private to this test process; HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR point below it.
std::string processDir();
// The running test's home (HOME): every test starts with an empty one of its own.
std::string homeDir();

// A full disk, as far as this process's writes see: files cannot grow beyond `bytes` while it lives
// (the write fails with EFBIG instead of raising SIGXFSZ).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(size_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

// File permissions as any other user meets them, on the calling thread while it lives: root's right
// to read, write and search past them set aside (for another user nothing changes). When the
// thread's capabilities cannot be read or lowered, the test fails and they are left as they are.
class PermissionsApply {
 public:
  PermissionsApply();
  ~PermissionsApply();
  PermissionsApply(const PermissionsApply&) = delete;
  PermissionsApply& operator=(const PermissionsApply&) = delete;

 private:
  __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
  bool lowered_ = false;
};

}  // namespace testenv
