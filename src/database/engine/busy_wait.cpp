#include "database/engine/busy_wait.h"

#include <sqlite3.h>

#include <atomic>
#include <thread>

#include "database/engine/background_read.h"
#include "database/engine/busy_wait_bookkeeping.h"
#include "database/engine/engine_failure.h"

namespace sqliteplus {

namespace busywaits {
thread_local unsigned long long begun = 0;
std::atomic<unsigned long long> begunAnywhere{0};
std::atomic<unsigned long long> givenUp{0};
}  // namespace busywaits

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long long> limitMs{kDefaultBusyWaitLimit.count()};

struct ThreadWaits {
  bool perAction = false;
  bool started = false;  // a wait of the current action (or statement) has begun
  Clock::time_point deadline;
  unsigned long long action = 0;
  const std::atomic<bool>* cancelled = nullptr;
};
thread_local ThreadWaits waits;
// Numbers are never given twice on a thread, though an action set aside takes its own up again.
thread_local unsigned long long lastActionNumber = 0;

// The engine calls this while the file is locked; returning 0 gives up with SQLITE_BUSY.
int onBusy(void*, int attempt) {
  if (waits.cancelled && waits.cancelled->load()) return 0;
  // Without per-action counting every statement waits on its own: a new one has not begun yet.
  if (!waits.perAction && attempt == 0) waits.started = false;
  // The program's own read of the file into the cache gives way at once: only another program's
  // hold is waited for, from the first attempt that meets it.
  if (stopBackgroundReads()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
  }
  const Clock::time_point now = Clock::now();
  if (!waits.started) {
    waits.started = true;
    waits.deadline = now + std::chrono::milliseconds(limitMs.load());
    ++busywaits::begun;
    busywaits::begunAnywhere.fetch_add(1);
  }
  if (now >= waits.deadline) {
    busywaits::givenUp.fetch_add(1);
    return 0;
  }
  const auto step = std::min<Clock::duration>(std::chrono::milliseconds(20), waits.deadline - now);
  std::this_thread::sleep_for(step);
  return 1;
}

}  // namespace

void installBusyWait(sqlite3* db) { sqlite3_busy_handler(db, onBusy, nullptr); }

void countBusyWaitsPerAction() {
  waits.perAction = true;
  waits.started = false;
}

bool busyWaitsCountedPerAction() { return waits.perAction; }

void endBusyWaitAction() {
  waits.started = false;
  waits.action = ++lastActionNumber;
  forgetEngineFailure();
}

ActionSetAside::ActionSetAside()
    : started_(waits.started),
      deadline_(waits.deadline),
      action_(waits.action),
      failure_(notedFailure()) {
  endBusyWaitAction();
}

ActionSetAside::~ActionSetAside() {
  waits.started = started_;
  waits.deadline = deadline_;
  waits.action = action_;
  restoreNotedFailure(failure_);
}

GiveUpOnBusyFile::GiveUpOnBusyFile() : cancelled_(waits.cancelled) {
  static const std::atomic<bool> givenUp{true};
  waits.cancelled = &givenUp;
}

GiveUpOnBusyFile::~GiveUpOnBusyFile() { waits.cancelled = cancelled_; }

unsigned long long busyWaitAction() { return waits.action; }

void setBusyWaitCancelFlag(const std::atomic<bool>* cancelled) { waits.cancelled = cancelled; }

void setBusyWaitLimit(std::chrono::milliseconds limit) { limitMs.store(limit.count()); }

std::chrono::milliseconds busyWaitLimit() { return std::chrono::milliseconds(limitMs.load()); }

}  // namespace sqliteplus
