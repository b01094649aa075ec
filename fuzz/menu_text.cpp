// The menu text parser of CMST.
//
// Input: one byte for the first menu number (-2..11), then the menu text as UTF-8.
//
// Beyond the sanitizers: a text that parses names consecutive menus within 0..9, each entry starts
// with a mark and holds no other mark, and the entries joined again (menus separated by "・") give
// back the text exactly.
#include <cstdint>
#include <string>
#include <variant>

#include "fuzz/fuzz_support.hpp"
#include "script/menu_text.hpp"
#include "text/text.hpp"

using namespace vunt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int first = int(data[0] % 14) - 2;
  const std::u32string text = fromUtf8(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

  auto parsed = parseMenuText(first, text);
  if (std::holds_alternative<MenuTextError>(parsed)) return 0;
  const auto& menus = std::get<std::vector<MenuTextMenu>>(parsed);
  VUNT_FUZZ_CHECK(!menus.empty(), "the first menu is always named");
  std::u32string joined;
  for (std::size_t m = 0; m < menus.size(); ++m) {
    VUNT_FUZZ_CHECK(menus[m].menu == first + int(m), "menus follow each other");
    VUNT_FUZZ_CHECK(menus[m].menu >= 0 && menus[m].menu < kMenuCount, "menu numbers 0..9");
    if (m) joined += U'・';
    bool gap = false;
    for (const std::u32string& entry : menus[m].entries) {
      if (entry.empty()) {
        gap = true;
        continue;
      }
      VUNT_FUZZ_CHECK(!gap, "a menu text fills its entries from the first");
      VUNT_FUZZ_CHECK(isMark(entry[0]), "an entry starts with its mark");
      for (std::size_t i = 1; i < entry.size(); ++i)
        VUNT_FUZZ_CHECK(!isMark(entry[i]) && entry[i] != U'・', "a label holds no mark");
      joined += entry;
    }
  }
  VUNT_FUZZ_CHECK(joined == text, "the entries are the text");
  return 0;
}
