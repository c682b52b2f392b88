// The memory rate and level of one question for one user (a memory_rate row), with the
// computations that smart learning and the history writer make on it. An object is made per
// computation with the time of that computation, loaded, used and dropped.
#pragma once

#include <array>
#include <cstdint>

#include "database/records/db_object.h"
#include "database/memory/memory_model.h"

namespace pdb3 {

class MemoryRate : public DbObject {
 public:
  MemoryRate(const DbObject& accessor, int qid, int uid, int64_t now);

  // False when the question has no row for the user, or when the row could not be read (then
  // readFailed is set); the fields then stay as constructed.
  bool load();
  bool save() const;

  // The latest study of the question by the user in any mode; -1 when never studied. Read once
  // per object: the rate and the level-up time of one computation measure from the same study.
  int lastStudyTime() const;
  // The stored rate decayed over the time since the latest study (computed once per object).
  int currentRate();
  // The earliest time at which the level may climb; 0 = at once.
  int64_t nextLevelupTime() const;
  // Hands over the latest and the first study times read together with many records (-1 and 0
  // when none), so that the rate and the level-up time need no statement of their own.
  void primeStudyTimes(int lastStudyTime, int firstStudyTime);
  // Applies one study's correct and incorrect answers (first and repeated passes together).
  bool update(int mode, int nc, int ni);

  int qid;
  int uid;
  int rate = 0;
  int level = 0;
  std::array<int, kMaxMemoryLevel> levelTimes{};  // l1_time .. l10_time: when each level was reached
  int64_t now;
  bool readFailed = false;
  int cachedRate = -1;

 private:
  int64_t levelBaseTime() const;

  static constexpr int kNotRead = -2;
  mutable int lastStudy_ = kNotRead;
  int firstStudy_ = kNotRead;
};

}  // namespace pdb3
