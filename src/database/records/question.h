// One question: its key plus one lazily loaded field per column. Copies share the accessor's
// query object and carry over whatever was loaded already.
#pragma once

#include <array>
#include <string>

#include "database/records/column_field.h"
#include "database/engine/sql_helpers.h"

namespace sqliteplus {
class SqliteCursor;
}

namespace pdb3 {

enum class QuestionColumn { question, answer, hint, description, wavfilename, pronounce, mode, ctime, utime };

class Question : public DbObject {
 public:
  Question(const DbObject& accessor, int qid);

  int qid() const { return qid_; }

  const TextList& questionTexts() const { return question_.value(*this, qid_); }
  const TextList& answerTexts() const { return answer_.value(*this, qid_); }
  const TextList& hintTexts() const { return hint_.value(*this, qid_); }
  const TextList& descriptionTexts() const { return description_.value(*this, qid_); }
  const TextList& pronounceTexts() const { return pronounce_.value(*this, qid_); }
  std::wstring questionText(int i) const { return textListAt(questionTexts(), i); }
  std::wstring answerText(int i) const { return textListAt(answerTexts(), i); }
  // Relative to the sound folder of the settings; empty when the question has no sound.
  const std::wstring& wavFileName() const { return wavfilename_.value(*this, qid_); }
  int mode() const { return mode_.value(*this, qid_); }
  int ctime() const { return ctime_.value(*this, qid_); }
  int utime() const { return utime_.value(*this, qid_); }

  // Setters change the record only; saveQuestion or saveColumn writes it.
  void setQuestionTexts(TextList texts) { question_.set(std::move(texts)); }
  void setAnswerTexts(TextList texts) { answer_.set(std::move(texts)); }
  void setHintTexts(TextList texts) { hint_.set(std::move(texts)); }
  void setDescriptionTexts(TextList texts) { description_.set(std::move(texts)); }
  void setPronounceTexts(TextList texts) { pronounce_.set(std::move(texts)); }
  void setWavFileName(std::wstring name) { wavfilename_.set(std::move(name)); }
  void setMode(int mode) { mode_.set(mode); }
  void setCtime(int time) { ctime_.set(time); }
  void setUtime(int time) { utime_.set(time); }

  // No text at all: question, answer, hint, description and pronunciation lists all empty
  // (a sound file alone does not make a question).
  bool isEmpty() const;
  // Stamps the change time now, and the creation time too when it has none.
  void touch();

  // Writes one column.
  bool saveColumn(QuestionColumn column) const;
  const ColumnField& field(QuestionColumn column) const;

 private:
  int qid_;
  QuestionTextListField question_{L"question"};
  QuestionTextListField answer_{L"answer"};
  QuestionTextListField hint_{L"hint"};
  QuestionTextListField description_{L"description"};
  QuestionStringField wavfilename_{L"wavfilename"};
  QuestionTextListField pronounce_{L"pronounce"};
  QuestionIntField mode_{L"mode"};
  QuestionIntField ctime_{L"ctime"};
  QuestionIntField utime_{L"utime"};
};

// The text columns a list of questions reads, in one SELECT for many rows.
inline constexpr char kQuestionTextColumns[] = "question, answer, hint, description, pronounce, wavfilename";
inline constexpr int kQuestionTextColumnCount = columnCount(kQuestionTextColumns);
// Takes those columns, from column `first` of the row on, as the record's texts (NULL reads empty).
void takeQuestionTexts(const sqliteplus::SqliteCursor& row, int first, Question& question);
// A question without a row: empty texts, which is not a failed read.
void takeNoQuestionTexts(Question& question);

// No existence check: a missing row reads as empty texts and zeros.
Question getQuestion(const DbObject& accessor, int qid);

// Reads every column not read yet, reading again those whose read failed before. False when one
// could not be read: the record then holds empty stand-ins that must not be shown for editing.
bool loadAllColumns(const Question& question);

// Writes the whole row (reading first whatever was not read yet). False, with nothing written,
// when a column could not be read: saving its empty stand-in would erase the stored text.
bool saveQuestion(const Question& question);

}  // namespace pdb3
