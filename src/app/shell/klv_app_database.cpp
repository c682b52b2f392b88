// What the application object keeps about the database file it has open: the open itself, and
// what is looked up in the file after every open that succeeded.
#include <cstdlib>
#include <functional>

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
  if (!OpenFileApart(path, opened, found, failure)) return false;
  ReplaceOpenFile(opened, path, found);
  return true;
}

bool KlvApp::OpenFileApart(const std::wstring& path, sqliteplus::SqliteConnection& opened, pdb3::FileFindings& found,
                           DatabaseOpenFailure* failure) {
  if (pdb3::openDatabaseFile(opened, path, &found)) return true;
  if (failure) {
    failure->text = databaseOpenFailureText(found.refusal, path);
    failure->mayPass =
        found.refusal == pdb3::FileRefusal::none && sqliteplus::lastFailureMayPass();
  }
  return false;
}

void KlvApp::ReplaceOpenFile(sqliteplus::SqliteConnection& opened, const std::wstring& path,
                             const pdb3::FileFindings& found) {
  db.swap(opened);
  openedPath_ = path;
  if (settings) settings->databasePath.value = path;
  memoryRates = found.memoryRates;
  missingMemoryRatesUntold_ = memoryRates != pdb3::MemoryRateTable::present;
}

namespace {

constexpr wchar_t kUserNotRegistered[] = L"利用者をデータベースに登録できませんでした。";
constexpr wchar_t kSmartLearningNotMade[] = L"スマート学習リスト（SmartLearning/1）をデータベースに作成できませんでした。";
constexpr wchar_t kOpenFileKept[] = L"これまでのデータベースをそのまま使います。";
constexpr wchar_t kNotReopened[] = L"データベースを開き直せませんでした。これまでのデータベースをそのまま使います。";
constexpr wchar_t kNotReopenedNorKept[] =
    L"データベースを開き直せませんでした。これまでのデータベースは移動、削除または置き換えられたため、使えません。";

// Says that `what` failed for the cause noted last and, while it may pass, offers to try again.
// Unattended, the box answers alike each time: after one try (`offered`) a failure ends the asking.
// True on the learner's word.
bool offerToTryAgain(QWidget* owner, const wchar_t* what, bool& offered) {
  const bool unattended = std::getenv("KELVARA_AUTOANSWER") != nullptr;
  if (!sqliteplus::lastFailureMayPass() || (unattended && offered)) {
    reportUnmadeChange(owner, what);
    return false;
  }
  offered = offerRetryOfUnmadeChange(owner, what);
  return offered;
}

// While `untold` holds why there is no user to study as: says so, and while the cause may pass
// offers to try again, `tryAgain` looking the user up anew (it empties `untold` once there is one).
// False, `untold` emptied, when there is still no user.
bool haveUserOrSay(QWidget* owner, std::optional<KeptFailureCause>& untold, const std::function<void()>& tryAgain) {
  bool offered = false;
  while (untold) {
    untold->noteAgain();
    if (offerToTryAgain(owner, kUserNotRegistered, offered)) {
      tryAgain();
      continue;
    }
    untold.reset();
    return false;
  }
  return true;
}

// A file named in the options that did not open: why, the file, and what the learner goes on with.
std::wstring namedFileNotOpenedText(const std::wstring& failure, const std::wstring& path) {
  const bool named = failure.find(path) != std::wstring::npos;
  return failure + (named ? L"" : L"\n" + path) + L"\n" + kOpenFileKept;
}

// The settings' own file that did not open, and no other chosen in its place: why, the file, and
// what the learner goes on with. A file that is not there was not read and failed: it is missing.
std::wstring ownFileGivenUpText(const std::wstring& failure, bool gone, const std::wstring& path) {
  return gone ? missingDatabaseText(path) + L"\n" + kOpenFileKept : namedFileNotOpenedText(failure, path);
}

}  // namespace

KlvApp::FileTakeUp KlvApp::TakeUp(sqliteplus::SqliteConnection& file, pdb3::MemoryRateTable rates) const {
  FileTakeUp taken;
  taken.userId = settings ? FindOrRegisterUser(pdb3::openQuery(file), settings->userName.value) : -1;
  if (taken.userId < 0) {
    taken.userUntold = KeptFailureCause::noted();
    return taken;
  }
  // Without the memory rates smart learning cannot run: no list is made, and the open has said why.
  if (rates != pdb3::MemoryRateTable::present) return taken;
  taken.smartLearningSetId = pdb3::EnsureSmartLearningBinder(file);
  if (taken.smartLearningSetId < 0) {
    taken.smartLearningRefused = !sqliteplus::lastFailureMayPass();
    taken.smartLearningUntold = KeptFailureCause::noted();
  }
  return taken;
}

void KlvApp::KeepTakeUp(FileTakeUp taken) {
  currentSetId = -1;
  currentUserId = taken.userId;
  smartLearningSetId = taken.smartLearningSetId;
  smartLearningRefused_ = taken.smartLearningRefused;
  if (smartLearningRefused_) smartLearningRefusal_ = *taken.smartLearningUntold;
  userUntold_ = std::move(taken.userUntold);
  smartLearningUntold_ = std::move(taken.smartLearningUntold);
}

bool KlvApp::TakeUpOpenedDatabase() {
  KeepTakeUp(TakeUp(db, memoryRates));
  return !userUntold_;
}

bool KlvApp::EnsureSmartLearningSet(QWidget* owner, FailureReport say) {
  if (smartLearningSetId >= 0) return true;
  if (smartLearningUnavailable()) return false;
  smartLearningSetId = pdb3::EnsureSmartLearningBinder(db);
  if (smartLearningSetId >= 0) return true;
  smartLearningRefused_ = !sqliteplus::lastFailureMayPass();
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
  if (!haveUserOrSay(owner, userUntold_, [this] { TakeUpOpenedDatabase(); })) {
    // Nobody can study in this file: what smart learning lacks there no longer matters.
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
  // The text names its cause: what the open found in the file.
  reportUnmadeChangeAsSaid(owner, missingMemoryRatesText(memoryRates), kAppCaption);
}

void KlvApp::NameTheOpenFileAgain(QWidget* owner) {
  // A connection opened by other means than OpenDatabaseFile is known by the engine's name of it.
  const std::wstring open = openedPath_.empty() ? db.fileName() : openedPath_;
  if (!settings || open.empty() || settings->databasePath.value == open) return;
  settings->databasePath.value = open;
  saveSettingsOrSay(*settings, owner);
}

bool KlvApp::OpenFileStillThere() const {
  if (!db.isOpen()) return false;
  // Looking notes the file as gone or replaced: that is no cause of what the learner is told here.
  const KeptFailureCause told = KeptFailureCause::noted();
  const bool away = sqliteplus::noteIfDatabaseAway(db.engineHandle());
  told.noteAgain();
  return !away;
}

Reopened KlvApp::ReopenDatabase(QWidget* owner, Reload reload) {
  const std::wstring ownFile = settings ? settings->databasePath.value : std::wstring();
  std::wstring path = ownFile;
  bool choseAnother = false;
  sqliteplus::SqliteConnection opened;
  pdb3::FileFindings found;
  DatabaseOpenFailure failure;
  bool triedAgain = false;
  while (!OpenFileApart(path, opened, found, &failure)) {
    // Another program holding the file past the wait is no reason to give up the file that is open,
    // nor is a file the learner has just named and mistyped, as long as the open one is still the
    // file at its path.
    const bool keepOpenFile = db.isOpen() && (failure.mayPass || reload == Reload::namedFile);
    if (keepOpenFile && OpenFileStillThere()) {
      NameTheOpenFileAgain(owner);
      if (reload == Reload::namedFile) {
        reportUnmadeChangeAsSaid(owner, namedFileNotOpenedText(failure.text, path), kAppCaption);
      } else {
        reportUnmadeChange(owner, kNotReopened, kAppCaption);
      }
      return Reopened::keptOpenFile;
    }
    // With the open file gone every save would fail: the file held is waited for on the learner's
    // word, or nothing is left to go on with.
    if (keepOpenFile && failure.mayPass) {
      if (offerToTryAgain(owner, kNotReopenedNorKept, triedAgain)) continue;
      NameTheOpenFileAgain(owner);
      recordFailure(ExitDatabaseNotOpened);
      return Reopened::closing;
    }
    const bool gone = sqliteplus::lastEngineFailure() == sqliteplus::EngineFailure::gone;
    // Another file is asked for; it too is opened apart, and is taken up there before it replaces
    // the one open.
    choseAnother = ChooseDatabaseUntilOpen(*this, failure.text, [&](const std::wstring& file, DatabaseOpenFailure* failed) {
      path = file;
      return OpenFileApart(file, opened, found, failed);
    });
    if (!choseAnother) {
      // A cancel keeps what works: the file open goes on while it is still the one at its path.
      const bool keep = OpenFileStillThere();
      NameTheOpenFileAgain(owner);
      if (keep) {
        reportUnmadeChangeAsSaid(owner, ownFileGivenUpText(failure.text, gone, ownFile), kAppCaption);
        return Reopened::keptOpenFile;
      }
      recordFailure(ExitDatabaseNotOpened);
      return Reopened::closing;
    }
    break;
  }
  // The file is taken up on its own connection: the one open stays until there is a user to study
  // as here, and the learner who gives up on the user goes on with it.
  FileTakeUp taken = TakeUp(opened, found.memoryRates);
  const bool user = haveUserOrSay(owner, taken.userUntold, [&] { taken = TakeUp(opened, found.memoryRates); });
  if (!user && OpenFileStillThere()) {
    NameTheOpenFileAgain(owner);
    reportUnmadeChange(owner, kNotReopened, kAppCaption);
    return Reopened::keptOpenFile;
  }
  ReplaceOpenFile(opened, path, found);
  // Only now does the next start open the file chosen instead, or named in the options: a run ended
  // while it was being taken up starts again on the file that was open.
  if ((choseAnother || reload == Reload::namedFile) && settings) saveSettingsOrSay(*settings, owner);
  KeepTakeUp(std::move(taken));
  if (!user) {
    recordFailure(ExitDataUnusable);
    return Reopened::closing;
  }
  TellWhatTheFileLacks(owner);
  return Reopened::takenUp;
}
