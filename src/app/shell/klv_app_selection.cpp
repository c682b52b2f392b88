// What the application object does about which set is studied, in which mode, and the study
// the command line asks for.
#include "app/shell/klv_app.h"

#include "app/shell/app_study_host.h"
#include "app/main/main_dialog.h"
#include "app/common/modal_dialog.h"
#include "database/folders/folders.h"
#include "database/logs/question_selection.h"
#include "database/logs/users.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "study/window/start_study.h"

int32_t KlvApp::FindOrRegisterUser(const pdb3::DbObject& file, const std::wstring& name) {
  int uid = -1;
  // A user that could not be looked up is not a new one: added then, the name would have two rows.
  const pdb3::FirstRow found = pdb3::findUserId(file, name, uid);
  if (found == pdb3::FirstRow::failed) return -1;
  if (found == pdb3::FirstRow::missing) uid = pdb3::insertUser(file, name);
  return uid < 0 ? -1 : uid;
}

bool KlvApp::SelectUser(const std::wstring& name) {
  const int32_t uid = FindOrRegisterUser(pdb3::openQuery(db), name);
  // Studying as uid -1 would record the history under nobody.
  if (uid < 0) return false;
  currentUserId = uid;
  return true;
}

bool KlvApp::SelectSettingsUser() { return SelectUser(settings->userName.value); }

bool KlvApp::SyncStudyMode() {
  if (settings) settings->studyMode = studyMode;
  if (mainDialog) mainDialog->SelectModeInCombo();
  return false;
}

bool KlvApp::ResetRound(int lid) { return pdb3::ResetRound(db, lid); }

bool KlvApp::AutorunStudy(SoundQueue& sounds) {
  const std::wstring& path = commandLine->path;
  int eid = -1;
  // A set that could not be looked up is no missing set: the learner must hear the real cause.
  const pdb3::FirstRow found = pdb3::findTypedElement(pdb3::openQuery(db), path, pdb3::kProblemSetElement, eid);
  if (found == pdb3::FirstRow::failed) {
    reportFailedRead(nullptr, L"問題集を読み込めませんでした。");
    recordFailure(ExitDataUnusable);
    return false;
  }
  // Studying under another set than the one asked for would record the study in the wrong place.
  if (found == pdb3::FirstRow::missing) {
    platform::messageBox(nullptr, L"そのような問題集（またはフォルダ）は存在しません。", kAppCaption);
    recordFailure(ExitSetNotFound);
    return false;
  }
  currentSetId = eid;
  studyMode = commandLine->mode;
  SyncStudyMode();
  pdb3::IdQueue ids;
  if (!pdb3::SelectNextQuestions(studyContext(), ids, settings->randomReply.value, commandLine->count)) {
    recordFailure(ExitDataUnusable);
    return false;
  }
  AppStudyHost host(*this, sounds, true);
  return study::StartStudy(host, nullptr, path, std::vector<int>(ids.begin(), ids.end()));
}
