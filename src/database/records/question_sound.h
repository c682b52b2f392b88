// Playing a question's recorded sound through whatever plays sounds (the sound queue).
#pragma once

#include <string>

#include "database/records/question.h"

namespace pdb3 {

class QuestionSoundOutput {
 public:
  virtual ~QuestionSoundOutput() = default;
  // Drops whatever is queued or playing, then plays the file.
  virtual bool playNow(const std::wstring& path, unsigned leftVolume, unsigned rightVolume) = 0;
  // Plays the file after the sounds queued before it.
  virtual bool enqueue(const std::wstring& path, unsigned leftVolume, unsigned rightVolume) = 0;
};

// Where a stored sound file name lies below the folder: names written by the problem-set editor
// may name a subfolder with backslashes. Every sound of a question (its sound, its voice file)
// is found by this one rule.
std::wstring soundFilePath(const std::wstring& folder, std::wstring storedName);

// False when the question has no sound file; otherwise the output's result for
// soundFilePath(soundFolder, file name) at full volume, played at once or queued.
bool playQuestionSound(const Question& question, const std::wstring& soundFolder, QuestionSoundOutput& output,
                       bool atOnce);

}  // namespace pdb3
