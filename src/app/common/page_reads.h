// Reads for the main dialog's pages and commands that tell a failure from "no row": a page keeps
// what it read in memory and draws from there, and an action that cannot read stops before it
// writes anything the missing rows would have decided.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/records/question.h"
#include "database/logs/question_log.h"
#include "database/logs/study_context.h"

namespace pagereads {

// The user's study log of the set in the mode: -1 when there is none. False when it cannot be read.
bool readLogId(const pdb3::StudyContext& study, int& lid);

// Column 0 of the first row; `missing` when there is no row (or the value is NULL). False on failure.
bool readInt(const pdb3::DbObject& accessor, const std::wstring& sql, int& out, int missing = 0);

// Column 0 of the first row as text; empty when there is no row. False on failure.
bool readText(const pdb3::DbObject& accessor, const std::wstring& sql, std::wstring& out);

// The questions with every text and the sound name read, each by one statement, all inside one
// read transaction; a question without a row reads empty. False as soon as one cannot be read.
bool readQuestions(const pdb3::DbObject& accessor, const std::vector<int>& ids, std::vector<pdb3::Question>& out);

// The questions of the ids (the rows a list is about to show) with their texts, and the user's
// answer logs of them in the mode, from one statement. Every id gets a question (empty without a
// row); an id without a log gets none, one with two rows for the key the first. False, both maps
// unchanged, when it cannot be read.
bool readQuestionsWithLogs(const pdb3::DbObject& accessor, const std::vector<int>& ids, int uid, int mid,
                           std::map<int, pdb3::Question>& questions, std::map<int, pdb3::QuestionLog>& logs);

// The rows first..first+count-1 of the set, in its order: their question ids into `ids`, their
// questions and the user's logs of them as readQuestionsWithLogs reads them, from one statement:
// one id for each row. Fewer ids when the set ends sooner. False, everything unchanged, when it
// cannot be read.
bool readSetRangeWithLogs(const pdb3::DbObject& accessor, int sid, int first, int count, int uid, int mid,
                          std::vector<int>& ids, std::map<int, pdb3::Question>& questions,
                          std::map<int, pdb3::QuestionLog>& logs);

// A number that changes whenever another connection (another program, or another connection of
// this one) has written to the file since it was read last on this one; the connection's own
// writes leave it. Inside a read transaction it names the state of the file the transaction reads.
// False when it cannot be read.
bool readChangeCount(const pdb3::DbObject& accessor, int& count);

// "1,2,3": ids for an IN list.
std::wstring idList(const std::vector<int>& ids);

// A question for each id, its texts empty until a row of the read gives them: a question the read
// finds no row for shows empty.
std::map<int, pdb3::Question> emptyQuestions(const pdb3::DbObject& accessor, const std::vector<int>& ids);

// Puts what a range read into a page's memory: its questions, and for each id its record, or none
// where the read found none (a record from an earlier read is not shown as current).
template <class Record>
void keepRangeRead(const std::vector<int>& ids, std::map<int, pdb3::Question>& readQuestions,
                   std::map<int, Record>& readRecords, std::map<int, pdb3::Question>& questions,
                   std::map<int, Record>& records) {
  for (auto& [qid, question] : readQuestions) questions.insert_or_assign(qid, std::move(question));
  for (int qid : ids) {
    const auto found = readRecords.find(qid);
    if (found == readRecords.end())
      records.erase(qid);
    else
      records.insert_or_assign(qid, std::move(found->second));
  }
}

}  // namespace pagereads
