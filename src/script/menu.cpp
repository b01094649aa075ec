// The command menu: CMST, ADDCM and DELCM build the menus, CMSL shows them in the menu labels,
// waits for the player's choice and continues after the matching CASE line.
#include <string>

#include "text/text.hpp"
#include "script/commands.hpp"
#include "script/fields.hpp"
#include "script/machine.hpp"
#include "script/menu_text.hpp"

namespace vunt {

namespace {

void checkMenu(Machine& m, int menu) {
  if (menu < 0 || menu >= kMenuCount) m.EEE(U"メニュー範囲外");
}
void checkEntry(Machine& m, int entry) {
  if (entry < 0 || entry >= kMenuEntries) m.EEE(U"項目範囲外");
}

}  // namespace

void Machine::CMST(i16 menu, std::u32string_view text) {
  auto parsed = parseMenuText(menu, text);
  if (auto* error = std::get_if<MenuTextError>(&parsed)) {
    switch (error->kind) {
      case MenuTextError::MenuOutOfRange: EEE(U"メニュー範囲外");
      case MenuTextError::TooManyEntries: EEE(U"項目範囲外");
      case MenuTextError::TextBeforeMark: EEE(U"メニュー文字列");
    }
  }
  // Only a text that is good throughout changes the table.
  for (const MenuTextMenu& menuText : std::get<std::vector<MenuTextMenu>>(parsed))
    s.menu.MenuItems[std::size_t(menuText.menu)] = menuText.entries;
}

i16 Machine::CMSL(i16 startMenu) {
  checkMenu(*this, startMenu);
  MenuTables& menus = s.menu;
  menus.MenuState = 1;
  int current = startMenu;
  std::array<int, kMenuEntries> slotMap{};
  std::u32string title;
  for (;;) {
    // Display: the non-empty entries packed into the first labels, in entry order.
    if (current == startMenu) title = U"コマンド";
    std::array<std::u32string, kMenuEntries> captions;
    int next = 0;
    for (int entry = 0; entry < kMenuEntries; ++entry) {
      const std::u32string& text = menus.MenuItems[std::size_t(current)][std::size_t(entry)];
      if (text.empty()) continue;
      captions[std::size_t(next)] = text.substr(1);
      slotMap[std::size_t(next)] = entry;
      ++next;
    }
    out.showMenu(title.empty() ? nullptr : &title, captions, next);
    title.clear();

    menus.MenuChoice = 99;
    out.waitMenuChoice();
    if (menus.MenuChoice == -1) {
      current = startMenu;
      continue;
    }
    const int chosen = slotMap[std::size_t(menus.MenuChoice & 3)];
    menus.MenuChoice = i16(chosen);
    if (current == 0) {
      s.Flags[0] = i16(chosen);
      MESHG(s.items.ItemTexts[std::size_t(chosen)]);
    }
    const std::u32string& entry = menus.MenuItems[std::size_t(current)][std::size_t(chosen)];
    int submenu = 0;
    MarkKind kind = entry.empty() ? MarkKind::Inert : markKind(entry[0], &submenu);
    if (kind == MarkKind::Final) {
      menus.MenuState = 0;
      out.hideMenu();
      return i16(current * 100 + chosen);
    }
    if (kind == MarkKind::Back) {
      current = startMenu;
    } else if (kind == MarkKind::Submenu) {
      title = entry.substr(1) + U"＞";
      current = submenu;
    }
  }
}

void cmdCMST(Machine& m) {
  i16 menu = m.number(2);
  m.CMST(menu, m.text(3));
}

void cmdCMSL(Machine& m) {
  Registers& reg = m.s.reg;
  reg.MenuEndLine = m.number(3);
  const i16 value = m.CMSL(m.number(2));
  // Pass over every line up to the CASE line that carries the value; none of them runs.
  for (;;) {
    if (reg.CurLine >= kLastLine) m.EEE(U"行範囲外");
    ++reg.CurLine;
    const int row = m.lineCode(reg.CurLine).row;
    const Block block = row >= 0 ? commandTable()[std::size_t(row)].block : Block::None;
    if (block == Block::SearchCase && m.CUTV(2) == value) break;
    if (block == Block::SearchEnd) m.EEE(U"CASE" + numberText(value) + U"無し");
  }
  m.jumpTo(reg.CurLine + 1);
}

void cmdCASE(Machine& m) { m.jumpTo(m.s.reg.MenuEndLine); }
void cmdENDCM(Machine&) {}

void cmdADDCM(Machine& m) {
  i16 menu = m.number(2);
  i16 entry = m.number(3);
  std::u32string text(m.text(4));
  checkMenu(m, menu);
  checkEntry(m, entry);
  m.s.menu.MenuItems[std::size_t(menu)][std::size_t(entry)] = std::move(text);
}

void cmdDELCM(Machine& m) {
  i16 menu = m.number(2);
  i16 entry = m.number(3);
  checkMenu(m, menu);
  checkEntry(m, entry);
  m.s.menu.MenuItems[std::size_t(menu)][std::size_t(entry)].clear();
}

}  // namespace vunt
