#include "app/shell/old_files.h"

#include "app/shell/sibling_library.h"
#include "platform/windows/notifier.h"

bool CallUpdateOldFiles() {
  const SiblingLibrary library(L"KlvLib.dll");
  if (!library.loaded()) {
    platform::messageBox(nullptr, L"KlvLib.dll が見つかりません", L"");
    return false;
  }
  using UpdateOldFiles = int(int, int, int);
  auto* update = library.function<UpdateOldFiles>("UpdateOldFiles");
  if (!update) {
    platform::messageBox(nullptr, L"UpdateOldLogfile 関数を取得できませんでした。", L"");
    return false;
  }
  const int result = update(0, 0, 0);
  return result == 0 || result == 1;
}
