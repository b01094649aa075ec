#include "aids/backlog.hpp"

#include <algorithm>

namespace vunt {

void Backlog::add(Page rows) {
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  if (rows.empty()) return;
  pages_.push_back(std::move(rows));
  ++added_;
  if (pages_.size() > kCapacity) pages_.pop_front();
}

void Backlog::keepFirst(std::uint64_t added) {
  while (added_ > added && !pages_.empty()) {
    pages_.pop_back();
    --added_;
  }
  if (added_ > added) added_ = added;
}

bool BacklogView::openAt(const Backlog& log) {
  if (log.empty()) return false;
  open_ = true;
  position_ = 0;
  return true;
}

void BacklogView::scroll(const Backlog& log, int steps) {
  if (!open_) return;
  if (log.empty()) {
    open_ = false;
    return;
  }
  const long long last = static_cast<long long>(log.size()) - 1;
  const long long wanted = static_cast<long long>(position_) + steps;
  if (wanted < 0) {
    open_ = false;
    return;
  }
  position_ = static_cast<std::size_t>(std::min(wanted, last));
}

}  // namespace vunt
