#include "app/common/settings_save.h"

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"

bool saveSettingsOrSay(AppSettings& settings, QWidget* owner) {
  if (settings.saveAll()) return true;
  platform::messageBox(owner, L"設定を保存できませんでした。", kAppCaption, platform::MbOk | platform::MbIconError);
  return false;
}
