#include "services/question_rows.h"

#include <algorithm>

#include "database/engine/read_transaction.h"
#include "platform/text.h"
#include "services/part_of_speech.h"
#include "services/text_edit.h"

namespace {

bool isAscii(const std::wstring& text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return static_cast<uint32_t>(c) < 0x80; });
}

std::vector<std::wstring> withoutEmpty(const pdb3::TextList& texts) {
  std::vector<std::wstring> kept;
  for (const std::wstring& text : texts)
    if (!text.empty()) kept.push_back(text);
  return kept;
}

constexpr int kWidthMargin = 5;

}  // namespace

int DisplayWidth(const std::wstring& text) {
  // Code page 932 writes every double-width character in two bytes and every other in one.
  if (isAscii(text)) return static_cast<int>(text.size());
  return static_cast<int>(platform::toCp932(text).size());
}

std::vector<pdb3::Question> loadQuestionRows(const pdb3::DbObject& accessor, const std::deque<int>& ids) {
  const pdb3::ReadTransaction transaction(accessor);
  std::vector<pdb3::Question> questions;
  questions.reserve(ids.size());
  for (int qid : ids) {
    questions.push_back(pdb3::getQuestion(accessor, qid));
    questions.back().questionTexts();
    questions.back().answerTexts();
  }
  return questions;
}

int MaxQuestionWidth(const std::deque<int>& ids, const pdb3::DbObject& accessor) {
  return MaxQuestionWidth(loadQuestionRows(accessor, ids));
}

int MaxQuestionWidth(const std::vector<pdb3::Question>& questions) {
  int widest = 0;
  for (const pdb3::Question& question : questions)
    for (const std::wstring& text : question.questionTexts())
      widest = std::max(widest, DisplayWidth(expandPartOfSpeech(text)));
  return widest + kWidthMargin;
}

void FormatQuestionRows(TextExportBuffer& buffer, const pdb3::Question& question, int width) {
  const std::vector<std::wstring> questions = withoutEmpty(question.questionTexts());
  const std::vector<std::wstring> answers = withoutEmpty(question.answerTexts());
  const size_t rows = std::max(questions.size(), answers.size());
  for (size_t r = 0; r < rows; ++r) {
    std::wstring line = r < questions.size() ? expandPartOfSpeech(questions[r]) : std::wstring();
    if (r < answers.size()) {
      const int used = DisplayWidth(line);
      if (used < width) line.append(static_cast<size_t>(width - used), L' ');
      line += answers[r];
    }
    buffer.add(std::move(line), question.qid());
  }
}

std::wstring ReplaceFileNameChars(std::wstring name) {
  replaceAll(name, L"<", L"＜");
  replaceAll(name, L">", L"＞");
  replaceAll(name, L",", L"，");
  replaceAll(name, L"/", L"／");
  std::erase(name, L'?');
  return name;
}

std::wstring ReplaceFileNameCharsInLastComponent(const std::wstring& path) {
  const size_t slash = path.rfind(L'/');
  if (slash == std::wstring::npos) return ReplaceFileNameChars(path);
  return path.substr(0, slash + 1) + ReplaceFileNameChars(path.substr(slash + 1));
}

std::wstring ReplaceExtension(const std::wstring& path, const std::wstring& extension) {
  const size_t slash = path.rfind(L'/');
  const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
  const size_t dot = path.rfind(L'.');
  const size_t stemEnd = dot != std::wstring::npos && dot >= nameStart ? dot : path.size();
  return path.substr(0, stemEnd) + L"." + extension;
}
