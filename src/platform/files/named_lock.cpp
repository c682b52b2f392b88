#include "platform/files/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files/folders.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

// Any name becomes a safe file name: unusual bytes (and "%") are written as %XX, so two
// different names never share a lock file.
std::string fileNameFor(std::wstring_view name) {
  std::string safe;
  for (unsigned char c : toUtf8(name)) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
        c == '.')
      safe += static_cast<char>(c);
    else
      safe += format("%%%02X", c);
  }
  return safe + ".lock";
}

}  // namespace

NamedLock& NamedLock::operator=(NamedLock&& other) noexcept {
  if (this != &other) {
    unlock();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool NamedLock::tryLock(std::wstring_view name) {
  unlock();
  const std::optional<std::string> folder = privateRuntimeFolder();
  if (!folder) return false;
  const std::string path = *folder + "/" + fileNameFor(name);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    traceError("named lock: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void NamedLock::unlock() {
  // Closing the only descriptor of the open file releases the flock; the file itself stays,
  // since removing it would let a newcomer lock a fresh file while another waits on the old one.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace platform
