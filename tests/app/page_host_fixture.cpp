#include "page_host_fixture.h"

#include "platform/trace.h"

namespace apptest {

void PageApp::addQuestion(int qid, const wchar_t* answer, int sid) {
  if (answer)
    run(platform::format(L"INSERT INTO question VALUES (%d, 'q%d', '%ls', '', '', '', '', 0, 0, 0, '', '', '', '', '')",
                         qid, qid, answer));
  else
    run(platform::format(L"INSERT INTO question VALUES (%d, '', '', '', '', '', '', 0, 0, 0, '', '', '', '', '')", qid));
  run(platform::format(L"INSERT INTO section VALUES (%d, %d)", sid, qid));
}

void PageApp::learn(int qid, int rate, int level, int lastStudy, std::array<int, 10> t) {
  run(platform::format(L"INSERT INTO memory_rate VALUES (%d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d)", qid,
                       app.currentUserId, rate, level, t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9]));
  if (lastStudy > 0) logAnswers(qid, 0, {1, 0, 0, 0, 0, 0, 0, 0}, lastStudy);
}

void PageApp::logAnswers(int qid, int mid, std::array<int, 8> c, int lastStudy) {
  run(platform::format(L"INSERT INTO question_log VALUES (%d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, 0, 0, '', '')",
                       qid, app.currentUserId, mid, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], lastStudy));
}

}  // namespace apptest
