#pragma once
// The backlog: the last pages the message area showed, kept as text so the player can read them
// again. It only ever receives copies; nothing the game reads comes from here.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace vunt {

class Backlog {
 public:
  static constexpr std::size_t kCapacity = 100;
  using Page = std::vector<std::u32string>;  // the rows of one page, top to bottom

  // Adds a page that leaves the message area; empty pages (a bare page break) are not kept, and
  // beyond kCapacity the oldest page goes.
  void add(Page rows);

  std::size_t size() const { return pages_.size(); }
  // How many pages it has taken in since the start (or since a return to an earlier page), the
  // pages it no longer keeps included: the number of the next page.
  std::uint64_t added() const { return added_; }
  // Forgets the pages taken in after the first `added` ones (a return to an earlier page).
  void keepFirst(std::uint64_t added);
  void clear() {
    pages_.clear();
    added_ = 0;
  }
  bool empty() const { return pages_.empty(); }
  // Page i counted back from the newest: 0 is the page read last.
  const Page& back(std::size_t i) const { return pages_[pages_.size() - 1 - i]; }

 private:
  std::deque<Page> pages_;
  std::uint64_t added_ = 0;
};

// Where the player stands in the backlog while reading it: which page, counted back from the
// newest (0 = the last page read).
class BacklogView {
 public:
  bool open() const { return open_; }
  std::size_t position() const { return position_; }
  // Opens at the newest page; false (and stays closed) when there is nothing to read back.
  bool openAt(const Backlog& log);
  // One page earlier (steps > 0) or later (steps < 0); going later than the newest page closes the
  // view, as the player expects from scrolling down past the end.
  void scroll(const Backlog& log, int steps);
  void close() { open_ = false; }

 private:
  bool open_ = false;
  std::size_t position_ = 0;
};

}  // namespace vunt
