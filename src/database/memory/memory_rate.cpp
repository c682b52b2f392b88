#include "database/memory/memory_rate.h"

#include <algorithm>

#include "database/records/record_rows.h"
#include "database/engine/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

MemoryRate::MemoryRate(const DbObject& accessor, int qid, int uid, int64_t now)
    : DbObject(accessor.handle()), qid(qid), uid(uid), now(now) {}

bool MemoryRate::load() {
  int newRate = 0, newLevel = 0, latest = -1;
  std::array<int, kMaxMemoryLevel> times{};
  // The latest study comes along: the current rate, which nearly every reader wants next, needs it.
  std::string failure;
  const FirstRow row = readKeptRow(
      *this,
      "SELECT m.*, (SELECT LastStudyTime FROM question_log WHERE qid=m.qid AND uid=m.uid ORDER BY LastStudyTime DESC "
      "LIMIT 1) FROM memory_rate AS m WHERE m.qid=? AND m.uid=?",
      {qid, uid}, [&](const sqliteplus::SqliteCursor& row) {
        newRate = row.getInt(2);
        newLevel = row.getInt(3);
        for (int i = 0; i < kMaxMemoryLevel; ++i) times[i] = row.getInt(4 + i);
        latest = row.isNull(4 + kMaxMemoryLevel) ? -1 : row.getInt(4 + kMaxMemoryLevel);
      },
      &failure);
  readFailed = row == FirstRow::failed;
  if (readFailed) platform::traceError("%s\n", failure.c_str());
  if (row != FirstRow::found) return false;
  rate = newRate;
  level = newLevel;
  levelTimes = times;
  lastStudy_ = latest;
  return true;
}

bool MemoryRate::save() const {
  const auto& t = levelTimes;
  return saveRow(*this,
                 "UPDATE memory_rate SET rate=?, level=?, l1_time=?, l2_time=?, l3_time=?, l4_time=?, l5_time=?, "
                 "l6_time=?, l7_time=?, l8_time=?, l9_time=?, l10_time=? WHERE qid=? AND uid=?",
                 {rate, level, t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], qid, uid},
                 "INSERT INTO memory_rate VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                 {qid, uid, rate, level, t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9]});
}

int MemoryRate::lastStudyTime() const {
  if (lastStudy_ != kNotRead) return lastStudy_;
  return lastStudy_ = queryKeptIntOrMinus1(
             *this, "SELECT LastStudyTime FROM question_log WHERE qid=? AND uid=? ORDER BY LastStudyTime DESC LIMIT 1",
             {qid, uid});
}

int64_t MemoryRate::levelBaseTime() const {
  if (level > 0) return levelTimes[std::min(level, kMaxMemoryLevel) - 1];
  if (firstStudy_ != kNotRead) return std::max(firstStudy_, 0);
  const int first = queryKeptIntOrMinus1(
      *this,
      "SELECT LastStudyTime FROM question_log WHERE qid=? AND uid=? AND LastStudyTime > 0 ORDER BY LastStudyTime LIMIT 1",
      {qid, uid});
  return std::max(first, 0);
}

void MemoryRate::primeStudyTimes(int lastStudyTime, int firstStudyTime) {
  lastStudy_ = lastStudyTime;
  firstStudy_ = firstStudyTime;
}

int MemoryRate::currentRate() {
  if (cachedRate >= 0) return cachedRate;
  const int last = lastStudyTime();
  if (last < 1) return 0;
  cachedRate = decayedRate(level, rate, elapsedDays(last, now));
  return cachedRate;
}

int64_t MemoryRate::nextLevelupTime() const {
  const int64_t base = levelBaseTime();
  if (base == 0) return 0;
  return levelupTimeFor(level, base, lastStudyTime(), now);
}

bool MemoryRate::update(int mode, int nc, int ni) {
  platform::trace("nc, ni : %d, %d\n", nc, ni);
  platform::trace("rate   : %d\n", rate);
  rate = currentRate();
  platform::trace("c-rate : %d\n", rate);
  rate = raisedRate(rate, nc, ni);
  platform::trace("new rate : %d\n", rate);
  if (rate < kLevelupRate || level >= kMaxMemoryLevel) return true;

  const int64_t next = nextLevelupTime();
  platform::trace(" next-levelup-time : %lld\n", static_cast<long long>(next));
  platform::trace(" now-time          : %lld\n", static_cast<long long>(now));
  if (next != 0 && now < next) {
    platform::trace(" it doesn't comes the next time yet.\n");
    return true;
  }
  // A negative level from a damaged row climbs as from 0, so the time lands on a real level.
  const int from = std::max(level, 0);
  const int step = levelStep(mode, from);
  if (step == 0) {
    platform::trace(" no levelup\n");
    return true;
  }
  platform::trace(" levelup ! %d -> %d\n", level, level + step);
  level = std::min(from + step, kMaxMemoryLevel);
  levelTimes[level - 1] = static_cast<int>(now);
  return true;
}

}  // namespace pdb3
