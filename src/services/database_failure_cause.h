// Why the database last refused something on this thread, in words a learner can read: the
// busy, read-only and full-disk causes, a trigger's own reason, else the engine's generic cause.
#pragma once

#include <string>

// "" when the engine noted no failure since the action began.
std::wstring databaseFailureCause();
