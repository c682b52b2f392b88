#include <gtest/gtest.h>

#include "database/memory_rate.h"
#include "database/question_log.h"
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

TEST_F(MemoryRateTest, FirstStudiesRaiseTheRateAndClimbByMode) {
  struct Case { int mode, nc, ni, rate, level; };
  const Case cases[] = {
      {0, 1, 0, 80, 2}, {2, 1, 0, 80, 2},  // typed answers
      {1, 1, 0, 80, 1}, {3, 1, 0, 80, 1},  // four choices
      {4, 1, 0, 80, 1}, {6, 1, 0, 80, 1},  // the other modes, from level 0
      {0, 2, 0, 100, 2}, {0, 0, 1, 40, 0}, {0, 1, 1, 50, 0}, {0, 1, 2, 40, 0},
  };
  int qid = 100;
  for (const Case& c : cases) {
    const MemoryRate rate = afterStudy(++qid, c.mode, c.nc, c.ni);
    EXPECT_EQ(rate.rate, c.rate) << "mode " << c.mode << " nc " << c.nc << " ni " << c.ni;
    EXPECT_EQ(rate.level, c.level) << "mode " << c.mode << " nc " << c.nc << " ni " << c.ni;
    for (int level = 1; level <= 10; ++level)
      EXPECT_EQ(rate.levelTimes[level - 1], level == c.level ? kNow : 0) << "l" << level << "_time";
  }
}

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

  // Speed reply climbs only from level 0.
  studied(5, 4, kNow - 10 * kDay);
  stored(5, 90, 1, kNow - 10 * kDay);
  EXPECT_EQ(afterStudy(5, 4, 2, 0).level, 1);
}

TEST_F(MemoryRateTest, CurrentRateDecaysFromTheLatestStudyInAnyMode) {
  stored(7, 100, 3, kNow - 10 * kDay);
  MemoryRate never(accessor, 7, kUser, kNow);
  ASSERT_TRUE(never.load());
  EXPECT_EQ(never.currentRate(), 0) << "no study on record";
  EXPECT_EQ(never.cachedRate, -1);

  studied(7, 5, kNow - 4 * kDay);
  studied(7, 0, kNow - 2 * kDay);
  MemoryRate rate(accessor, 7, kUser, kNow);
  ASSERT_TRUE(rate.load());
  EXPECT_EQ(rate.lastStudyTime(), kNow - 2 * kDay);
  EXPECT_EQ(rate.currentRate(), 55);
  studied(7, 0, kNow);
  EXPECT_EQ(rate.currentRate(), 55) << "computed once per object";
}

TEST_F(MemoryRateTest, SaveInsertsThenUpdatesAndLoadReadsEveryColumn) {
  MemoryRate missing(accessor, 9, kUser, kNow);
  EXPECT_FALSE(missing.load());
  EXPECT_EQ(missing.rate, 0);

  MemoryRate rate(accessor, 9, kUser, kNow);
  rate.rate = 64;
  rate.level = 7;
  for (int i = 0; i < 10; ++i) rate.levelTimes[i] = 1000 + i;
  ASSERT_TRUE(rate.save());
  rate.rate = 65;
  ASSERT_TRUE(rate.save());
  EXPECT_EQ(db.value(L"SELECT count(*) FROM memory_rate"), L"1");

  MemoryRate read(accessor, 9, kUser, kNow);
  ASSERT_TRUE(read.load());
  EXPECT_EQ(read.rate, 65);
  EXPECT_EQ(read.level, 7);
  EXPECT_EQ(read.levelTimes, rate.levelTimes);
  EXPECT_FALSE(MemoryRate(accessor, 9, kUser + 1, kNow).load());
}
