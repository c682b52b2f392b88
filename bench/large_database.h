// The large database file the benchmarks share: 100,000 questions in 1,000 sets, one more set of
// 10,000 questions, and 1,000,000 question_log rows, all in one folder. It is generated from the
// schema script on first use, beside the benchmark program, and reused afterwards.
#pragma once

#include <string>

namespace benchdata {

constexpr int kSets = 1000;
constexpr int kQuestionsPerSet = 100;
constexpr int kLargeSetSize = 10000;
constexpr int kFolderId = 1;
constexpr int kLargeSetId = kSets + 2;  // eid 1 is the folder, the sets are 2..1001, this one 1002

// The file's path (UTF-8); the program ends when it cannot be generated.
const std::string& largeDatabase();

}  // namespace benchdata
