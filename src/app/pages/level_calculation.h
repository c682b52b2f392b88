// How many questions of the smart-learning list stood at each memory level at 31 points of a
// display period, counted on a worker thread of its own so that the page stays responsive.
#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "database/engine/engine_failure.h"
#include "database/engine/sqlite_connection.h"
#include "database/memory/memory_model.h"

namespace smart {

constexpr int kTimePoints = 31;
// Row b is a time point, column j the questions at memory level j + 1.
using LevelTable = std::array<std::array<int, pdb3::kMaxMemoryLevel>, kTimePoints>;

struct LevelRow {
  int qid = 0;
  int level = 0;
  std::array<int, pdb3::kMaxMemoryLevel> times{};  // l1_time .. l10_time, 0 = never reached
};

// Point 0 holds every time before start; 1..30 are equal slices of the `days` window; a time at
// the window's end or later falls on 30.
int timePointOf(int64_t time, int64_t start, int days);
// Adds one question to every time point from the slice in which it first reached level 1, at the
// highest level it had reached by then (levels above its present one do not count).
void countLevelRow(const LevelRow& row, int64_t start, int days, LevelTable& table);

struct LevelJob {
  int uid = -1;
  int sid = -1;
  int days = 10;
  int64_t now = 0;
};

// One calculation at a time: a new start, or the calculator's end, cancels the running one. The
// window's thread never waits for a worker, however long an idle thread waits for the processor:
// one that was cancelled stops at its next step (its statement or its wait for a busy file ends)
// and nothing of it arrives. The worker's thread is named "level count". The finished table comes back to the calculator's thread by a queued
// call.
class LevelCalculator : public QObject {
  Q_OBJECT

 public:
  explicit LevelCalculator(QObject* parent = nullptr);
  ~LevelCalculator() override;

  // Counts on a connection of the worker's own, on the file `open` has open: a file put at its path
  // is not counted. False, the cause noted on this thread and nothing started, when that file is no
  // longer the one at its path; the worker's own open fails the calculation the same way.
  bool start(const sqliteplus::SqliteConnection& open, const LevelJob& job);
  // Tells the running worker to stop; no result of it arrives afterwards.
  void cancel();
  // Cancels as above and drops the table: it was counted in another file, or for another learner.
  void forget();
  // A calculation was started and its table has not arrived yet.
  bool running() const { return running_; }
  // The last table counted whole (all zero while none is, see counted()): a calculation that could
  // not read leaves the one before it.
  const LevelTable& table() const { return table_; }
  // Whether table() holds a count: not before the first, nor after forget().
  bool counted() const { return counted_; }
  // The display period table() was counted for.
  int countedDays() const { return countedDays_; }
  // Why the last calculation could not read the database; none when it could.
  sqliteplus::EngineFailure failure() const { return failure_.kind; }
  // Notes that cause on the calling thread, as the worker noted it (whether it lasts too), for a
  // message that names it and for whoever decides whether to try again.
  void noteFailure() const;

 signals:
  // Emitted as an action of its own (services/user_action.h): a cause noted in it goes with it.
  void finished();

 private:
  struct Run;
  void deliver(unsigned generation, const LevelTable& table, const sqliteplus::NotedFailure& failure);

  std::shared_ptr<Run> run_;  // the worker counting now; it holds the run as long as it lives
  unsigned generation_ = 0;
  bool running_ = false;
  int days_ = 0;  // of the calculation started last
  LevelTable table_{};
  bool counted_ = false;
  int countedDays_ = 0;
  sqliteplus::NotedFailure failure_;
};

// The rows the count is made of, read on the calling thread over the connection: false when
// cancelled or the database could not be read (what was read so far stays in rows).
bool readLevelRows(sqliteplus::SqliteConnection& connection, const LevelJob& job, const std::atomic<bool>& cancelled,
                   std::vector<LevelRow>& rows);
// The table of the rows read for the job.
LevelTable countLevels(const std::vector<LevelRow>& rows, const LevelJob& job);

}  // namespace smart
