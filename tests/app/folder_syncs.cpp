#include "folder_syncs.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>

namespace {

std::atomic<bool> watching{false};
std::mutex syncedLock;
std::vector<std::string> syncedFolders;

void keepIfFolder(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode)) return;
  std::error_code error;
  const auto folder = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
  if (error) return;
  const std::lock_guard<std::mutex> hold(syncedLock);
  syncedFolders.push_back(folder.string());
}

}  // namespace

// Found before the C library's by every caller in this program.
extern "C" int fsync(int fd) {
  using Sync = int (*)(int);
  static const auto system = reinterpret_cast<Sync>(::dlsym(RTLD_NEXT, "fsync"));
  const int rc = system(fd);
  if (rc == 0 && watching.load()) {
    const int cause = errno;
    keepIfFolder(fd);
    errno = cause;
  }
  return rc;
}

namespace apptest {

FolderSyncs::FolderSyncs() {
  const std::lock_guard<std::mutex> hold(syncedLock);
  syncedFolders.clear();
  watching = true;
}

FolderSyncs::~FolderSyncs() { watching = false; }

std::vector<std::string> FolderSyncs::synced() const {
  const std::lock_guard<std::mutex> hold(syncedLock);
  return syncedFolders;
}

}  // namespace apptest
