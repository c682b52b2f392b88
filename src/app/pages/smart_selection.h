// Which questions of the smart-learning list one study asks, for one user: first those due for
// their next level-up and half forgotten, then questions never studied, then the lowest rated.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "database/records/db_object.h"
#include "database/memory/memory_rate.h"
#include "database/records/question.h"

namespace smart {

// The program-wide memory-rate records of the current user by question id, refilled by every
// selection and by the list's sorts; the comparators read it (UI thread only).
using RateMapType = std::map<int, std::shared_ptr<pdb3::MemoryRate>>;
RateMapType& RateMap();
bool CompareByCurrentRate(int a, int b);
bool CompareByNextLevelupTime(int a, int b);
// The ids in the order of a stable sort by those comparators, each record's figure read once.
void StableSortByCurrentRate(std::vector<int>& ids);
void StableSortByNextLevelupTime(std::vector<int>& ids);

// The share of the count the due questions may fill, by the "新しい問題の出題率" slider.
double ReviewFactor(int slider);

// Empties RateMap and fills it with the user's records of the set's questions, each with its
// latest and first study times, from one statement; `learned` the ids read, ascending. False when
// the statement fails (RateMap then holds the records read before the failure, `learned` none).
bool LoadLearnedRates(const pdb3::DbObject& accessor, int uid, int sid, int64_t now, std::vector<int>& learned);
// Empties RateMap and fills it with a record per id (the list's sorts): those of set sid come
// from one statement, any other is loaded on its own. False when set sid cannot be read.
bool LoadRates(const pdb3::DbObject& accessor, const std::vector<int>& ids, int uid, int sid, int64_t now);
// A record for every question of set sid (the defaults for one the user has no row for), each
// with its study times, from one statement. False, out unchanged, when it fails.
bool ReadBinderRates(const pdb3::DbObject& accessor, int uid, int sid, int64_t now, RateMapType& out);
// The records of the ids (the rows a list is about to show), the defaults for a question the user
// has no row for, each with its study times, and the questions' texts, from one statement. Every id
// gets a question (empty without a row). False, both maps unchanged, when it fails.
bool ReadShownRates(const pdb3::DbObject& accessor, int uid, const std::vector<int>& ids, int64_t now,
                    RateMapType& rates, std::map<int, pdb3::Question>& questions);
// The set's questions that have some text, in the set's order. False, out unchanged, when they
// cannot be read.
bool NonEmptyBinderIds(const pdb3::DbObject& accessor, int sid, std::deque<int>& out);

struct SelectionRequest {
  unsigned count = 0;
  int slider = 1;
  bool shuffleLearned = false;  // the setting random-mistake-reply
};
// At most request.count ids into `chosen`; draws and shuffles come from the program's random
// source. False, `chosen` unchanged, when the list or the rates cannot be read: a choice made
// without them would be no choice.
bool SelectSmartQuestions(const pdb3::DbObject& accessor, int uid, int sid, const SelectionRequest& request,
                          int64_t now, std::set<int>& chosen);

}  // namespace smart
