#include "app/common/study_questions.h"

#include <deque>

#include "app/common/modal_dialog.h"
#include "database/folders/section_questions.h"

bool keepQuestionsWithText(const pdb3::DbObject& accessor, std::vector<int>& ids, QWidget* owner, FailureReport say) {
  std::deque<int> kept(ids.begin(), ids.end());
  if (!pdb3::dropEmptyQuestions(accessor, kept)) {
    say(owner, L"出題する問題を読み込めませんでした。", kAppCaption);
    return false;
  }
  ids.assign(kept.begin(), kept.end());
  return true;
}
