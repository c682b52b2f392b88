// The "%...%" macros a skin may write in the texts it draws.
#pragma once

#include <string>

#include "study/judging/correct_answer_list.h"
#include "study/study_flow.h"

namespace study {

// What the macros show besides the study's course.
struct MacroSources {
  const StudyFlow& flow;
  const CorrectAnswerList& answers;
  unsigned typedCharacters = 0;
  unsigned replyMilliseconds = 0;
  std::wstring timedMessage;     // %strBanner%
  std::wstring answerIndicator;  // %strAnswer%
  std::wstring resultComment;    // %strResultComment%
};

std::wstring ExpandTextMacros(std::wstring text, const MacroSources& sources);

// The questions of the pass being asked, as "%nQuestions%" shows them.
int questionsInPass(const StudyFlow& flow);
// Runs of characters other than blank and tab.
int countWords(const std::wstring& text);

}  // namespace study
