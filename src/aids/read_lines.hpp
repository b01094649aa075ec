#pragma once
// Which pages of the script the player has read, kept per game from one play to the next so that
// skip passes only what was read. A page is known by the script line that showed it, its place
// among the waits of that line, and its text: an FP line or a menu's item text that shows another
// text at the same line is another page.
//
// The file: "VUNTREAD", u16 version, u32 count, the pages' keys as u64 in ascending order, and a
// u64 check of everything before it (little-endian). It is replaced in one step, so a crash while
// it is written leaves the previous record whole.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vunt {

class ReadLines {
 public:
  // At most this many pages are remembered; a script holds at most 1000 lines.
  static constexpr std::size_t kMaxPages = 1u << 20;

  static std::uint64_t pageKey(int line, std::size_t waitInLine, std::string_view pageText);

  bool seen(std::uint64_t key) const;
  // Remembers the page; true when it was new.
  bool mark(std::uint64_t key);
  std::size_t size() const { return keys_.size(); }
  // Whether pages were marked since the record was last read or written.
  bool dirty() const { return dirty_; }

  std::string bytes() const;
  // Replaces the record with the file's; a missing file is an empty record. False and why for a
  // file that is damaged or unreadable (the record is then empty).
  bool load(const std::filesystem::path& file, std::string& error);
  // Writes the file in one step (its folder is made first); false and why on failure.
  bool save(const std::filesystem::path& file, std::string& error);
  bool read(std::string_view bytes, std::string& error);

 private:
  std::vector<std::uint64_t> keys_;  // sorted
  bool dirty_ = false;
};

}  // namespace vunt
