// The one road into a study: the database is claimed for it, its log ids allotted, and the study
// window runs modally while the main window waits minimised.
#pragma once

#include <string>
#include <vector>

#include "database/logs/study_context.h"

class QWidget;

namespace study {

class StudyHost;

// What is said when there is no question to study.
inline constexpr wchar_t kNoQuestionToStudy[] = L"問題がありません";

// True only when the study window ended with OK and without "!exit". The mode is the host's
// current study mode. mainWindow may be null.
bool StartStudy(StudyHost& host, QWidget* mainWindow, const std::wstring& title, const std::vector<int>& questionIds);

// The ids a new study takes: the user's study log of the set in the mode (or the next free one)
// and the next daily-log id. False, after the notice, when a table holds rows but no next id.
struct StudyLogIds {
  int lid = -1;
  int did = -1;
};
bool allotStudyLogIds(const pdb3::StudyContext& context, StudyLogIds& out);

}  // namespace study
