#include "database/records/question_sound.h"

#include <algorithm>

namespace pdb3 {

std::wstring soundFilePath(const std::wstring& folder, std::wstring storedName) {
  std::replace(storedName.begin(), storedName.end(), L'\\', L'/');
  if (folder.empty()) return storedName;
  if (folder.back() == L'/' || folder.back() == L'\\') return folder + storedName;
  return folder + L"/" + storedName;
}

bool playQuestionSound(const Question& question, const std::wstring& soundFolder, QuestionSoundOutput& output,
                       bool atOnce) {
  const std::wstring& name = question.wavFileName();
  if (name.empty()) return false;
  constexpr unsigned kFullVolume = 100;
  const std::wstring path = soundFilePath(soundFolder, name);
  return atOnce ? output.playNow(path, kFullVolume, kFullVolume) : output.enqueue(path, kFullVolume, kFullVolume);
}

}  // namespace pdb3
