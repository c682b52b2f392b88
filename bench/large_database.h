// The large benchmark database: 100,000 questions (answers "answer<qid>") in 1,000 sets of 100,
// one more set of 10,000 questions (qids 1 to 10,000), and 1,000,000 question_log rows. The file is
// generated from the schema script on first use, beside the benchmark program, and reused.
#pragma once

#include <string>

constexpr int kSets = 1000;
constexpr int kQuestionsPerSet = 100;
constexpr int kLargeSetSize = 10000;
constexpr int kLargeSetId = kSets + 2;  // eid 1 is the folder, the sets are 2..1001

// The file's path (UTF-8); the program ends when the file cannot be generated.
const std::string& largeDatabase();
