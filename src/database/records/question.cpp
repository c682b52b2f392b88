#include "database/records/question.h"

#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "platform/clock.h"
#include "platform/trace.h"

namespace pdb3 {

namespace {

constexpr QuestionColumn kAllColumns[] = {
    QuestionColumn::question,  QuestionColumn::answer, QuestionColumn::hint,
    QuestionColumn::description, QuestionColumn::wavfilename, QuestionColumn::pronounce,
    QuestionColumn::mode,      QuestionColumn::ctime,  QuestionColumn::utime};

std::wstring quotedList(const TextList& items) { return escapeSqlQuotesTo(joinTextList(items)); }

}  // namespace

Question::Question(const DbObject& accessor, int qid) : DbObject(accessor), qid_(qid) {}

const ColumnField& Question::field(QuestionColumn column) const {
  switch (column) {
    case QuestionColumn::question: return question_;
    case QuestionColumn::answer: return answer_;
    case QuestionColumn::hint: return hint_;
    case QuestionColumn::description: return description_;
    case QuestionColumn::wavfilename: return wavfilename_;
    case QuestionColumn::pronounce: return pronounce_;
    case QuestionColumn::mode: return mode_;
    case QuestionColumn::ctime: return ctime_;
    case QuestionColumn::utime: break;
  }
  return utime_;
}

bool Question::isEmpty() const {
  return answerTexts().empty() && questionTexts().empty() && hintTexts().empty() && descriptionTexts().empty() &&
         pronounceTexts().empty();
}

void Question::touch() {
  const int now = static_cast<int>(platform::nowSeconds());
  setUtime(now);
  if (ctime() == 0) setCtime(now);
}

bool Question::saveColumn(QuestionColumn column) const { return field(column).save(*this, qid_); }

Question getQuestion(const DbObject& accessor, int qid) { return Question(accessor, qid); }

namespace {

std::wstring textOrEmpty(const sqliteplus::SqliteCursor& row, int column) {
  return row.isNull(column) ? std::wstring() : row.getString(column);
}

}  // namespace

void takeQuestionTexts(const sqliteplus::SqliteCursor& row, int first, Question& question) {
  question.setQuestionTexts(splitTextList(textOrEmpty(row, first)));
  question.setAnswerTexts(splitTextList(textOrEmpty(row, first + 1)));
  question.setHintTexts(splitTextList(textOrEmpty(row, first + 2)));
  question.setDescriptionTexts(splitTextList(textOrEmpty(row, first + 3)));
  question.setPronounceTexts(splitTextList(textOrEmpty(row, first + 4)));
  question.setWavFileName(textOrEmpty(row, first + 5));
}

void takeNoQuestionTexts(Question& question) {
  for (auto set : {&Question::setQuestionTexts, &Question::setAnswerTexts, &Question::setHintTexts,
                   &Question::setDescriptionTexts, &Question::setPronounceTexts})
    (question.*set)({});
  question.setWavFileName({});
}

bool loadAllColumns(const Question& q) {
  for (QuestionColumn column : kAllColumns) {
    const ColumnField& field = q.field(column);
    if (!field.isLoaded() || field.loadFailed()) field.load(q, q.qid());
    if (field.loadFailed()) {
      platform::traceError(L"question %d : column %ls could not be read\n", q.qid(), field.column());
      return false;
    }
  }
  return true;
}

bool saveQuestion(const Question& q) {
  for (QuestionColumn column : kAllColumns) {
    const ColumnField& field = q.field(column);
    field.ensureLoaded(q, q.qid());
    if (field.loadFailed()) {
      platform::traceError(L"saveQuestion : column %ls of question %d could not be read; nothing written\n",
                           field.column(), q.qid());
      return false;
    }
  }
  return execSqlf(q,
                  L"UPDATE question SET answer='%ls', question='%ls', hint='%ls', description='%ls', "
                  L"wavfilename='%ls', pronounce='%ls', mode=%d, ctime=%d, utime=%d WHERE qid=%d",
                  quotedList(q.answerTexts()).c_str(), quotedList(q.questionTexts()).c_str(),
                  quotedList(q.hintTexts()).c_str(), quotedList(q.descriptionTexts()).c_str(),
                  escapeSqlQuotesTo(q.wavFileName()).c_str(), quotedList(q.pronounceTexts()).c_str(), q.mode(),
                  q.ctime(), q.utime(), q.qid());
}

}  // namespace pdb3
