// What busy_wait.cpp counts of the waits for a busy file (database/engine/busy_wait.h), declared
// apart so that the tests can wait for a wait to begin or to be given up rather than guess how long
// either takes. The program reaches the waits only through busy_wait.h.
#pragma once

#include <atomic>

namespace sqliteplus::busywaits {

// The waits for a busy file begun on this thread.
extern thread_local unsigned long long begun;
// The waits for a busy file begun on any thread.
extern std::atomic<unsigned long long> begunAnywhere;
// The statements, on any thread, that gave up on a busy file once their wait was spent.
extern std::atomic<unsigned long long> givenUp;

}  // namespace sqliteplus::busywaits
