#include <gtest/gtest.h>

#include "database/memory/memory_rate.h"
#include "database/logs/question_log.h"
#include "database_fixture.h"

using namespace pdb3;
using testdb::TempDatabase;

namespace {

constexpr int kNow = 1'700'000'000;
constexpr int kHour = 3600;
constexpr int kDay = 86400;
constexpr int kUser = 1;

class MemoryRateTest : public ::testing::Test {
 protected:
  TempDatabase db;
  DbObject accessor = db.accessor();

  void studied(int qid, int mid, int when) {
    QuestionLog log = getQuestionLog(accessor, qid, kUser, mid);
    log.load();
    log.nc1 += 1;
    log.LastStudyTime = when;
    ASSERT_TRUE(log.save());
  }
  void stored(int qid, int rate, int level, int levelTime) {
    MemoryRate row(accessor, qid, kUser, kNow);
    row.rate = rate;
    row.level = level;
    if (level > 0) row.levelTimes[level - 1] = levelTime;
    ASSERT_TRUE(row.save());
  }
  MemoryRate afterStudy(int qid, int mode, int nc, int ni) {
    MemoryRate rate(accessor, qid, kUser, kNow);
    rate.load();
    rate.update(mode, nc, ni);
    return rate;
  }
};

}  // namespace

TEST_F(MemoryRateTest, LevelupWaitsForTheIntervalAndTheRest) {
  // Level 1 reached two hours ago: its one-day interval has not passed.
  studied(1, 0, kNow - 2 * kHour);
  stored(1, 80, 1, kNow - 2 * kHour);
  MemoryRate level1 = afterStudy(1, 0, 1, 0);
  EXPECT_EQ(level1.rate, 100);
  EXPECT_EQ(level1.level, 1);

  // Level 0, studied an hour ago: no climb within three hours, whatever the rate.
  studied(2, 1, kNow - 5 * kDay);
  studied(2, 0, kNow - kHour);
  stored(2, 70, 0, 0);
  EXPECT_EQ(afterStudy(2, 0, 3, 0).level, 0);
  MemoryRate rested(accessor, 2, kUser, kNow + 2 * kHour + 1);
  rested.load();
  EXPECT_EQ(rested.nextLevelupTime(), kNow - kHour + 3 * kHour);

  // Level 2 reached three days ago (interval two days), last studied a day ago: climbs by two.
  studied(3, 0, kNow - kDay);
  stored(3, 90, 2, kNow - 3 * kDay);
  MemoryRate climbed = afterStudy(3, 0, 1, 0);
  EXPECT_EQ(climbed.level, 4);
  EXPECT_EQ(climbed.levelTimes[3], kNow);
  EXPECT_EQ(climbed.levelTimes[1], kNow - 3 * kDay) << "the level it left keeps its time";
  EXPECT_EQ(climbed.levelTimes[2], 0) << "a skipped level gets no time";

  // Level 10 never climbs, the rate still rises.
  studied(4, 0, kNow - 600 * kDay);
  stored(4, 100, 10, kNow - 600 * kDay);
  MemoryRate top = afterStudy(4, 0, 1, 0);
  EXPECT_EQ(top.level, 10);
  EXPECT_EQ(top.rate, 100);

  // A stored rate without any study on record counts as nothing.
  stored(6, 100, 3, kNow - 10 * kDay);
  MemoryRate unstudied(accessor, 6, kUser, kNow);
  ASSERT_TRUE(unstudied.load());
  EXPECT_EQ(unstudied.currentRate(), 0);

  // Speed reply climbs only from level 0.
  studied(5, 4, kNow - 10 * kDay);
  stored(5, 90, 1, kNow - 10 * kDay);
  EXPECT_EQ(afterStudy(5, 4, 2, 0).level, 1);
}
