#include "study/judging/correct_answer_list.h"

#include <algorithm>
#include <stdexcept>

#include "platform/text.h"
#include "study/judging/text_compare.h"

namespace study {

std::wstring trimBlanks(const std::wstring& text) {
  const auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void CorrectAnswerList::assign(const std::vector<std::wstring>& texts) {
  clear();
  for (const auto& raw : texts) {
    std::wstring text = trimBlanks(raw);
    if (text.empty()) break;
    if (find(text, false) < 0) entries_.push_back({std::move(text), false});
  }
}

void CorrectAnswerList::clear() {
  entries_.clear();
  answeredCount_ = 0;
}

const std::wstring& CorrectAnswerList::text(int index) const {
  static const std::wstring none;
  return index >= 0 && index < size() ? entries_[index].text : none;
}

bool CorrectAnswerList::isAnswered(int index) const {
  return index >= 0 && index < size() && entries_[index].answered;
}

bool CorrectAnswerList::markAnswered(int index) {
  if (index < 0 || index >= size()) return false;
  if (!entries_[index].answered) {
    entries_[index].answered = true;
    ++answeredCount_;
  }
  return true;
}

const std::wstring& CorrectAnswerList::at(int index) const {
  if (index < 0 || index >= size()) {
    throw std::out_of_range(platform::toUtf8(L"正解リストに対するインデックス指定が不正です。"));
  }
  return entries_[index].text;
}

int CorrectAnswerList::firstUnanswered() const {
  for (int i = 0; i < size(); ++i) {
    if (!entries_[i].answered) return i;
  }
  return -1;
}

template <typename Equal>
int CorrectAnswerList::findIf(bool skipAnswered, Equal equal) const {
  for (int i = 0; i < size(); ++i) {
    if (skipAnswered && entries_[i].answered) continue;
    if (equal(entries_[i].text)) return i;
  }
  return -1;
}

int CorrectAnswerList::find(const std::wstring& text, bool skipAnswered) const {
  return findIf(skipAnswered, [&](const std::wstring& entry) { return entry == text; });
}

int CorrectAnswerList::findNoCase(const std::wstring& text, bool skipAnswered) const {
  return findIf(skipAnswered, [&](const std::wstring& entry) { return equalNoCase(entry, text); });
}

}  // namespace study
