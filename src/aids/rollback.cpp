#include "aids/rollback.hpp"

namespace vunt {

RollbackHistory::RollbackHistory(std::size_t pages) : pages_(pages) {}

void RollbackHistory::taken(Entry entry) {
  ++takenCount_;
  const std::uint64_t added = entry.backlogAdded;
  entries_.push_back(std::move(entry));
  // Waits whose page the backlog no longer holds go; so do waits beyond four a page.
  while (!entries_.empty() && entries_.front().backlogAdded + pages_ < added) entries_.pop_front();
  while (entries_.size() > 4 * pages_) entries_.pop_front();
}

std::optional<std::size_t> RollbackHistory::stepBack(bool atWait) const {
  const std::size_t back = atWait ? 2 : 1;
  if (entries_.size() < back) return std::nullopt;
  return entries_.size() - back;
}

std::optional<std::size_t> RollbackHistory::forPage(std::uint64_t page) const {
  for (std::size_t i = entries_.size(); i-- > 0;)
    if (entries_[i].page && entries_[i].backlogAdded == page) return i;
  return std::nullopt;
}

RollbackHistory::Entry RollbackHistory::takeBack(std::size_t i) {
  Entry e = std::move(entries_[i]);
  entries_.erase(entries_.begin() + std::ptrdiff_t(i), entries_.end());
  return e;
}

std::size_t RollbackHistory::bytes() const {
  std::size_t n = 0;
  for (const Entry& e : entries_) n += e.snapshot.size();
  return n;
}

}  // namespace vunt
