#include "database/question_sound.h"

namespace pdb3 {

bool playQuestionSound(const Question& question, const std::wstring& soundFolder, QuestionSoundOutput& output,
                       bool atOnce) {
  const std::wstring& name = question.wavFileName();
  if (name.empty()) return false;
  constexpr unsigned kFullVolume = 100;
  const std::wstring path = soundFolder + L"/" + name;
  return atOnce ? output.playNow(path, kFullVolume, kFullVolume) : output.enqueue(path, kFullVolume, kFullVolume);
}

}  // namespace pdb3
