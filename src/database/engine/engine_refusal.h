// A trigger that refuses a change (RAISE) gives the reason in its own words; that reason is the
// one cause of a failure of kind "other" that a learner can act on, so it is kept beside the kind.
#pragma once

#include <string>

struct sqlite3;

namespace sqliteplus {

// Keeps the engine's message when its last failure on `db` was a trigger's refusal.
void noteEngineRefusal(sqlite3* db);
// The message of the last refusal on this thread since failures were last forgotten; "" for none.
const std::wstring& lastEngineRefusal();
void forgetEngineRefusal();

}  // namespace sqliteplus
