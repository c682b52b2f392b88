#include "study/skin/text_macros.h"

#include "platform/trace.h"

namespace study {

namespace {

void replaceEvery(std::wstring& text, const std::wstring& macro, const std::wstring& value) {
  for (size_t at = text.find(macro); at != std::wstring::npos; at = text.find(macro, at + value.size())) {
    text.replace(at, macro.size(), value);
  }
}

std::wstring number(int value) { return platform::format(L"%d", value); }

}  // namespace

int questionsInPass(const StudyFlow& flow) {
  if (flow.tstate == TurnEnd) return 0;
  if (flow.astate == PassFirst) return flow.setupCount();
  return flow.shownInPass + static_cast<int>(flow.currentQueue.size()) + 1;
}

int countWords(const std::wstring& text) {
  int words = 0;
  bool inWord = false;
  for (wchar_t c : text) {
    const bool blank = c == L' ' || c == L'\t';
    if (!blank && !inWord) ++words;
    inWord = !blank;
  }
  return words;
}

std::wstring ExpandTextMacros(std::wstring text, const MacroSources& sources) {
  if (text.find(L'%') == std::wstring::npos) return text;
  const StudyFlow& flow = sources.flow;
  replaceEvery(text, L"%nMistakeReply2%", number(flow.reReply2Passes));
  replaceEvery(text, L"%nMistakeReply%", number(flow.reReplyPasses));
  replaceEvery(text, L"%nCorrectsNow%", number(flow.now.corrects));
  replaceEvery(text, L"%nMistakesNow%", number(flow.now.mistakes));
  replaceEvery(text, L"%nCorrectsAll%", number(flow.all.corrects));
  replaceEvery(text, L"%nMistakesAll%", number(flow.all.mistakes));
  replaceEvery(text, L"%nQuestions%", number(questionsInPass(flow)));
  replaceEvery(text, L"%nRemindQuestions%", number(static_cast<int>(flow.currentQueue.size())));
  // Below one whole second of answering there is no speed to show yet: the macro stays.
  const unsigned seconds = sources.replyMilliseconds / 1000;
  if (seconds > 0) {
    const double speed = sources.typedCharacters == 0 ? 0.0 : sources.typedCharacters / double(seconds) * 60;
    replaceEvery(text, L"%nInputSpeed%", platform::format(L"%.2lf", speed));
  }
  replaceEvery(text, L"%nPoint%", platform::format(L"%4d", flow.points));
  replaceEvery(text, L"%strTitle%", flow.banner);
  replaceEvery(text, L"%strBanner%", sources.timedMessage);
  for (int i = 0; i < 5; ++i) {
    const int words = i < sources.answers.size() ? countWords(sources.answers.text(i)) : 0;
    replaceEvery(text, platform::format(L"%%nAnswerWord%d%%", i + 1), number(words));
  }
  replaceEvery(text, L"%strAnswer%", sources.answerIndicator);
  replaceEvery(text, L"%strResultComment%", sources.resultComment);
  return text;
}

}  // namespace study
