#include "study/window/saved_question_binder.h"

#include "database/element_record.h"
#include "database/folders.h"
#include "database/section_questions.h"
#include "platform/trace.h"

namespace study {

namespace {

void makeBinder(const pdb3::DbObject& accessor, const std::wstring& loginName) {
  pdb3::ElementRecord binder = pdb3::AddBinder(pdb3::getFolder(accessor, 0), kSavedQuestionsBinder);
  pdb3::ElementInfoRecord& info = binder.info();
  info.setAuthor(loginName);
  info.setWriter(L"various authors");
  info.saveColumn(pdb3::ElementInfoColumn::author);
  info.saveColumn(pdb3::ElementInfoColumn::writer);
}

}  // namespace

std::wstring SaveQuestionToBinder(const pdb3::DbObject& accessor, int qid, const std::wstring& loginName) {
  try {
    if (pdb3::FindProblemSetByPath(accessor, kSavedQuestionsBinder) < 0) makeBinder(accessor, loginName);
    const int eid = pdb3::FindProblemSetByPath(accessor, kSavedQuestionsBinder);
    if (eid < 0) throw std::wstring(L"バインダーの ID を取得できませんでした");
    pdb3::addQuestionToSection(accessor, eid, qid);
    return platform::format(L"バインダー %ls に追加しました", kSavedQuestionsBinder);
  } catch (const std::wstring& error) {
    return L"追加失敗：" + error;
  }
}

}  // namespace study
