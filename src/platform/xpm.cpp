// The XPM images compiled into the program (pointers, icon, tile sheet), read without a picture
// library: a header "W H COLOURS CHARS_PER_PIXEL [HOT_X HOT_Y]", one line a colour, one a row.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/picture.hpp"

namespace vunt {

namespace {

// The next word of text, split at blanks (empty at the end); text moves past it. Words are cut by
// hand: a string stream would start the C++ locales, at every start, for four numbers.
std::string_view nextWord(std::string_view& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return text = {}, std::string_view{};
  const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
  const std::string_view word = text.substr(start, end - start);
  text.remove_prefix(end);
  return word;
}

bool nextNumber(std::string_view& text, int& out) {
  const std::string_view word = nextWord(text);
  auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
  return !word.empty() && ec == std::errc() && p == word.data() + word.size();
}

// The colour of a colour line after its key: the value of its "c" (colour visual) entry, #RRGGBB.
bool colourOf(std::string_view entries, Colour& out) {
  for (;;) {
    const std::string_view kind = nextWord(entries), value = nextWord(entries);
    if (value.empty()) break;
    if (kind != "c") continue;
    if (value.size() != 7 || value[0] != '#') return false;
    unsigned v = 0;
    auto [p, ec] = std::from_chars(value.data() + 1, value.data() + 7, v, 16);
    if (ec != std::errc() || p != value.data() + 7) return false;
    out = Colour(v);
    return true;
  }
  return false;
}

}  // namespace

Surface xpmPicture(const char* const* xpm) {
  std::string_view header = xpm[0];
  int w = 0, h = 0, colours = 0, cpp = 0;
  if (!nextNumber(header, w) || !nextNumber(header, h) || !nextNumber(header, colours) || !nextNumber(header, cpp) ||
      w <= 0 || h <= 0 || colours <= 0 || cpp <= 0 || w > 4096 || h > 4096)
    return {};
  std::map<std::string, Colour, std::less<>> table;
  // Keys of one character, as in every image of the program, are looked up in an array: the map
  // made reading the 160 x 160 tile sheet, which happens at every start, take half a millisecond.
  std::array<std::optional<Colour>, 256> byChar;
  for (int i = 0; i < colours; ++i) {
    std::string_view line = xpm[1 + i];
    Colour c = 0;
    if (line.size() < std::size_t(cpp) || !colourOf(line.substr(std::size_t(cpp)), c)) return {};
    table.emplace(std::string(line.substr(0, std::size_t(cpp))), c);
    auto& slot = byChar[std::uint8_t(line[0])];
    if (cpp == 1 && !slot) slot = c;  // the first of a key given twice, as the map keeps it
  }
  Surface out(w, h);
  for (int y = 0; y < h; ++y) {
    std::string_view row = xpm[1 + colours + y];
    if (row.size() < std::size_t(w) * std::size_t(cpp)) return {};
    for (int x = 0; x < w; ++x) {
      if (cpp == 1) {
        const auto& c = byChar[std::uint8_t(row[std::size_t(x)])];
        if (!c) return {};
        out.setPixel(x, y, *c);
        continue;
      }
      auto it = table.find(row.substr(std::size_t(x) * std::size_t(cpp), std::size_t(cpp)));
      if (it == table.end()) return {};
      out.setPixel(x, y, it->second);
    }
  }
  return out;
}

}  // namespace vunt
