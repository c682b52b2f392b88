// The questions of a problem set (its `section` rows, in row order) and new, empty questions.
// Question-id lists are double-ended queues, as everywhere in the program.
#pragma once

#include <deque>
#include <vector>

#include "database/records/db_object.h"

namespace pdb3 {

// Inserts an empty question row (all texts empty, mode 65535, no times).
bool insertEmptyQuestion(const DbObject& accessor, int qid);
// A new empty question with the next free id, never below 1000000; -1 when the largest id cannot
// be read or the insert failed.
int createEmptyQuestion(const DbObject& accessor);

// Appends the question to the set without looking for a duplicate.
bool insertSectionRow(const DbObject& accessor, int sid, int qid);
// Appends the question to the set. Throws std::wstring: "すでに問題が存在しています" when the set
// holds it already, "問題をバインダーに追加できませんでした" when the insert fails (and the
// helpers' "Exception caught" when the set cannot be read).
void addQuestionToSection(const DbObject& accessor, int sid, int qid);

// The condition that the question row in scope has some text: the opposite of Question::isEmpty.
extern const wchar_t kQuestionHasText[];

// The set's question ids in the set's own order, appended to out.
bool sectionQuestionIds(const DbObject& accessor, int sid, std::deque<int>& out);
bool sectionQuestionIds(const DbObject& accessor, int sid, std::vector<int>& out);
// The same without the questions that have no text (isEmpty), decided in the same statement.
bool nonEmptyQuestionIds(const DbObject& accessor, int sid, std::deque<int>& out);
// Removes the ids of questions without text, keeping the order of the rest. False, with the ids
// as they were, when a question cannot be read.
bool dropEmptyQuestions(const DbObject& accessor, std::deque<int>& ids);
// Questions of the set with both a question and an answer; -1 when they cannot be counted.
int countUsableQuestions(const DbObject& accessor, int sid);

}  // namespace pdb3
