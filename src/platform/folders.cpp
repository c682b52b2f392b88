#include "platform/folders.h"

#include <unistd.h>

#include <cstdlib>

#include <QStandardPaths>
#include <QString>
#include <mutex>
#include <vector>

#include "platform/text.h"

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
