#pragma once
// The texts a menu entry may hold at a point of the script, as the linter follows the menus from
// line to line. Each text is numbered once in a pool, so that the tables copied and joined at
// every line hold numbers, not strings.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vunt {

class MenuTextPool {
 public:
  MenuTextPool() { id(U""); }  // text 0 is the empty text
  std::uint32_t id(std::u32string_view text);
  const std::u32string& text(std::uint32_t id) const { return texts_[id]; }

 private:
  std::vector<std::u32string> texts_;
  std::unordered_map<std::u32string, std::uint32_t> ids_;
};

// Up to kMaxTexts texts an entry may hold, or any text at all (unknown).
struct EntryTexts {
  static constexpr std::size_t kMaxTexts = 8;
  bool unknown = false;
  std::uint8_t count = 0;
  std::array<std::uint32_t, kMaxTexts> ids{};  // in the order of their texts, without repeats

  static EntryTexts only(std::uint32_t id) {
    EntryTexts e;
    e.count = 1;
    e.ids[0] = id;
    return e;
  }
  // Adds a text; one more than kMaxTexts makes the entry unknown.
  void add(std::uint32_t id, const MenuTextPool& pool);
  void makeUnknown() {
    unknown = true;
    count = 0;
  }
  // Adds what `o` may hold; true when this changed.
  bool join(const EntryTexts& o, const MenuTextPool& pool);
  // Holds the empty text and nothing else.
  bool onlyEmpty() const { return !unknown && count == 1 && ids[0] == 0; }
};

}  // namespace vunt
