#include "app/pages/level_calculation.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>

#include "database/engine/busy_wait.h"
#include "database/records/db_object.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "database/engine/sqlite_exceptions.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "services/user_action.h"

namespace smart {

namespace {

struct Cancelled {};

// Idle scheduling, so that studying and the pages never wait for the count.
void lowerToIdlePriority() {
  sched_param parameters{};
  parameters.sched_priority = 0;
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters);
}

}  // namespace

int timePointOf(int64_t time, int64_t start, int days) {
  if (time < start) return 0;
  const int64_t window = static_cast<int64_t>(days) * pdb3::kSecondsPerDay;
  if (window <= 0) return kTimePoints - 1;
  const int64_t slot = 1 + 30 * (time - start) / window;
  return static_cast<int>(std::min<int64_t>(slot, kTimePoints - 1));
}

void countLevelRow(const LevelRow& row, int64_t start, int days, LevelTable& table) {
  std::array<int, kTimePoints> reached;
  reached.fill(-1);
  const int level = std::clamp(row.level, 0, pdb3::kMaxMemoryLevel);
  for (int i = level - 1; i >= 0; --i) {
    if (row.times[i] <= 0) continue;
    int& slot = reached[timePointOf(row.times[i], start, days)];
    if (slot < 0) slot = i;
  }
  int highest = -1;
  for (int b = 0; b < kTimePoints; ++b) {
    highest = std::max(highest, reached[b]);
    if (highest >= 0) ++table[b][highest];
  }
}

bool calculateLevels(const LevelJob& job, const std::atomic<bool>& cancelled, LevelTable& table) {
  for (auto& point : table) point.fill(0);
  sqliteplus::SqliteConnection connection;
  try {
    connection.open(job.databasePath.c_str());
  } catch (const sqliteplus::SqliteException& e) {
    platform::traceError("%s : %s\n", e.what(), e.message().c_str());
    return false;
  }
  const int64_t started = platform::tickCountMs();
  const int64_t start = job.now - static_cast<int64_t>(job.days) * pdb3::kSecondsPerDay;
  platform::trace("Execute SQL\n");
  bool read = false;
  try {
    read = pdb3::forEachRow(
        pdb3::openQuery(connection),
        platform::format(L"SELECT qid, level, l1_time, l2_time, l3_time, l4_time, l5_time, l6_time, l7_time, l8_time, "
                         L"l9_time, l10_time FROM memory_rate WHERE uid=%d AND qid IN (SELECT qid FROM section WHERE "
                         L"sid=%d)",
                         job.uid, job.sid),
        [&](const sqliteplus::SqliteCursor& cursor) {
          if (cancelled) throw Cancelled{};
          LevelRow row;
          row.qid = cursor.getInt(0);
          row.level = cursor.isNull(1) ? 0 : cursor.getInt(1);
          for (int i = 0; i < pdb3::kMaxMemoryLevel; ++i)
            row.times[i] = cursor.isNull(2 + i) ? 0 : cursor.getInt(2 + i);
          countLevelRow(row, start, job.days, table);
        });
  } catch (const Cancelled&) {
    return false;
  }
  platform::trace("elapsed : %5d [msec]\n", static_cast<int>(platform::tickCountMs() - started));
  return read;
}

LevelCalculator::LevelCalculator(QObject* parent) : QObject(parent) {}

LevelCalculator::~LevelCalculator() { cancel(); }

void LevelCalculator::joinWorker() {
  if (!worker_.joinable()) return;
  // An idle thread may wait long for the processor while this one waits for it: it gets the
  // ordinary priority back for what it has left to do (where the system allows it).
  sched_param parameters{};
  pthread_setschedparam(worker_.native_handle(), SCHED_OTHER, &parameters);
  worker_.join();
}

void LevelCalculator::cancel() {
  cancelled_ = true;
  joinWorker();
  ++generation_;  // a result already queued is stale now
  running_ = false;
}

void LevelCalculator::forget() {
  cancel();
  table_ = {};
  counted_ = false;
  failure_ = sqliteplus::EngineFailure::none;
}

void LevelCalculator::start(const LevelJob& job) {
  platform::trace("StartLevelCalcThread()\n");
  cancel();
  cancelled_ = false;
  running_ = true;
  const unsigned generation = generation_;
  platform::trace("StartingLevelCalcThread\n");
  worker_ = std::thread([this, job, generation] {
    // A cancel joins this thread from the window's: a wait for a busy file ends with it.
    sqliteplus::setBusyWaitCancelFlag(&cancelled_);
    if (!cancelled_) lowerToIdlePriority();
    LevelTable table{};
    const bool read = calculateLevels(job, cancelled_, table);
    if (!read && cancelled_) return;
    // The engine noted its cause on this thread; a file that would not open noted none.
    sqliteplus::EngineFailure failure = sqliteplus::EngineFailure::none;
    if (!read) failure = sqliteplus::lastEngineFailure();
    if (!read && failure == sqliteplus::EngineFailure::none) failure = sqliteplus::EngineFailure::other;
    QMetaObject::invokeMethod(
        this, [this, generation, table, failure] { deliver(generation, table, failure); }, Qt::QueuedConnection);
  });
}

void LevelCalculator::deliver(unsigned generation, const LevelTable& table, sqliteplus::EngineFailure failure) {
  if (generation != generation_) return;
  joinWorker();  // the worker has nothing left to do after queueing
  // A table counted from rows that could not all be read would show levels nobody has.
  if (failure == sqliteplus::EngineFailure::none) {
    table_ = table;
    counted_ = true;
  }
  failure_ = failure;
  running_ = false;
  // No action of the learner's started the count: what its end says and notes is its own.
  const ActionOfItsOwn own;
  emit finished();
}

void LevelCalculator::noteFailure() const { sqliteplus::noteEngineFailure(failure_); }

}  // namespace smart
