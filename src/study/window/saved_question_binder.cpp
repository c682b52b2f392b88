#include "study/window/saved_question_binder.h"

#include "database/records/element_record.h"
#include "database/folders/folders.h"
#include "database/folders/section_questions.h"
#include "platform/trace.h"
#include "services/database_failure.h"

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
    // A binder that could not be looked up is not a missing one: made then, it would be a second.
    int eid = -1;
    const auto find = [&] { return pdb3::findTypedElement(accessor, kSavedQuestionsBinder, pdb3::kProblemSetElement, eid); };
    pdb3::FirstRow found = find();
    if (found == pdb3::FirstRow::missing) {
      makeBinder(accessor, loginName);
      found = find();
    }
    if (found != pdb3::FirstRow::found) throw std::wstring(L"バインダーの ID を取得できませんでした");
    pdb3::addQuestionToSection(accessor, eid, qid);
    return platform::format(L"バインダー %ls に追加しました", kSavedQuestionsBinder);
  } catch (const std::wstring& error) {
    return databaseFailureTextWhenKnown(L"追加失敗：" + error);
  }
}

}  // namespace study
