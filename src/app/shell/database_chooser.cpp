#include "app/shell/database_chooser.h"

#include <cstdlib>
#include <optional>

#include "app/shell/klv_app.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/shell_files.h"

namespace {

constexpr wchar_t kNotRead[] = L"データベースファイルが読み込めませんでした。";

// Tells the user why the database could not be read and offers an open dialog at `startAt`;
// nothing when cancelled.
std::optional<std::wstring> chooseDatabaseFile(KlvApp& app, const std::wstring& failure, const std::wstring& startAt) {
  app.notice.ShowText(failure + L"\n次のダイアログでデータベースファイルを指定してください。");
  std::wstring chosen;
  if (!chooseFile(nullptr, startAt, chosen, L"*.klvdb7", L"データベースファイルを指定してください",
                  {{L"KLV DB7 File(*.klvdb7)", L"*.klvdb7"}, {L"すべて(*.*)", L"*.*"}}, true))
    return std::nullopt;
  return chosen;
}

}  // namespace

std::wstring databaseOpenFailureText(pdb3::FileRefusal refusal, const std::wstring& path) {
  if (refusal != pdb3::FileRefusal::none) return kNotRead + (L"\n" + fileRefusalText(refusal));
  const std::wstring text = databaseFailureTextWhenKnown(kNotRead);
  // The learner has to find the file to mend its permissions or put a backup in its place.
  const sqliteplus::EngineFailure failure = sqliteplus::lastEngineFailure();
  const bool aboutTheFile = failure == sqliteplus::EngineFailure::unreadable || failure == sqliteplus::EngineFailure::damaged;
  return aboutTheFile && !path.empty() && text.find(path) == std::wstring::npos ? text + L"\n" + path : text;
}

bool ChooseDatabaseUntilOpen(KlvApp& app, std::wstring failure, const DatabaseOpener& open) {
  std::wstring tried = app.settings->databasePath.value;
  for (;;) {
    const std::optional<std::wstring> chosen = chooseDatabaseFile(app, failure, tried);
    if (!chosen) return false;
    KlvApp::DatabaseOpenFailure failed;
    if (open) {
      if (open(*chosen, &failed)) return true;
    } else if (app.OpenDatabaseFile(*chosen, &failed)) {
      // The file is the one in use now: the next start opens it.
      app.settings->databasePath.value = *chosen;
      app.settings->saveAll();
      return true;
    }
    if (std::getenv("KELVARA_AUTOANSWER") && *chosen == tried) return false;
    tried = *chosen;
    failure = failed.text;
  }
}
