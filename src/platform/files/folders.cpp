#include "platform/files/folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <QStandardPaths>
#include <QString>
#include <mutex>
#include <vector>

#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

std::mutex gLock;
std::optional<std::wstring> gProgramFolder;

}  // namespace

std::string runtimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/kelvara";
  return "/tmp/kelvara-" + std::to_string(::getuid());
}

std::optional<std::string> privateRuntimeFolder() {
  const std::string folder = runtimeFolder();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    traceError("runtime folder: cannot make %s: %s\n", folder.c_str(), std::strerror(errno));
    return std::nullopt;
  }
  struct stat info;
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
    traceError("runtime folder: %s is not a folder of this user's\n", folder.c_str());
    return std::nullopt;
  }
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
    traceError("runtime folder: cannot close %s to other users: %s\n", folder.c_str(), std::strerror(errno));
    return std::nullopt;
  }
  return folder;
}

std::wstring programPath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) return fromUtf8(std::string_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring programFolder() {
  {
    std::lock_guard guard(gLock);
    if (gProgramFolder) return *gProgramFolder;
  }
  const std::wstring path = programPath();
  const size_t slash = path.rfind(L'/');
  return slash == std::wstring::npos || slash == 0 ? std::wstring(slash == 0 ? L"/" : L"") : path.substr(0, slash);
}

std::optional<std::wstring> specialFolder(SpecialFolder which) {
  const QString path = QStandardPaths::writableLocation(
      which == SpecialFolder::Desktop ? QStandardPaths::DesktopLocation : QStandardPaths::DocumentsLocation);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdWString();
}

std::optional<std::wstring> userDataFolder() {
  const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (path.isEmpty()) return std::nullopt;
  return (path + QStringLiteral("/kelvara")).toStdWString();
}

ProgramFolderOverride::ProgramFolderOverride(std::wstring folder) {
  std::lock_guard guard(gLock);
  previous_ = gProgramFolder;
  gProgramFolder = std::move(folder);
}

ProgramFolderOverride::~ProgramFolderOverride() {
  std::lock_guard guard(gLock);
  gProgramFolder = previous_;
}

}  // namespace platform
