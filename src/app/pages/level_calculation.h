// How many questions of the smart-learning list stood at each memory level at 31 points of a
// display period, counted on a worker thread of its own so that the page stays responsive.
#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "database/engine/engine_failure.h"
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
  std::wstring databasePath;  // the worker opens its own connection on it
  int uid = -1;
  int sid = -1;
  int days = 10;
  int64_t now = 0;
};

// One calculation at a time: a new start, or the calculator's end, cancels the running one and
// joins its thread first, so no two count at once and none outlives its page. The finished table
// comes back to the calculator's thread by a queued call.
class LevelCalculator : public QObject {
  Q_OBJECT

 public:
  explicit LevelCalculator(QObject* parent = nullptr);
  ~LevelCalculator() override;

  void start(const LevelJob& job);
  // Asks the worker to stop at its next row (or its wait for a busy file) and waits for it; no
  // result of it arrives afterwards.
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
  // Why the last calculation could not read the database; none when it could.
  sqliteplus::EngineFailure failure() const { return failure_; }
  // Notes that cause on the calling thread, for a message that names it.
  void noteFailure() const;

 signals:
  // Emitted as an action of its own (services/user_action.h): a cause noted in it goes with it.
  void finished();

 private:
  void deliver(unsigned generation, const LevelTable& table, sqliteplus::EngineFailure failure);
  void joinWorker();

  std::thread worker_;
  std::atomic<bool> cancelled_{false};
  unsigned generation_ = 0;
  bool running_ = false;
  LevelTable table_{};
  bool counted_ = false;
  sqliteplus::EngineFailure failure_ = sqliteplus::EngineFailure::none;
};

// The counting itself, on the calling thread: false when cancelled or the database could not be
// read (what was counted so far stays in table).
bool calculateLevels(const LevelJob& job, const std::atomic<bool>& cancelled, LevelTable& table);

}  // namespace smart
