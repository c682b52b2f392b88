// The rows of a set's question list. Their number is read at once; the question ids come with the
// first read of a range that shows them, or all together for a command on rows never shown. An id
// once read stays the row's until the list is read again.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

class SectionRows {
 public:
  // The id of a row not read yet.
  static constexpr int kUnread = std::numeric_limits<int>::min();

  // `count` rows in the set's own order, none read yet.
  void reset(int count);
  // Rows in another order, all of them read (a sort).
  void assign(std::vector<int> ids);
  // Ids read in the set's order from row `first` on, for the rows not read yet: a row once read
  // keeps its question, so what the user saw and checked is what the commands act on, even when
  // another program has changed the set since. The list keeps its length until it is read again:
  // ids past its end are dropped (the set grew) and rows past those read stay unread (it shrank).
  void take(int first, const std::vector<int>& ids);

  int size() const { return static_cast<int>(ids_.size()); }
  int at(int row) const { return ids_[static_cast<size_t>(row)]; }
  bool isRead(int row) const { return at(row) != kUnread; }
  bool allRead(int first, int last) const;
  bool allRead() const { return unread_ == 0; }
  // In the set's order, so that a range of rows is a range of the set.
  bool inSetOrder() const { return inSetOrder_; }
  const std::vector<int>& ids() const { return ids_; }

 private:
  std::vector<int> ids_;
  int unread_ = 0;
  bool inSetOrder_ = true;
};
