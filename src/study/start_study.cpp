#include "study/start_study.h"

#include <QWidget>

#include "app/app_settings.h"
#include "app/klv_app.h"
#include "app/named_mutex.h"
#include "database/element_log.h"
#include "database/sql_helpers.h"
#include "study/app_study_host.h"
#include "study/sound_queue.h"
#include "study/speech_output.h"
#include "study/trans_dialog.h"

namespace study {

namespace {

// The next id of a table: max + 1, or 0 for an empty table; -1 when the table has rows but the
// maximum cannot be read.
int nextId(const pdb3::DbObject& accessor, const wchar_t* maxSql, const wchar_t* countSql) {
  const int next = pdb3::querySqlfIntOrMinus1(accessor, maxSql);
  if (next >= 0) return next;
  return pdb3::querySqlfIntOrMinus1(accessor, countSql) == 0 ? 0 : -1;
}

}  // namespace

bool allotStudyLogIds(KlvApp& app, StudyLogIds& out) {
  const pdb3::DbObject accessor = pdb3::openQuery(app.db);
  out.lid = pdb3::logIdFor(accessor, app.currentUserId, app.currentSetId, app.studyMode);
  if (out.lid < 0) out.lid = nextId(accessor, L"SELECT max(lid)+1 FROM log_id", L"SELECT count(*) FROM log_id");
  if (out.lid < 0) {
    app.notice.ShowText(L"履歴IDが取得できませんでした");
    return false;
  }
  out.did = nextId(accessor, L"SELECT max(did)+1 FROM daily_log", L"SELECT count(*) FROM daily_log");
  if (out.did < 0) {
    app.notice.ShowText(L"学習回IDが取得できませんでした");
    return false;
  }
  return true;
}

bool StartStudy(KlvApp& app, QWidget* mainWindow, const std::wstring& title, const std::vector<int>& questionIds) {
  // Held for the whole study: a second study, here or in another process, is refused.
  NamedMutex studyLock;
  if (!studyLock.Create(L"USE_KLV_DATABASE")) {
    app.notice.ShowText(L"既に回答中なので、回答できません。");
    return false;
  }
  if (questionIds.empty()) {
    app.notice.ShowText(L"問題がありません");
    return false;
  }
  if (!CanStudyInMode(*app.settings, app.notice, app.studyMode)) return false;
  StudyLogIds ids;
  if (!allotStudyLogIds(app, ids)) return false;

  StudySetup setup;
  setup.did = ids.did;
  setup.lid = ids.lid;
  setup.randomMistakeReply = app.settings->randomMistakeReply.value;
  setup.questionIds = questionIds;
  setup.title = title;
  setup.mode = app.studyMode;

  SoundQueue sounds;
  AppStudyHost host(app, sounds);
  CTransDlg dialog(setup, host, mainWindow);
  if (mainWindow) mainWindow->showMinimized();
  const int result = dialog.exec();
  if (mainWindow) mainWindow->showNormal();
  return result == QDialog::Accepted && !dialog.exitRequested();
}

}  // namespace study
