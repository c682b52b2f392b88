#include "app/pages/section_rows.h"

#include <algorithm>

void SectionRows::reset(int count, int changeCount) {
  ids_.assign(static_cast<size_t>(std::max(count, 0)), kUnread);
  unread_ = size();
  inSetOrder_ = true;
  changeCount_ = changeCount;
}

void SectionRows::assign(std::vector<int> ids) {
  ids_ = std::move(ids);
  unread_ = 0;
  inSetOrder_ = false;
}

void SectionRows::take(int first, const std::vector<int>& ids) {
  for (size_t i = 0; i < ids.size() && first + static_cast<int>(i) < size(); ++i) {
    int& id = ids_[static_cast<size_t>(first) + i];
    if (id != kUnread) continue;
    id = ids[i];
    --unread_;
  }
}

bool SectionRows::agreesWith(const std::vector<int>& setIds) const {
  if (setIds.size() != ids_.size()) return false;
  for (size_t row = 0; row < ids_.size(); ++row)
    if (ids_[row] != kUnread && ids_[row] != setIds[row]) return false;
  return true;
}

bool SectionRows::allRead(int first, int last) const {
  if (allRead()) return true;
  return std::find(ids_.begin() + first, ids_.begin() + last + 1, kUnread) == ids_.begin() + last + 1;
}
