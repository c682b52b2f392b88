#include "study/judging/answer_judging.h"

#include "platform/random.h"
#include "platform/text.h"
#include "study/study_modes.h"
#include "study/judging/text_compare.h"

namespace study {

namespace {

bool isAsciiLower(wchar_t c) { return c >= L'a' && c <= L'z'; }

bool endsWith(const std::wstring& text, wchar_t c) { return !text.empty() && text.back() == c; }

bool anyEntryEqualsNoCase(const CorrectAnswerList& list, const std::wstring& text) {
  return list.findNoCase(text, false) >= 0;
}

int markMatch(CorrectAnswerList& list, int found, int result, int& index) {
  list.markAnswered(found);
  index = found;
  return result;
}

// The common part of the head and part rules: answers shorter than the rule's count must be
// typed whole; otherwise the typed text must be at least that long and no longer than the answer.
std::optional<bool> shortAnswerRule(const std::wstring& correct, const std::wstring& typed,
                                    const JudgeSettings& settings) {
  const int n = settings.judgeSubCount;
  if (utf16Length(correct) < n) {
    return settings.ignoreCase ? equalNoCase(correct, typed) : correct == typed;
  }
  if (utf16Length(typed) < n || utf16Length(typed) > utf16Length(correct)) return false;
  return std::nullopt;
}

std::wstring folded(const std::wstring& text, const JudgeSettings& settings) {
  return settings.ignoreCase ? lowerCased(text) : text;
}

}  // namespace

int MatchTypedAnswer(CorrectAnswerList& list, const std::wstring& text, bool ignoreCase,
                     bool skipAnswered, int& index) {
  int found = ignoreCase ? list.findNoCase(text, skipAnswered) : list.find(text, skipAnswered);
  if (found >= 0) return markMatch(list, found, MatchExact, index);

  if (!text.empty() && isAsciiLower(text.front())) {
    std::wstring capital = text;
    capital.front() = static_cast<wchar_t>(capital.front() - L'a' + L'A');
    found = list.find(capital, skipAnswered);
    if (found >= 0) return markMatch(list, found, MatchCapitalFirst, index);
  }
  if (!endsWith(text, L'.')) {
    found = list.find(text + L".", skipAnswered);
    if (found >= 0) return markMatch(list, found, MatchMissingPeriod, index);
  }
  if (!endsWith(text, L'?')) {
    found = list.find(text + L"?", skipAnswered);
    if (found >= 0) return markMatch(list, found, MatchMissingQuestionMark, index);
  }
  if (equalNoCase(text, L"!exit") && !anyEntryEqualsNoCase(list, L"!exit")) return MatchExitCommand;
  if (equalNoCase(text, L"!end") && !anyEntryEqualsNoCase(list, L"!end")) return MatchEndCommand;
  return MatchNone;
}

bool JudgeByHead(const std::wstring& correct, const std::wstring& typed, const JudgeSettings& settings) {
  if (auto decided = shortAnswerRule(correct, typed, settings)) return *decided;
  const std::u16string head = platform::toUtf16(folded(correct, settings));
  const std::u16string typed16 = platform::toUtf16(folded(typed, settings));
  return head.compare(0, typed16.size(), typed16) == 0;
}

bool JudgeBySub(const std::wstring& correct, const std::wstring& typed, const JudgeSettings& settings) {
  if (auto decided = shortAnswerRule(correct, typed, settings)) return *decided;
  return folded(correct, settings).find(folded(typed, settings)) != std::wstring::npos;
}

TypedJudgement CheckTypedAnswer(const std::wstring& reply, CorrectAnswerList& list, int mode,
                                const JudgeSettings& settings, bool finalJudgement) {
  TypedJudgement judgement;
  const auto remark = [&](const wchar_t* text) {
    if (finalJudgement) judgement.message = text;
  };
  const std::wstring trimmed = trimBlanks(reply);
  if (trimmed.empty()) {
    remark(L"おいおい！ あきらめたのかっ？");
    if (finalJudgement) judgement.lastReplyCorrect = false;
    judgement.result = TypedWrong;
    return judgement;
  }
  if (finalJudgement) judgement.lastReplyCorrect = true;

  if (mode == ModeEj && (settings.judgeByHeadReply || settings.judgeBySubReply)) {
    const bool byHead = settings.judgeByHeadReply;
    for (int i = 0; i < list.size(); ++i) {
      const bool hit = byHead ? JudgeByHead(list.text(i), reply, settings)
                              : JudgeBySub(list.text(i), reply, settings);
      if (!hit) continue;
      remark(byHead ? L"先頭が合っていました！" : L"一部が合っていました！");
      if (finalJudgement) list.markAnswered(i);
      judgement.result = byHead ? TypedCorrectByHead : TypedCorrectByPart;
      return judgement;
    }
  }

  int index = -1;
  const int match = MatchTypedAnswer(list, trimmed, settings.ignoreCase, !finalJudgement, index);
  switch (match) {
    case MatchExact: {
      static const wchar_t* const praise[] = {L"よっし、正解！", L"それ、正解だよ。", L"正解だよ。調子いいんでない？"};
      // Drawn only for the final judgement, so that typing does not disturb the random sequence.
      if (finalJudgement) remark(praise[platform::randomValue() % 3]);
      judgement.result = TypedCorrect;
      break;
    }
    case MatchCapitalFirst:
    case MatchMissingPeriod:
    case MatchMissingQuestionMark: {
      static const wchar_t* const nearMiss[] = {L"おしいっ！ ホントは１文字目が大文字だっ！！",
                                                L"おしいっ！ ピリオドを忘れてるぞっ！！",
                                                L"おしいっ！ クエスチョンマークを忘れてるぞっ！！"};
      remark(nearMiss[match - MatchCapitalFirst]);
      judgement.result = TypedCorrect;
      break;
    }
    case MatchEndCommand:
      judgement.result = TypedEndCommand;
      break;
    case MatchExitCommand:
      judgement.result = TypedExitCommand;
      break;
    default:
      remark(L"ざぁ～んねん、不正解！");
      if (finalJudgement) judgement.lastReplyCorrect = false;
      judgement.result = TypedWrong;
      break;
  }
  return judgement;
}

bool isCorrectResult(int typedResult) {
  return typedResult == TypedCorrect || typedResult == TypedCorrectByHead || typedResult == TypedCorrectByPart;
}

bool MatchesCurrentAnswer(const CorrectAnswerList& list, const std::wstring& reply, int mode,
                          const JudgeSettings& settings) {
  const std::wstring& expected = list.text(list.firstUnanswered());
  if (mode == ModeEj && settings.judgeByHeadReply) return JudgeByHead(expected, reply, settings);
  if (mode == ModeEj && settings.judgeBySubReply) return JudgeBySub(expected, reply, settings);
  return settings.ignoreCase ? equalNoCase(reply, expected) : reply == expected;
}

bool AwaitsFurtherAnswers(const CorrectAnswerList& list, const JudgeSettings& settings) {
  if (list.answeredCount() == list.size()) return false;
  return !(settings.multiJudgeCount == 1 && list.size() >= settings.multiJudgeOkOnOverCount);
}

}  // namespace study
