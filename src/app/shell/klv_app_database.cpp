// What the application object keeps about the database file it has open: the open itself, and
// what is looked up in the file after every open that succeeded.
#include <cstdlib>

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

namespace {

constexpr wchar_t kUserNotRegistered[] = L"利用者をデータベースに登録できませんでした。";
constexpr wchar_t kSmartLearningNotMade[] = L"スマート学習リスト（SmartLearning/1）をデータベースに作成できませんでした。";

}  // namespace

bool KlvApp::TakeUpOpenedDatabase() {
  currentSetId = -1;
  currentUserId = -1;
  smartLearningSetId = -1;
  smartLearningRefused_ = false;
  userUntold_.reset();
  smartLearningUntold_.reset();
  if (!SelectSettingsUser()) {
    userUntold_ = KeptFailureCause::noted();
    return false;
  }
  // Without the memory rates smart learning cannot run: no list is made, and the open has said why.
  if (memoryRates == pdb3::MemoryRateTable::present && !EnsureSmartLearningSet())
    smartLearningUntold_ = KeptFailureCause::noted();
  return true;
}

bool KlvApp::EnsureSmartLearningSet(QWidget* owner, FailureReport say) {
  if (smartLearningSetId >= 0) return true;
  if (smartLearningUnavailable()) return false;
  smartLearningSetId = pdb3::EnsureSmartLearningBinder(db);
  if (smartLearningSetId >= 0) return true;
  smartLearningRefused_ = !lastFailurePasses();
  if (smartLearningRefused_) smartLearningRefusal_ = KeptFailureCause::noted();
  if (say) say(owner, smartLearningRefused_ ? kSmartLearningUnavailable : kSmartLearningNotMade, kAppCaption);
  return false;
}

bool KlvApp::smartLearningUnavailable() const {
  return memoryRates != pdb3::MemoryRateTable::present || smartLearningRefused_;
}

void KlvApp::TellWhySmartLearningIsUnavailable(QWidget* owner) {
  if (memoryRates != pdb3::MemoryRateTable::present) {
    reportUnmadeChangeAsSaid(owner, missingMemoryRatesText(memoryRates), kAppCaption);
  } else if (smartLearningRefused_) {
    smartLearningRefusal_.noteAgain();
    reportUnmadeChange(owner, kSmartLearningUnavailable, kAppCaption);
  }
}

bool KlvApp::fileLacksUntold() const { return missingMemoryRatesUntold_ || userUntold_ || smartLearningUntold_; }

bool KlvApp::TellWhatTheFileLacks(QWidget* owner) {
  // Unattended, the box answers alike each time: a second failure ends the asking.
  bool offered = false;
  while (userUntold_) {
    userUntold_->noteAgain();
    const bool unattended = std::getenv("KELVARA_AUTOANSWER") != nullptr;
    if (!lastFailurePasses() || (unattended && offered)) {
      reportUnmadeChange(owner, kUserNotRegistered);
    } else if ((offered = offerRetryOfUnmadeChange(owner, kUserNotRegistered))) {
      TakeUpOpenedDatabase();
      continue;
    }
    // Nobody can study in this file: what smart learning lacks there no longer matters.
    userUntold_.reset();
    smartLearningUntold_.reset();
    missingMemoryRatesUntold_ = false;
    return false;
  }
  TellMissingMemoryRates(owner);
  if (smartLearningUntold_) {
    smartLearningUntold_->noteAgain();
    reportFailedRead(owner, smartLearningRefused_ ? kSmartLearningUnavailable : kSmartLearningNotMade);
    smartLearningUntold_.reset();
  }
  return true;
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
  TakeUpOpenedDatabase();
  // The learner may have the user tried again there, once another program has let go.
  if (TellWhatTheFileLacks(owner)) return Reopened::takenUp;
  recordFailure(ExitDataUnusable);
  return Reopened::closing;
}
