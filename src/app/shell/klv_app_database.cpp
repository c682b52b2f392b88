// What the application object keeps about the database file it has open: the open itself, and
// what is looked up in the file after every open that succeeded.
#include "app/common/modal_dialog.h"
#include "app/common/settings_save.h"
#include "app/shell/database_chooser.h"
#include "app/shell/klv_app.h"
#include "database/database_file.h"
#include "database/folders/folders.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/user_action.h"

bool KlvApp::OpenDatabase(DatabaseOpenFailure* failure) {
  return settings && OpenDatabaseFile(settings->databasePath.value, failure);
}

bool KlvApp::OpenDatabaseFile(const std::wstring& path, DatabaseOpenFailure* failure) {
  // A file that does not open must not cost the learner the one that is open.
  sqliteplus::SqliteConnection opened;
  pdb3::FileFindings found;
  if (!pdb3::openDatabaseFile(opened, path, &found)) {
    if (failure) {
      failure->text = databaseOpenFailureText(found.refusal);
      failure->mayPass =
          found.refusal == pdb3::FileRefusal::none && sqliteplus::failureMayPass(sqliteplus::lastEngineFailure());
    }
    return false;
  }
  db.swap(opened);
  openedPath_ = path;
  if (settings) settings->databasePath.value = path;
  memoryRates = found.memoryRates;
  missingMemoryRatesUntold_ = memoryRates != pdb3::MemoryRateTable::present;
  return true;
}

bool KlvApp::TakeUpOpenedDatabase() {
  currentSetId = -1;
  smartLearningSetId = -1;
  userUntold_.clear();
  smartLearningUntold_.clear();
  if (!SelectSettingsUser()) {
    userUntold_ = databaseFailureTextWhenKnown(L"利用者をデータベースに登録できませんでした。");
    return false;
  }
  // Without the memory rates smart learning cannot run: no list is made, and the open has said why.
  if (memoryRates != pdb3::MemoryRateTable::present) return true;
  smartLearningSetId = pdb3::EnsureSmartLearningBinder(db);
  if (smartLearningSetId < 0) smartLearningUntold_ = databaseFailureTextWhenKnown(kSmartLearningUnavailable);
  return true;
}

bool KlvApp::fileLacksUntold() const {
  return missingMemoryRatesUntold_ || !userUntold_.empty() || !smartLearningUntold_.empty();
}

void KlvApp::TellWhatTheFileLacks(QWidget* owner) {
  if (!userUntold_.empty()) {
    // Nobody can study in this file: what smart learning lacks there no longer matters.
    if (unmadeChangeToBeSaid(userUntold_)) platform::messageBox(owner, userUntold_, kAppCaption, platform::MbIconError);
    userUntold_.clear();
    smartLearningUntold_.clear();
    missingMemoryRatesUntold_ = false;
    return;
  }
  TellMissingMemoryRates(owner);
  if (!smartLearningUntold_.empty() && failedReadToBeSaid(smartLearningUntold_))
    platform::messageBox(owner, smartLearningUntold_, kAppCaption, platform::MbOk | platform::MbIconError);
  smartLearningUntold_.clear();
}

void KlvApp::TellMissingMemoryRates(QWidget* owner) {
  if (!missingMemoryRatesUntold_) return;
  missingMemoryRatesUntold_ = false;
  platform::messageBox(owner, missingMemoryRatesText(memoryRates), kAppCaption,
                       platform::MbOk | platform::MbIconWarning);
}

void KlvApp::NameTheOpenFileAgain(QWidget* owner) {
  // A connection opened by other means than OpenDatabaseFile is known by the engine's name of it.
  const std::wstring open = openedPath_.empty() ? db.fileName() : openedPath_;
  if (!settings || open.empty() || settings->databasePath.value == open) return;
  settings->databasePath.value = open;
  saveSettingsOrSay(*settings, owner);
}

KlvApp::Reopened KlvApp::ReopenDatabase(QWidget* owner) {
  DatabaseOpenFailure failure;
  if (!OpenDatabase(&failure)) {
    // Another program holding the file past the wait is no reason to give up the file that is open.
    if (failure.mayPass && db.isOpen()) {
      NameTheOpenFileAgain(owner);
      reportUnmadeChange(owner, L"データベースを開き直せませんでした。これまでのデータベースをそのまま使います。",
                         kAppCaption);
      return Reopened::keptOpenFile;
    }
    if (!ChooseDatabaseUntilOpen(*this, failure.text)) {
      NameTheOpenFileAgain(owner);
      recordFailure(ExitDatabaseNotOpened);
      return Reopened::closing;
    }
  }
  const bool taken = TakeUpOpenedDatabase();
  TellWhatTheFileLacks(owner);
  if (taken) return Reopened::takenUp;
  recordFailure(ExitDataUnusable);
  return Reopened::closing;
}
