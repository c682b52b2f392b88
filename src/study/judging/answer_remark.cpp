#include "study/judging/answer_remark.h"

#include "database/folders/folders.h"
#include "database/records/question.h"
#include "database/engine/sql_helpers.h"
#include "platform/trace.h"
#include "services/part_of_speech.h"

namespace study {

namespace {

// The reply as a LIKE pattern that matches only itself: quotes doubled, and the pattern
// characters a user may well type ("50%", "snake_case") escaped.
std::wstring literalPattern(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : pdb3::escapeSqlQuotesTo(text)) {
    if (c == L'%' || c == L'_' || c == L'\\') out += L'\\';
    out += c;
  }
  return out;
}

std::wstring joinIds(const std::vector<int>& ids) {
  std::wstring out;
  for (const int id : ids) {
    if (!out.empty()) out += L',';
    out += std::to_wstring(id);
  }
  return out;
}

}  // namespace

std::wstring FindQuestionsByAnswer(const pdb3::DbObject& accessor, const std::wstring& reply,
                                   const std::vector<int>& studyIds) {
  if (reply.empty()) return {};
  const std::wstring pattern = literalPattern(reply);
  int qid = pdb3::querySqlfIntOrMinus1(
      accessor, L"SELECT qid FROM question WHERE answer LIKE '%ls' ESCAPE '\\' AND qid IN (%ls)", pattern.c_str(),
      joinIds(studyIds).c_str());
  if (qid < 0) {
    qid = pdb3::querySqlfIntOrMinus1(accessor, L"SELECT qid FROM question WHERE answer LIKE '%ls%%' ESCAPE '\\'",
                                     pattern.c_str());
  }
  if (qid < 0) return {};
  const std::wstring question = expandPartOfSpeech(pdb3::getQuestion(accessor, qid).questionText(0));
  const int sid = pdb3::querySqlfIntOrMinus1(accessor, L"SELECT sid FROM section WHERE qid=%d", qid);
  std::wstring path;
  if (sid >= 0 && pdb3::getElementPath(accessor, path, sid)) {
    return platform::format(L"%ls … %ls (%ls)", reply.c_str(), question.c_str(), path.c_str());
  }
  return platform::format(L"%ls … %ls", reply.c_str(), question.c_str());
}

}  // namespace study
