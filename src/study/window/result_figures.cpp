#include "study/window/result_figures.h"

#include "platform/trace.h"

namespace study {

double AnswerTally::correctRatio() const {
  const int total = correct + incorrect;
  return total == 0 ? 0.0 : static_cast<double>(correct) / total;
}

ResultGrade gradeForRate(double percent) {
  if (percent == 100) return {L"完ぺきですねっ！！", 0};
  if (percent > 90) return {L"あと一歩でしたね！", 1};
  if (percent > 70) return {L"よくできましたっ！", 2};
  if (percent > 50) return {L"ちょっと苦しかったかな？", 3};
  return {L"もう少しがんばろうねっ！", 4};
}

std::wstring studyTimeText(unsigned milliseconds) {
  if (milliseconds < 60000) return platform::format(L"%.1lf 秒", milliseconds * 0.001);
  const unsigned seconds = milliseconds / 1000;
  return platform::format(L"%d 分 %d 秒", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

std::wstring typingSpeedText(unsigned typedCharacters, unsigned milliseconds) {
  // Whole seconds, as the daily figures count them; under one second there is no speed yet.
  const unsigned seconds = milliseconds / 1000;
  const double perSecond = seconds == 0 ? 0.0 : static_cast<double>(typedCharacters) / seconds;
  return platform::format(L"%.2lf [Keys/分]  (%.2lf [Keys/秒])", perSecond * 60, perSecond);
}

std::wstring repeatedMark(const wchar_t* mark, int count) {
  std::wstring marks;
  for (int i = 0; i < count; ++i) marks += mark;
  return marks;
}

std::wstring levelChangeText(const std::wstring& before, const std::wstring& after) {
  return before == after ? before : before + L" → " + after;
}

}  // namespace study
