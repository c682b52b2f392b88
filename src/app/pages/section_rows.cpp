#include "app/pages/section_rows.h"

#include <algorithm>

void SectionRows::reset(int count) {
  ids_.assign(static_cast<size_t>(std::max(count, 0)), kUnread);
  unread_ = size();
  inSetOrder_ = true;
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

bool SectionRows::allRead(int first, int last) const {
  if (allRead()) return true;
  return std::find(ids_.begin() + first, ids_.begin() + last + 1, kUnread) == ids_.begin() + last + 1;
}
