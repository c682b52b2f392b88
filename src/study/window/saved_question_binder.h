// The problem set below the root that keeps the questions a user saves while studying.
#pragma once

#include <string>

#include "database/records/db_object.h"

namespace study {

inline constexpr wchar_t kSavedQuestionsBinder[] = L"<<回答中に保存された問題>>";

// Adds the question to that set, making the set (written by loginName, "various authors") when it
// is missing. The answer is the message for the user: done, or "追加失敗：" with the reason (a
// question the set holds already is not added again).
std::wstring SaveQuestionToBinder(const pdb3::DbObject& accessor, int qid, const std::wstring& loginName);

}  // namespace study
