#include "app/pages/level_calculation.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

#include "database/engine/busy_wait.h"
#include "database/records/db_object.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "services/user_action.h"

namespace smart {

namespace {

struct Cancelled {};

// Named for whoever lists the program's threads (a debugger, top): the count is a thread of its own.
constexpr char kWorkerName[] = "level count";

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

bool readLevelRows(sqliteplus::SqliteConnection& connection, const LevelJob& job, const std::atomic<bool>& cancelled,
                   std::vector<LevelRow>& rows) {
  const int64_t started = platform::tickCountMs();
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
          LevelRow& row = rows.emplace_back();
          row.qid = cursor.getInt(0);
          row.level = cursor.isNull(1) ? 0 : cursor.getInt(1);
          for (int i = 0; i < pdb3::kMaxMemoryLevel; ++i)
            row.times[i] = cursor.isNull(2 + i) ? 0 : cursor.getInt(2 + i);
        });
  } catch (const Cancelled&) {
    return false;
  }
  platform::trace("elapsed : %5d [msec]\n", static_cast<int>(platform::tickCountMs() - started));
  return read;
}

LevelTable countLevels(const std::vector<LevelRow>& rows, const LevelJob& job) {
  LevelTable table{};
  const int64_t start = job.now - static_cast<int64_t>(job.days) * pdb3::kSecondsPerDay;
  for (const LevelRow& row : rows) countLevelRow(row, start, job.days, table);
  return table;
}

// What the calculator and one worker share; the worker keeps it as long as it runs, also past the
// calculator's end.
struct LevelCalculator::Run {
  std::atomic<bool> cancelled{false};
  // Held while the worker hands its result over and while the calculator lets go of the run: the
  // worker never posts to a calculator that is gone.
  std::mutex mutex;
  LevelCalculator* receiver = nullptr;  // null once the run is cancelled
};

LevelCalculator::LevelCalculator(QObject* parent) : QObject(parent) {}

LevelCalculator::~LevelCalculator() { cancel(); }

void LevelCalculator::cancel() {
  if (const std::shared_ptr<Run> run = std::exchange(run_, nullptr)) {
    run->cancelled = true;
    const std::lock_guard<std::mutex> lock(run->mutex);
    run->receiver = nullptr;
  }
  ++generation_;  // a result already queued is stale now
  running_ = false;
}

void LevelCalculator::forget() {
  cancel();
  table_ = {};
  counted_ = false;
  failure_ = {};
}

bool LevelCalculator::start(const sqliteplus::SqliteConnection& open, const LevelJob& job) {
  platform::trace("StartLevelCalcThread()\n");
  cancel();
  // The worker counts the file the program has open: one opened by the name alone would be
  // another file put at the path, while the page lists and writes the open one.
  pdb3::OpenFile file;
  if (!pdb3::findOpenFile(open, file)) return false;
  auto run = std::make_shared<Run>();
  run->receiver = this;
  run_ = run;
  running_ = true;
  days_ = job.days;
  const unsigned generation = generation_;
  platform::trace("StartingLevelCalcThread\n");
  // Nobody waits for the worker: it lives on its run alone.
  std::thread([run, file, job, generation] {
    pthread_setname_np(pthread_self(), kWorkerName);
    // A cancel ends a wait for a busy file, and the statement under way, at their next step.
    sqliteplus::setBusyWaitCancelFlag(&run->cancelled);
    // The file is read at the program's own priority: a reader held back by every other thread
    // would hold the file's lock meanwhile, and the program's own writes would wait for it and fail
    // as if another program held the file. Only the counting, with the file let go, gives way.
    std::vector<LevelRow> rows;
    bool read = false;
    {
      sqliteplus::SqliteConnection connection;
      if (pdb3::openConnectionOn(connection, file)) {
        connection.stopWhen(&run->cancelled);
        read = readLevelRows(connection, job, run->cancelled, rows);
      }
    }
    sqliteplus::setBusyWaitCancelFlag(nullptr);
    if (!run->cancelled) lowerToIdlePriority();
    const LevelTable table = countLevels(rows, job);
    // The engine noted its cause on this thread: handed over whole, with whether it lasts.
    sqliteplus::NotedFailure failure;
    if (!read) failure = sqliteplus::notedFailure();
    if (!read && failure.kind == sqliteplus::EngineFailure::none) failure.kind = sqliteplus::EngineFailure::other;
    const std::lock_guard<std::mutex> lock(run->mutex);
    if (LevelCalculator* receiver = run->receiver)
      QMetaObject::invokeMethod(
          receiver, [receiver, generation, table, failure] { receiver->deliver(generation, table, failure); },
          Qt::QueuedConnection);
  }).detach();
  return true;
}

void LevelCalculator::deliver(unsigned generation, const LevelTable& table, const sqliteplus::NotedFailure& failure) {
  if (generation != generation_) return;
  run_.reset();
  // A table counted from rows that could not all be read would show levels nobody has.
  if (failure.kind == sqliteplus::EngineFailure::none) {
    table_ = table;
    counted_ = true;
    countedDays_ = days_;
  }
  failure_ = failure;
  running_ = false;
  // No action of the learner's started the count: what its end says and notes is its own.
  const ActionOfItsOwn own;
  emit finished();
}

void LevelCalculator::noteFailure() const { sqliteplus::noteHandedOverFailure(failure_); }

}  // namespace smart
