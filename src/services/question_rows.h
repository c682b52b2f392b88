// Questions laid out as aligned text rows (question texts on the left, answers in a column to
// their right), as the plain-text export writes them and the question preview shows them, and
// the clean-up of a file name made from a problem-set path.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "database/records/question.h"

// Columns the text takes in a fixed-pitch Japanese font: 2 for a character whose code page 932
// form has two bytes, 1 for every other one (a character the code page lacks counts 1).
int DisplayWidth(const std::wstring& text);

// The questions with their question and answer texts read, all inside one read transaction.
std::vector<pdb3::Question> loadQuestionRows(const pdb3::DbObject& accessor, const std::deque<int>& ids);

// The widest question text of the questions (part-of-speech codes expanded) plus 5; 5 for none.
int MaxQuestionWidth(const std::deque<int>& ids, const pdb3::DbObject& accessor);
int MaxQuestionWidth(const std::vector<pdb3::Question>& questions);

// Rows of text, each with the id of the question it shows.
struct TextExportBuffer {
  void add(std::wstring line, int qid) {
    lines.push_back(std::move(line));
    questionIds.push_back(qid);
  }
  std::vector<std::wstring> lines;
  std::vector<int> questionIds;
};

// One row per question or answer text (empty ones left out): the question text (codes expanded)
// padded with blanks to `width` columns when an answer follows, then the answer as stored. A row
// with an answer but no question text indents the answer by the whole width.
void FormatQuestionRows(TextExportBuffer& buffer, const pdb3::Question& question, int width);

// One file-name component from any text: "<" ">" "," "/" become their full-width forms, "?" goes.
std::wstring ReplaceFileNameChars(std::wstring name);
// The path with only its last component cleaned by ReplaceFileNameChars.
std::wstring ReplaceFileNameCharsInLastComponent(const std::wstring& path);
// The path with the extension of its last component replaced (a name without a "." gets one).
std::wstring ReplaceExtension(const std::wstring& path, const std::wstring& extension);
