#include "script/menu_text.hpp"

namespace vunt {

bool isMark(char32_t c) { return c == U'＊' || c == U'＠' || (c >= U'０' && c <= U'９'); }

MarkKind markKind(char32_t mark, int* submenu) {
  if (mark == U'＊') return MarkKind::Final;
  if (mark == U'＠') return MarkKind::Back;
  if (mark >= U'０' && mark <= U'９') {
    if (submenu) *submenu = int(mark - U'０');
    return MarkKind::Submenu;
  }
  return MarkKind::Inert;
}

std::variant<std::vector<MenuTextMenu>, MenuTextError> parseMenuText(int first, std::u32string_view text) {
  std::vector<MenuTextMenu> menus;
  auto start = [&](int m) -> bool {
    if (m < 0 || m >= kMenuCount) return false;
    menus.push_back(MenuTextMenu{m, {}});
    return true;
  };
  if (!start(first)) return MenuTextError{MenuTextError::MenuOutOfRange};
  int entry = -1;
  for (char32_t c : text) {
    if (c == U'・') {
      if (!start(menus.back().menu + 1)) return MenuTextError{MenuTextError::MenuOutOfRange};
      entry = -1;
    } else if (isMark(c)) {
      if (++entry >= kMenuEntries) return MenuTextError{MenuTextError::TooManyEntries};
      menus.back().entries[entry] += c;
    } else {
      if (entry < 0) return MenuTextError{MenuTextError::TextBeforeMark};
      menus.back().entries[entry] += c;
    }
  }
  return menus;
}

}  // namespace vunt
