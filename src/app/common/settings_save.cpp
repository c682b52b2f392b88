#include "app/common/settings_save.h"

#include <cerrno>

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/file_failure.h"

bool saveSettingsOrSay(AppSettings& settings, QWidget* owner) {
  if (settings.saveAll()) return true;
  platform::messageBox(owner, fileFailureText(L"設定を保存できませんでした。", errno), kAppCaption,
                       platform::MbOk | platform::MbIconError);
  return false;
}
