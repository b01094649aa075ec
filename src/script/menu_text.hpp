#pragma once
// Menu texts as pure data: the marks that start entries and the parsing of a CMST text into the
// entries of one or more menus.
#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vunt {

constexpr int kMenuCount = 10;   // menus 0..9
constexpr int kMenuEntries = 4;  // entries 0..3 of each menu

enum class MarkKind { Final, Back, Submenu, Inert };

// What the first character of an entry does when it is chosen; for a submenu, the menu number.
MarkKind markKind(char32_t mark, int* submenu = nullptr);
bool isMark(char32_t c);  // "＊", "＠", "０" to "９"

struct MenuTextMenu {
  int menu;
  std::array<std::u32string, kMenuEntries> entries;  // mark included; empty when free
};

struct MenuTextError {
  enum Kind { MenuOutOfRange, TooManyEntries, TextBeforeMark } kind;
};

// Parses a menu text given for menu first: "・" starts the next menu, a mark starts the next
// entry, any other character belongs to the current entry. Every menu the text reaches is listed,
// with all four entries (those the text does not fill are empty).
std::variant<std::vector<MenuTextMenu>, MenuTextError> parseMenuText(int first, std::u32string_view text);

}  // namespace vunt
