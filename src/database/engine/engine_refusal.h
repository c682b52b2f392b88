// A trigger that refuses a change (RAISE) gives the reason in its own words; that reason is the
// one cause of a failure of kind "other" that a learner can act on, so it is kept beside the kind.
// It names its own statement's failure only: any later failure replaces it.
#pragma once

#include <string>

struct sqlite3;

namespace sqliteplus {

// Keeps the engine's message for the failure about to be noted (engine_failure.h) when the
// statement that failed on `db` was refused by a trigger.
void noteEngineRefusal(sqlite3* db);
// The words of the last failure noted on this thread since failures were last forgotten, when a
// trigger refused it; "" otherwise.
const std::wstring& lastEngineRefusal();
void forgetEngineRefusal();
// A failure is being noted: it takes the refusal of its own statement, or none.
void takeStatementRefusal();
// Puts back the words of a failure noted before (an action taken up again).
void restoreEngineRefusal(const std::wstring& words);

}  // namespace sqliteplus
