// The remark the study window shows under a wrong reply that is the answer of another question:
// "you typed the answer of that question".
#pragma once

#include <string>
#include <vector>

#include "database/records/db_object.h"

namespace study {

// Looks for a question whose answer is the reply, first among the study's questions, then for
// one in the whole database whose answer starts with it. The remark names the typed text, that
// question's first question text and, when a problem set holds it, the set's path; empty when no
// question fits or the reply is empty.
std::wstring FindQuestionsByAnswer(const pdb3::DbObject& accessor, const std::wstring& reply,
                                   const std::vector<int>& studyIds);

}  // namespace study
