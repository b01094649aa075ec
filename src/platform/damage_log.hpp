#pragma once
// Where a drawing changed, kept for whoever shows it: each change gets the next serial number,
// and a reader that showed the drawing at serial n asks for the part changed since. A few recent
// changes are kept apart; older ones merge into one rectangle, so a reader far behind gets more
// than changed, never less.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/surface.hpp"

namespace vunt {

class DamageLog {
 public:
  explicit DamageLog(Rect whole) : whole_(whole) {}

  // A change inside r (clipped to the whole drawing); an empty one counts nothing.
  void add(Rect r);
  // A change anywhere.
  void addAll() { add(whole_); }

  // The serial of the latest change (0 before any).
  std::uint64_t serial() const { return serial_; }
  // The least rectangle holding every change after serial `since` (empty: none). A reader that
  // never showed the drawing passes 0 and gets all of it.
  Rect since(std::uint64_t since) const;

 private:
  static constexpr std::size_t kKept = 16;
  struct Change {
    std::uint64_t serial;
    Rect area;
  };
  Rect whole_;
  std::uint64_t serial_ = 0;
  std::vector<Change> changes_;  // oldest first; the first holds every change up to its serial
};

}  // namespace vunt
