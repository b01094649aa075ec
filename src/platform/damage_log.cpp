#include "platform/damage_log.hpp"

namespace vunt {

void DamageLog::add(Rect r) {
  r = intersect(r, whole_);
  if (r.empty()) return;
  ++serial_;
  if (r == whole_) changes_.clear();  // everything before is covered by this one
  if (changes_.size() == kKept) {
    changes_[1].area = unite(changes_[0].area, changes_[1].area);
    changes_.erase(changes_.begin());
  }
  changes_.push_back({serial_, r});
}

Rect DamageLog::since(std::uint64_t since) const {
  if (since == 0) return whole_;
  Rect r;
  for (const Change& c : changes_)
    if (c.serial > since) r = unite(r, c.area);
  return r;
}

}  // namespace vunt
