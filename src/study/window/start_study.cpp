#include "study/window/start_study.h"

#include <QWidget>

#include "database/element_log.h"
#include "database/sql_helpers.h"
#include "services/named_mutex.h"
#include "study/study_host.h"
#include "study/window/trans_dialog.h"
#include "study/window/unattended_study.h"

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

bool allotStudyLogIds(const pdb3::StudyContext& context, StudyLogIds& out) {
  const pdb3::DbObject accessor = pdb3::openQuery(context.connection);
  out.lid = pdb3::logIdFor(accessor, context.userId, context.setId, context.mode);
  if (out.lid < 0) out.lid = nextId(accessor, L"SELECT max(lid)+1 FROM log_id", L"SELECT count(*) FROM log_id");
  if (out.lid < 0) {
    context.notify(L"履歴IDが取得できませんでした");
    return false;
  }
  out.did = nextId(accessor, L"SELECT max(did)+1 FROM daily_log", L"SELECT count(*) FROM daily_log");
  if (out.did < 0) {
    context.notify(L"学習回IDが取得できませんでした");
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
    context.notify(L"問題がありません");
    return false;
  }
  if (!host.canStudyInMode(context.mode)) return false;
  StudyLogIds ids;
  if (!allotStudyLogIds(context, ids)) return false;

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
