#include "app/shell/database_chooser.h"

#include <cstdlib>

#include "app/shell/klv_app.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/shell_files.h"

std::wstring databaseOpenFailureText() {
  return databaseFailureTextWhenKnown(L"データベースファイルが読み込めませんでした。");
}

bool ChooseDatabaseFile(KlvApp& app, const std::wstring& failure) {
  app.notice.ShowText(failure + L"\n次のダイアログでデータベースファイルを指定してください。");
  StringSetting& path = app.settings->databasePath;
  std::wstring chosen;
  if (!chooseFile(nullptr, path.value, chosen, L"*.klvdb7", L"データベースファイルを指定してください",
                  {{L"KLV DB7 File(*.klvdb7)", L"*.klvdb7"}, {L"すべて(*.*)", L"*.*"}}, true))
    return false;
  path.value = chosen;
  app.settings->saveAll();
  return true;
}

bool ChooseDatabaseUntilOpen(KlvApp& app, std::wstring failure) {
  for (;;) {
    const std::wstring failed = app.settings->databasePath.value;
    if (!ChooseDatabaseFile(app, failure)) return false;
    if (app.OpenDatabase()) return true;
    failure = databaseOpenFailureText();
    if (std::getenv("KELVARA_AUTOANSWER") && app.settings->databasePath.value == failed) return false;
  }
}
