// What the application object keeps about the database file it has open: the open itself, and
// what is looked up in the file after every open that succeeded.
#include "app/common/modal_dialog.h"
#include "app/shell/database_chooser.h"
#include "app/shell/klv_app.h"
#include "database/database_file.h"
#include "database/folders/folders.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/user_action.h"

bool KlvApp::OpenDatabase() {
  if (!settings || !pdb3::openDatabaseFile(db, settings->databasePath.value, &memoryRates)) return false;
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
  platform::messageBox(owner, missingMemoryRatesText(memoryRates == pdb3::MemoryRateTable::nameTaken), kAppCaption,
                       platform::MbOk | platform::MbIconWarning);
}

bool KlvApp::ReopenDatabase(QWidget* owner) {
  if (!OpenDatabase() && !ChooseDatabaseUntilOpen(*this)) return false;
  const bool taken = TakeUpOpenedDatabase();
  TellWhatTheFileLacks(owner);
  if (!taken) recordFailure(ExitDataUnusable);
  return taken;
}
