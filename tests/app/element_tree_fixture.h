// The default database with a nested tree added beside its sample folder:
//   beta (10)            folder
//     empty (15)         folder without children
//     old (16)           an element of type 1
//   Alpha (11)           folder
//     zeta (12)          problem set with questions 1 and 30
//     deep (13)          folder
//       Apple (14)       problem set with questions 1, 2 and 31 (31 has no answer)
#pragma once

#include <string>

#include "study_app_fixture.h"

namespace apptest {

enum FixtureEid { kBeta = 10, kAlpha = 11, kZeta = 12, kDeep = 13, kApple = 14, kEmpty = 15, kOld = 16 };

class TreeApp : public studytest::StudyApp {
 public:
  TreeApp();
  void run(const std::wstring& sql);
  // Messages shown since the last call, oldest first.
  std::wstring takeBoxes();
};

}  // namespace apptest
