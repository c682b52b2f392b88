// The questions a study is about to take, as the file holds them now.
#pragma once

#include <vector>

#include "services/database_failure.h"

class QWidget;
namespace pdb3 {
class DbObject;
}

// Drops the questions emptied since they were chosen (no study asks one without text), keeping the
// order of the rest: a choice may be older than another program's work. False, the ids as they were,
// when they cannot be read; said over `owner` in the words every study uses, in `say`'s way (a study
// reads them, a new set made of them is a change).
bool keepQuestionsWithText(const pdb3::DbObject& accessor, std::vector<int>& ids, QWidget* owner, FailureReport say);
