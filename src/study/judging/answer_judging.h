// Judging a typed reply against the accepted answers: the exact-match ladder with its lenient
// remarks, the head and part rules of English-to-Japanese study, and the two typed commands.
#pragma once

#include <optional>
#include <string>

#include "study/judging/correct_answer_list.h"

namespace study {

// The settings the judging reads, taken from the application's settings at the moment of judging.
struct JudgeSettings {
  bool ignoreCase = true;
  bool judgeByHeadReply = false;
  bool judgeBySubReply = false;
  int judgeSubCount = 2;
  int multiJudgeCount = 0;
  int multiJudgeOkOnOverCount = 1;
};

enum MatchResult {
  MatchExact = 0,
  MatchCapitalFirst = 1,
  MatchMissingPeriod = 2,
  MatchMissingQuestionMark = 3,
  MatchEndCommand = 4,
  MatchExitCommand = 5,
  MatchNone = 6,
};

enum TypedResult {
  TypedCorrect = 0,
  TypedWrong = 1,
  TypedEndCommand = 2,
  TypedExitCommand = 3,
  TypedCorrectByHead = 4,
  TypedCorrectByPart = 5,
};

// Marks the matched entry and stores its index on success.
int MatchTypedAnswer(CorrectAnswerList& list, const std::wstring& text, bool ignoreCase,
                     bool skipAnswered, int& index);
bool JudgeByHead(const std::wstring& correct, const std::wstring& typed, const JudgeSettings& settings);
bool JudgeBySub(const std::wstring& correct, const std::wstring& typed, const JudgeSettings& settings);

struct TypedJudgement {
  int result = TypedWrong;
  std::optional<std::wstring> message;       // the remark to show, when the final judgement gives one
  std::optional<bool> lastReplyCorrect;      // set by the final judgement only
};

// finalJudgement is the "ok" path: it writes remarks and marks entries by the head and part rules.
// Without it (judging while the user types) already given answers are passed over and nothing of
// the window changes but the marks of the exact ladder.
TypedJudgement CheckTypedAnswer(const std::wstring& reply, CorrectAnswerList& list, int mode,
                                const JudgeSettings& settings, bool finalJudgement);

bool isCorrectResult(int typedResult);

// Re-input: the reply against the first answer not given yet.
bool MatchesCurrentAnswer(const CorrectAnswerList& list, const std::wstring& reply, int mode,
                          const JudgeSettings& settings);

// After a right reply: true when the question stays on screen to take its further answers.
bool AwaitsFurtherAnswers(const CorrectAnswerList& list, const JudgeSettings& settings);

}  // namespace study
