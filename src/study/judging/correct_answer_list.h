// The accepted answers of the question on screen, with a flag per answer already given.
#pragma once

#include <string>
#include <vector>

namespace study {

// Blanks and tabs only: other white space (full-width blanks, line breaks) is part of the text.
std::wstring trimBlanks(const std::wstring& text);

class CorrectAnswerList {
 public:
  // Takes the texts up to the first one that is empty after trimming; duplicates are dropped.
  void assign(const std::vector<std::wstring>& texts);
  void clear();

  int size() const { return static_cast<int>(entries_.size()); }
  int answeredCount() const { return answeredCount_; }
  bool empty() const { return entries_.empty(); }

  // Out of range gives the empty text / false instead of failing: the window asks freely.
  const std::wstring& text(int index) const;
  bool isAnswered(int index) const;
  bool markAnswered(int index);
  // Throws std::out_of_range for a bad index.
  const std::wstring& at(int index) const;

  int firstUnanswered() const;
  int find(const std::wstring& text, bool skipAnswered) const;
  int findNoCase(const std::wstring& text, bool skipAnswered) const;

 private:
  struct Entry {
    std::wstring text;
    bool answered = false;
  };
  template <typename Equal>
  int findIf(bool skipAnswered, Equal equal) const;

  std::vector<Entry> entries_;
  int answeredCount_ = 0;
};

}  // namespace study
