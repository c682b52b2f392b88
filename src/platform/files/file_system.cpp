#include "platform/files/file_system.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now, so that a failing close (a full disk on some file systems) is seen.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

std::string temporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return format("%s.tmp-%d-%u", target.c_str(), static_cast<int>(::getpid()), counter++);
}

// A link stays a link: the file it leads to is the one replaced (a settings file kept elsewhere
// and linked into place must not be cut off from its home by the first save).
std::string finalTarget(const std::string& target) {
  struct stat info;
  if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(target.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : target;
}

// Moves the file to a name that must not exist yet, atomically: two writers cannot both win. Where
// the file system cannot refuse a rename, a hard link does the same; where it has neither, the check
// and the move are two steps.
bool moveWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return true;
  }
  if (errno != EPERM && errno != ENOTSUP) return false;
  struct stat existing;
  if (::lstat(to.c_str(), &existing) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Lets fill() write the content next to the target, then renames it over the target. Without
// overwrite the target must not exist. errno tells the cause of a failure.
bool replaceWith(const std::string& linkedTarget, bool overwrite, const std::function<bool(int)>& fill) {
  const std::string target = finalTarget(linkedTarget);
  const std::string temporary = temporaryNameFor(target);
  FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd.valid()) return false;
  struct stat existing;
  if (::stat(target.c_str(), &existing) == 0) ::fchmod(fd.get(), existing.st_mode & 07777);
  bool ok = fill(fd.get()) && ::fsync(fd.get()) == 0;
  ok = fd.close() && ok;
  if (ok) ok = overwrite ? ::rename(temporary.c_str(), target.c_str()) == 0 : moveWithoutReplacing(temporary, target);
  const int cause = errno;
  if (!ok) ::unlink(temporary.c_str());
  errno = cause;
  return ok;
}

// The kernel copies without the bytes passing through the program: a shared copy of the blocks
// where the file system has them (the target is still empty), else copy_file_range. Either may
// be refused (another file system, an old kernel): false before anything was copied.
bool copyInKernel(int from, int to) {
  if (::ioctl(to, FICLONE, from) == 0) return true;
  bool copiedAny = false;
  for (;;) {
    const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied == 0) return copiedAny;
    if (copied < 0) return false;
    copiedAny = true;
  }
}

bool isEarlier(const timespec& a, const timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

bool copyContent(int from, int to) {
  // A kernel copy that stopped part-way has moved both offsets: the loop below goes on from there.
  if (copyInKernel(from, to)) return true;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    if (!writeAll(to, std::string_view(buffer, static_cast<size_t>(got)))) return false;
  }
}

}  // namespace

bool fileExists(const std::wstring& path) {
  struct stat info;
  return !path.empty() && ::stat(toUtf8(path).c_str(), &info) == 0;
}

bool folderExists(const std::wstring& path) {
  struct stat info;
  return !path.empty() && ::stat(toUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool makeFolder(const std::wstring& path) { return ::mkdir(toUtf8(path).c_str(), 0777) == 0; }

bool makeFolderTree(const std::wstring& path) {
  std::error_code error;
  std::filesystem::create_directories(toUtf8(path), error);
  errno = error.value();
  return !error;
}

bool copyFile(const std::wstring& from, const std::wstring& to, bool overwrite) {
  FileDescriptor source(::open(toUtf8(from).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (!source.valid() || ::fstat(source.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return replaceWith(toUtf8(to), overwrite, [&](int target) { return copyContent(source.get(), target); });
}

// Strictly earlier: the file system stamps times in coarse ticks, and a change made in the tick
// the copy was written in would carry the copy's own time.
bool isCopyCurrent(const std::wstring& original, const std::wstring& copy) {
  struct stat from, to;
  timespec now;
  if (::stat(toUtf8(original).c_str(), &from) != 0 || ::stat(toUtf8(copy).c_str(), &to) != 0) return false;
  if (!S_ISREG(from.st_mode) || !S_ISREG(to.st_mode) || from.st_size != to.st_size) return false;
  if (::clock_gettime(CLOCK_REALTIME, &now) != 0 || isEarlier(now, to.st_mtim)) return false;
  return isEarlier(from.st_mtim, to.st_mtim) && isEarlier(from.st_ctim, to.st_mtim);
}

bool deleteFile(const std::wstring& path) { return ::unlink(toUtf8(path).c_str()) == 0; }

std::optional<std::string> readFileBytes(const std::wstring& path) {
  FileDescriptor fd(::open(toUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0) return std::nullopt;
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

UniqueFile openFile(const std::wstring& path, const char* mode) {
  return UniqueFile(std::fopen(toUtf8(path).c_str(), mode));
}

bool writeFileAtomically(const std::wstring& path, std::string_view bytes) {
  const std::string target = toUtf8(path);
  if (replaceWith(target, true, [&](int fd) { return writeAll(fd, bytes); })) return true;
  const int cause = errno;
  traceError("cannot write %s: %s\n", target.c_str(), std::strerror(cause));
  errno = cause;
  return false;
}

}  // namespace platform
