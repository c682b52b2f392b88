#include "study/window/start_study.h"

#include <QWidget>

#include "database/logs/element_log.h"
#include "database/engine/sql_helpers.h"
#include "services/database_failure.h"
#include "services/named_mutex.h"
#include "study/study_host.h"
#include "study/window/trans_dialog.h"
#include "study/window/unattended_study.h"

namespace study {

namespace {

// The next id of a table: max + 1, or 0 for an empty table. False when the table cannot be read, or
// has rows but no maximum: the ids of the study's rows would then be guesses.
bool nextId(const pdb3::DbObject& accessor, const wchar_t* maxSql, const wchar_t* countSql, int& next) {
  switch (pdb3::readFirstInt(accessor, maxSql, next)) {
    case pdb3::FirstRow::found: return true;
    case pdb3::FirstRow::failed: return false;
    case pdb3::FirstRow::missing: break;
  }
  int rows = -1;
  if (pdb3::readFirstInt(accessor, countSql, rows) != pdb3::FirstRow::found || rows != 0) return false;
  next = 0;
  return true;
}

}  // namespace

bool allotStudyLogIds(const pdb3::StudyContext& context, StudyLogIds& out) {
  const pdb3::DbObject accessor = pdb3::openQuery(context.connection);
  // A log that could not be read is not a missing one: a second log of the same set would split
  // the user's history.
  const pdb3::FirstRow log = pdb3::findLogId(accessor, context.userId, context.setId, context.mode, out.lid);
  if (log == pdb3::FirstRow::failed ||
      (log == pdb3::FirstRow::missing &&
       !nextId(accessor, L"SELECT max(lid)+1 FROM log_id", L"SELECT count(*) FROM log_id", out.lid))) {
    notifyFailedRead(context, L"履歴IDが取得できませんでした");
    return false;
  }
  if (!nextId(accessor, L"SELECT max(did)+1 FROM daily_log", L"SELECT count(*) FROM daily_log", out.did)) {
    notifyFailedRead(context, L"学習回IDが取得できませんでした");
    return false;
  }
  return true;
}

bool StartStudy(StudyHost& host, QWidget* mainWindow, const std::wstring& title, const std::vector<int>& questionIds) {
  const pdb3::StudyContext context = host.studyContext();
  // Held for the whole study: a second study, here or in another process, is refused.
  NamedMutex studyLock;
  if (!studyLock.Create(L"USE_KLV_DATABASE")) {
    context.notify(L"既に回答中なので、回答できません。");
    return false;
  }
  if (questionIds.empty()) {
    context.notify(kNoQuestionToStudy);
    return false;
  }
  if (!host.canStudyInMode(context.mode)) return false;
  StudyLogIds ids;
  if (!allotStudyLogIds(context, ids)) {
    host.noteDataUnusable();
    return false;
  }

  StudySetup setup;
  setup.did = ids.did;
  setup.lid = ids.lid;
  setup.randomMistakeReply = host.settings().randomMistakeReply;
  setup.questionIds = questionIds;
  setup.title = title;
  setup.mode = context.mode;

  CTransDlg dialog(setup, host, mainWindow);
  const UnattendedStudy unattended(dialog);
  if (mainWindow) mainWindow->showMinimized();
  const int result = dialog.exec();
  if (mainWindow) mainWindow->showNormal();
  return result == QDialog::Accepted && !dialog.exitRequested();
}

}  // namespace study
