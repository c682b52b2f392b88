// The figures of the result dialog: the grade, the study time and the typing speed.
#pragma once

#include <string>

namespace study {

struct AnswerTally {
  int incorrect = 0;
  int correct = 0;
  double correctRatio() const;
};

struct ResultGrade {
  const wchar_t* message;
  int pictureIndex;  // the 70-pixel slice of the face picture
};

// percent is 100 x the correct ratio.
ResultGrade gradeForRate(double percent);
std::wstring studyTimeText(unsigned milliseconds);
std::wstring typingSpeedText(unsigned typedCharacters, unsigned milliseconds);
std::wstring repeatedMark(const wchar_t* mark, int count);
std::wstring levelChangeText(const std::wstring& before, const std::wstring& after);

}  // namespace study
