// The rows of a set's question list. Their number is read at once; the question ids come with the
// first read of a range that shows them, or all together for a command on rows never shown. An id
// once read stays the row's until the list is read again.
//
// Rows read at different times are one picture of the set only while the set stays as it was
// listed: the list notes the file's change count (page_reads' readChangeCount) of the state it was
// listed in, and before a read by place a reader checks that count, or, when another connection has
// written since, that the set still holds every row read before where it was read.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

class SectionRows {
 public:
  // The id of a row not read yet.
  static constexpr int kUnread = std::numeric_limits<int>::min();

  // `count` rows in the set's own order, none read yet, as the file was at change count `changeCount`.
  void reset(int count, int changeCount);
  // Rows in another order, all of them read (a sort).
  void assign(std::vector<int> ids);
  // Ids read in the set's order from row `first` on, for the rows not read yet, from a state of
  // the set that agrees with the list. A row once read keeps its question, so what the user saw and
  // checked is what the commands act on.
  void take(int first, const std::vector<int>& ids);
  // Whether `setIds`, the whole set as it is now, is still the set listed: as many rows, and every
  // row read holding the question it was read with.
  bool agreesWith(const std::vector<int>& setIds) const;

  int size() const { return static_cast<int>(ids_.size()); }
  int at(int row) const { return ids_[static_cast<size_t>(row)]; }
  bool isRead(int row) const { return at(row) != kUnread; }
  bool allRead(int first, int last) const;
  bool allRead() const { return unread_ == 0; }
  // In the set's order, so that a range of rows is a range of the set.
  bool inSetOrder() const { return inSetOrder_; }
  const std::vector<int>& ids() const { return ids_; }
  // The change count of the latest state of the file the list was found to agree with.
  int changeCount() const { return changeCount_; }
  void agreedAt(int changeCount) { changeCount_ = changeCount; }

 private:
  std::vector<int> ids_;
  int unread_ = 0;
  bool inSetOrder_ = true;
  int changeCount_ = 0;
};
