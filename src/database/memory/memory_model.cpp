#include "database/memory/memory_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pdb3 {

int levelIntervalDays(int n) {
  if (n < 0 || n > 31) return -1;
  return static_cast<int>(static_cast<uint32_t>(1) << n);
}

std::wstring levelGrade(int level) {
  static const wchar_t* const kGrades[] = {L"F", L"E", L"D", L"C", L"B", L"A", L"AA", L"AAA", L"S", L"SS", L"SSS"};
  if (level < 0 || level > kMaxMemoryLevel) return L"?";
  return kGrades[level];
}

int clampLevel(int level) { return std::clamp(level, 0, kMaxMemoryLevel); }

int decayedRate(int level, int rate, double days) {
  if (!(days > 0.0)) days = 0.0;  // also catches NaN
  const double interval = levelIntervalDays(clampLevel(level) - 1);
  const double x = days / interval + 1.0;
  const double result = (0.8 / (x * x) + 0.2) * rate;
  if (!std::isfinite(result) || result < 0.0 || result > rate) return rate;
  return static_cast<int>(result);
}

double elapsedDays(int64_t from, int64_t to) {
  return static_cast<double>(to - from) * 1.1574074074074073e-5;
}

int64_t levelupTimeFor(int level, int64_t levelBaseTime, int64_t lastStudyTime, int64_t now) {
  if (levelBaseTime == 0) return 0;
  const int64_t rest = std::max<int64_t>(lastStudyTime, 0) + kLevelupRestSeconds;
  level = clampLevel(level);
  if (level == 0) return rest;
  const int64_t due = levelBaseTime + static_cast<int64_t>(levelIntervalDays(level - 1)) * kSecondsPerDay;
  if (now <= due) return due;
  return now < rest ? rest : due;
}

int raisedRate(int currentRate, int nc, int ni) {
  int raise;
  if (nc == 1 && ni == 0) raise = 80;
  else if (nc > ni) raise = 100;
  else if (nc == ni) raise = 50;
  else raise = 40;
  return std::min(currentRate + raise, kMaxMemoryRate);
}

int levelStep(int mode, int level) {
  switch (mode) {
    case 0:
    case 2:
      return 2;
    case 1:
    case 3:
      return 1;
    default:
      return level == 0 ? 1 : 0;
  }
}

}  // namespace pdb3
