#pragma once
// Going back in the story: a snapshot of the whole game is kept at each wait for the player, so
// that the player can return to an earlier page (or menu) and play on from there. The history
// reaches as far back as the backlog: a wait whose page has left the backlog is forgotten.
// Going back forgets every wait after the one returned to.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace vunt {

class RollbackHistory {
 public:
  struct Entry {
    std::string snapshot;       // the whole game's snapshot at the wait
    std::uint64_t backlogAdded;  // how many pages the backlog had taken in when the wait began
    bool page;                  // a page wait with text (not a menu, not the picture window)
  };

  // pages: how many pages the backlog keeps. A history of waits without pages (menus answered
  // again and again) is bounded too, by four waits a page.
  explicit RollbackHistory(std::size_t pages);

  // A wait began; backlogAdded is the backlog's count at that moment.
  void taken(Entry entry);
  // The wait one step back: the last but one while the game waits at the last, else the last.
  std::optional<std::size_t> stepBack(bool atWait) const;
  // The page wait that showed the backlog's page number `page` (counted from the first page the
  // backlog ever took in, from 0).
  std::optional<std::size_t> forPage(std::uint64_t page) const;
  // Entry i, with it and every later entry taken out of the history (the resumed game takes the
  // wait again when it arrives there).
  Entry takeBack(std::size_t i);
  void clear() { entries_.clear(); }

  std::size_t size() const { return entries_.size(); }
  // How many waits were ever taken in: it changes at every wait.
  std::uint64_t takenCount() const { return takenCount_; }
  const Entry& operator[](std::size_t i) const { return entries_[i]; }
  // The snapshots' bytes in all.
  std::size_t bytes() const;

 private:
  std::size_t pages_;
  std::deque<Entry> entries_;
  std::uint64_t takenCount_ = 0;
};

}  // namespace vunt
