// The forgetting-curve arithmetic behind memory rates and levels, free of any database access.
// A level L (1..10) rests 2^(L-1) days before the next level-up; a rate decays toward a fifth of
// its value, to 40 % after one interval.
#pragma once

#include <cstdint>
#include <string>

namespace pdb3 {

constexpr int kMaxMemoryLevel = 10;
constexpr int kMaxMemoryRate = 100;
constexpr int kLevelupRate = 80;
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kLevelupRestSeconds = 10800;

// 2^n for n = 0..31 (n = 31 is INT_MIN as a 32-bit int); -1 for any other n.
int levelIntervalDays(int n);
// "F" .. "SSS" for levels 0..10, "?" otherwise.
std::wstring levelGrade(int level);

// Stored levels come from a file others write too; out-of-range ones index as the nearest valid.
int clampLevel(int level);

// What `rate` has decayed to after `days` at `level`. Level 0 has no interval of its own: the
// formula then runs with the table's -1 and is held at the stored rate wherever it would exceed
// it (below two days); elapsed time below 0 counts as none.
int decayedRate(int level, int rate, double days);
// Seconds between two study times, in days, as the rate decay measures them.
double elapsedDays(int64_t from, int64_t to);

// The earliest time at which a question may climb from `level`: 0 = at once. `levelBaseTime` is
// when the level was reached (for level 0 the first study), `lastStudyTime` the latest study
// (negative = never), `now` the time of the computation.
int64_t levelupTimeFor(int level, int64_t levelBaseTime, int64_t lastStudyTime, int64_t now);

// The rate after a study with nc correct and ni incorrect answers, at most 100.
int raisedRate(int currentRate, int nc, int ni);
// How many levels a study in `mode` climbs from `level`: typed answers 2, four-choice 1, the
// other modes 1 only from level 0.
int levelStep(int mode, int level);

}  // namespace pdb3
