#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "database/memory/memory_model.h"

using namespace pdb3;

TEST(MemoryModel, IntervalTableAndGrades) {
  EXPECT_EQ(levelIntervalDays(0), 1);
  EXPECT_EQ(levelIntervalDays(9), 512);
  EXPECT_EQ(levelIntervalDays(30), 1 << 30);
  EXPECT_EQ(levelIntervalDays(31), INT_MIN);
  EXPECT_EQ(levelIntervalDays(32), -1);
  EXPECT_EQ(levelIntervalDays(-1), -1);
  EXPECT_EQ(levelGrade(0), L"F");
  EXPECT_EQ(levelGrade(6), L"AA");
  EXPECT_EQ(levelGrade(10), L"SSS");
  EXPECT_EQ(levelGrade(11), L"?");
  EXPECT_EQ(levelGrade(-1), L"?");
}

TEST(MemoryModel, DecayReproducesTheWorkedValues) {
  struct Case { int level, rate; double days; int expected; };
  const Case cases[] = {
      {1, 100, 1, 40}, {3, 100, 2, 55}, {3, 100, 4, 40}, {10, 100, 30, 91}, {1, 80, 3, 20},
      {5, 73, 0, 73},     // no time, no decay
      {2, 100, 1e9, 20},  // toward a fifth
      {1, 100, -3, 100},  // a clock set back counts as no time
      {14, 100, 30, 91},  // a level above 10 decays as level 10
  };
  for (const Case& c : cases)
    EXPECT_EQ(decayedRate(c.level, c.rate, c.days), c.expected) << c.level << " " << c.rate << " " << c.days;
  // Through the seconds the history stores, as the model measures them.
  EXPECT_EQ(decayedRate(1, 100, elapsedDays(1000, 1000 + 86400)), 40);
  EXPECT_EQ(decayedRate(3, 100, elapsedDays(0, 2 * 86400)), 55);
  EXPECT_EQ(decayedRate(1, 80, elapsedDays(0, 3 * 86400)), 20);
}

TEST(MemoryModel, LevelZeroDecayIsHeldAtTheStoredRateUntilTheFormulaFallsBelowIt) {
  EXPECT_EQ(decayedRate(0, 50, 0.0), 50);
  EXPECT_EQ(decayedRate(0, 50, 0.5), 50);  // formula: 3.4 times the rate
  EXPECT_EQ(decayedRate(0, 50, 1.0), 50);  // formula: division by zero
  EXPECT_EQ(decayedRate(0, 50, 2.0), 50);
  EXPECT_EQ(decayedRate(0, 50, 3.0), 20);  // from here on the literal values
  EXPECT_EQ(decayedRate(0, 100, 10.0), static_cast<int>((0.8 / 81 + 0.2) * 100));
  EXPECT_EQ(decayedRate(-4, 50, 3.0), 20);
  EXPECT_EQ(decayedRate(0, 50, std::nan("")), 50);
}

TEST(MemoryModel, LevelupWaitsOneIntervalAndThreeHoursAfterTheLatestStudy) {
  const int64_t day = 86400;
  const int64_t base = 1'700'000'000;
  struct Case { int level; int64_t base, last, now, expected; };
  const Case cases[] = {
      {0, 0, -1, base, 0},                                  // never studied: at once
      {0, base, base, base + 3600, base + 10800},           // level 0: three hours after the latest study
      {1, base, base, base + 7200, base + day},             // reached two hours ago: one day's rest
      {1, base, base + day, base + day + 60, base + day + 10800},  // interval passed, studied a minute ago
      {1, base, base + 3600, base + 2 * day, base + day},   // both passed: due already
      {3, base, -1, base, base + 4 * day},                  // negative last study counts as 0
      {12, base, base, base, base + 512 * day},             // above 10 waits as level 10
      {10, 2'147'000'000, 0, 0, 2'147'000'000 + 512 * day}, // beyond 32 bits without wrapping
  };
  for (const Case& c : cases)
    EXPECT_EQ(levelupTimeFor(c.level, c.base, c.last, c.now), c.expected) << "level " << c.level;
}

TEST(MemoryModel, RaiseAndStepFollowTheAnswersAndTheMode) {
  EXPECT_EQ(raisedRate(0, 1, 0), 80);
  EXPECT_EQ(raisedRate(0, 2, 0), 100);
  EXPECT_EQ(raisedRate(10, 2, 1), 100);
  EXPECT_EQ(raisedRate(10, 0, 0), 60);
  EXPECT_EQ(raisedRate(10, 1, 1), 60);
  EXPECT_EQ(raisedRate(10, 0, 1), 50);
  EXPECT_EQ(raisedRate(90, 0, 1), 100);
  const int steps[7][2] = {{2, 2}, {1, 1}, {2, 2}, {1, 1}, {1, 0}, {1, 0}, {1, 0}};
  for (int mode = 0; mode < 7; ++mode) {
    EXPECT_EQ(levelStep(mode, 0), steps[mode][0]) << "mode " << mode;
    EXPECT_EQ(levelStep(mode, 4), steps[mode][1]) << "mode " << mode;
  }
}
