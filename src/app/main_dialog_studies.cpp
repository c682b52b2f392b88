// Every study the main dialog starts, and what it reads again after one.
#include "app/app_study_host.h"
#include "app/klv_app.h"
#include "app/last_study.h"
#include "app/main_dialog.h"
#include "study/start_study.h"

bool MainDialog::StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) {
  AppStudyHost host(m_pApp, m_soundQueue);
  if (!study::StartStudy(host, this, title, ids)) return false;
  RefreshPages();
  update();
  return true;
}

// Each page that studies chooses its questions itself (the learning page by its study method,
// the question log by its checks, the other pages through the smart-learning list); none of them
// offers a choice yet, so there is nothing to give.
bool MainDialog::SelectStudyQuestions(std::vector<int>& ids) { return false; }

bool MainDialog::StudyLastQuestions(bool mistakesOnly) {
  std::vector<int> ids;
  return LastStudyQuestionIds(m_pApp, mistakesOnly, ids, this) && StartStudyAndRefresh(m_strSetPath, ids);
}
