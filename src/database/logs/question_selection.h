// The questions of a normal study: a study log walks through its problem set in passes, each
// study taking the questions the current pass has not asked yet; a used-up pass is closed and a
// new one starts with the whole set. A random order is reproducible: it is seeded per pass.
#pragma once

#include <deque>
#include <string>

#include "database/logs/study_context.h"

namespace pdb3 {

using IdQueue = std::deque<int>;

// The first id, -1 when empty.
int frontOrNone(const IdQueue& ids);
// Removes and returns the id at rand() modulo the size (the queue must not be empty).
int PickRandomQuestion(IdQueue& ids);

// Appends up to `count` ids for the current user, set and mode. False, after a notice, when the
// rest of the pass cannot be read or a used-up pass cannot be closed.
bool SelectNextQuestions(const StudyContext& study, IdQueue& out, bool random, int count);
// Closes the pass of study log `lid`: counts it as accomplished when it asked anything, and
// forgets its questions; both or neither (in a transaction of its own: the connection must not
// be inside one).
bool ResetRound(sqliteplus::SqliteConnection& connection, int lid);
// Makes the problem set at the path the current one; false (nothing changed) when there is none.
bool SelectSectionByPath(StudyContext& study, const std::wstring& path);

}  // namespace pdb3
