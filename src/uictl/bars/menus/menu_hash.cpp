#include "uictl/bars/menus/menu_hash.h"

#include "platform/settings/archive.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/ux_registry.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace platform;

namespace {

// A file nobody else can open: its name is removed at once, so it goes with its descriptor.
int createAnonymousTempFile() {
  QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/UXTXXXXXX"));
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return -1;
  unlink(pattern.constData());
  return fd;
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool readAll(int fd, std::vector<uint8_t>& bytes) {
  if (lseek(fd, 0, SEEK_SET) != 0) return false;
  uint8_t chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
}

}  // namespace

MenuHash::~MenuHash() { RemoveAll(); }

void MenuHash::RemoveAll() {
  for (const auto& [menu, fd] : files_) ::close(fd);
  files_.clear();
}

bool MenuHash::SaveMenuBar(MenuHandle menu, CUxToolBar* bar) {
  if (!bar || bar->GetCount() == 0) return false;
  RemoveMenu(menu);
  std::vector<uint8_t> bytes;
  if (!archiveSafely([&] {
        Archive ar(Archive::Store, bytes);
        bar->Serialize(ar);
      }))
    return false;
  const int fd = createAnonymousTempFile();
  if (fd < 0) return false;
  if (!writeAll(fd, bytes)) {
    ::close(fd);
    return false;
  }
  files_[menu.id()] = fd;
  return true;
}

bool MenuHash::LoadMenuBar(MenuHandle menu, CUxToolBar* bar) {
  const auto found = files_.find(menu.id());
  if (found == files_.end() || !bar) return false;
  std::vector<uint8_t> bytes;
  return readAll(found->second, bytes) && archiveSafely([&] {
           Archive ar(Archive::Load, bytes);
           bar->Serialize(ar);
         });
}

bool MenuHash::RemoveMenu(MenuHandle menu) {
  const auto found = files_.find(menu.id());
  if (found == files_.end()) return false;
  ::close(found->second);
  files_.erase(found);
  return true;
}

MenuHash& menuHash() {
  static MenuHash hash;
  return hash;
}
