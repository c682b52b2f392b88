#include "database/daily_log.h"

#include <string>

#include "database/record_rows.h"
#include "database/sql_helpers.h"
#include "platform/trace.h"

namespace pdb3 {

bool DailyQuestionResult::save(const DbObject& accessor, int did, int qid) const {
  return saveByCount(
      accessor, platform::format(L"SELECT count(*) FROM daily_question_log WHERE did=%d AND qid=%d", did, qid),
      [&] {
        return execSqlf(accessor,
                        L"UPDATE daily_question_log SET nc1=%d, ni1=%d, nc2=%d, ni2=%d, ReplySec=%lf, ext1=%d, "
                        L"ext2=%d WHERE did=%d AND qid=%d",
                        nc1, ni1, nc2, ni2, ReplySec, ext1, ext2, did, qid);
      },
      [&] {
        return execSqlf(accessor, L"INSERT INTO daily_question_log VALUES( %d, %d, %d, %d, %d, %d, %lf, %d, %d )",
                        did, qid, nc1, ni1, nc2, ni2, ReplySec, ext1, ext2);
      });
}

bool DailyLogRecord::save() const {
  if (did < 0 || lid < 0) throw std::wstring(L"not specified the did or lid...");
  const bool saved = saveByCount(
      *this, platform::format(L"SELECT count(*) FROM daily_log WHERE did=%d AND lid=%d", did, lid),
      [&] {
        return execSqlf(*this, L"UPDATE daily_log SET StartTime=%d, EndTime=%d, Strokes=%d WHERE did=%d AND lid=%d",
                        StartTime, EndTime, Strokes, did, lid);
      },
      [&] {
        return execSqlf(*this, L"INSERT INTO daily_log VALUES( %d, %d, %d, %d, %d, '', '' )", did, lid, StartTime,
                        EndTime, Strokes);
      });
  if (!saved) return false;
  for (const auto& [qid, result] : results)
    if (!result.save(*this, did, qid)) return false;
  return true;
}

int DailyLogRecord::totalNc1() const {
  int total = 0;
  for (const auto& entry : results) total += entry.second.nc1;
  return total;
}

int DailyLogRecord::totalNi1() const {
  int total = 0;
  for (const auto& entry : results) total += entry.second.ni1;
  return total;
}

double DailyLogRecord::totalReplySec() const {
  double total = 0.0;
  for (const auto& entry : results) total += entry.second.ReplySec;
  return total;
}

}  // namespace pdb3
