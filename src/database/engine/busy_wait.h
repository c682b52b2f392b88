// Waiting for another program that holds the database file (the problem-set editor keeps it under
// an exclusive lock while it saves). A window must not freeze for the engine's usual wait on every
// statement: on a thread that counts waits per action, the statements of one user action share a
// single bounded wait, and once it is spent they fail at once until the next action begins.
// Elsewhere (worker threads, tests) each statement may wait the limit on its own.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "database/engine/engine_failure.h"

struct sqlite3;

namespace sqliteplus {

// The default limit: a few seconds, long enough for an editor's save, short enough to say so.
inline constexpr std::chrono::milliseconds kDefaultBusyWaitLimit{3000};

// Makes the connection wait as this file describes when the file is busy.
void installBusyWait(sqlite3* db);

// From now on, on the calling thread, waits are counted per action (see endBusyWaitAction).
void countBusyWaitsPerAction();
bool busyWaitsCountedPerAction();
// The calling thread's action is over: the next busy file may be waited for again, and the failure
// it remembered is forgotten.
void endBusyWaitAction();
// Changes at every end of an action on the calling thread: what an action has done already (said a
// failure, say) is known by the number it was done under.
unsigned long long busyWaitAction();
// Sets the calling thread's action aside while it lives, for work the action did not start (what a
// box's event loop delivers: a worker's result, a timer): the thread goes on in an action of its own
// (its own number, no wait begun, no failure noted), and takes the action up again, with its wait,
// its number and its failures, when this goes.
class ActionSetAside {
 public:
  ActionSetAside();
  ~ActionSetAside();
  ActionSetAside(const ActionSetAside&) = delete;
  ActionSetAside& operator=(const ActionSetAside&) = delete;

 private:
  bool started_;
  std::chrono::steady_clock::time_point deadline_;
  unsigned long long action_;
  NotedFailure failure_;
};

// A worker that is told to stop stops waiting too: while the flag is set (or until another flag
// replaces it) the calling thread's statements give up on a busy file at once. Null clears it.
void setBusyWaitCancelFlag(const std::atomic<bool>* cancelled);
// While it lives, the calling thread's statements give up on a busy file at once, as a stopped
// worker's do: for a read that is only tried again, which must not hold the window up.
class GiveUpOnBusyFile {
 public:
  GiveUpOnBusyFile();
  ~GiveUpOnBusyFile();
  GiveUpOnBusyFile(const GiveUpOnBusyFile&) = delete;
  GiveUpOnBusyFile& operator=(const GiveUpOnBusyFile&) = delete;

 private:
  const std::atomic<bool>* cancelled_;
};
// How long one action (or, where waits are not counted per action, one statement) may wait.
void setBusyWaitLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds busyWaitLimit();

}  // namespace sqliteplus
