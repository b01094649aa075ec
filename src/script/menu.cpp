// The command menu: CMST, ADDCM and DELCM build the menus, CMSL shows them in the Label1 labels,
// waits for the player's choice and continues after the matching CASE line.
#include <string>

#include "text/text.hpp"
#include "script/fields.hpp"
#include "script/menu_text.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

void checkMenu(Vunt& v, int menu) {
  if (menu < 0 || menu >= kMenuCount) v.EEE(U"メニュー範囲外");
}
void checkEntry(Vunt& v, int entry) {
  if (entry < 0 || entry >= kMenuEntries) v.EEE(U"項目範囲外");
}

}  // namespace

void Vunt::CMST(i16 menu, const std::u32string& text) {
  auto parsed = parseMenuText(menu, text);
  if (auto* error = std::get_if<MenuTextError>(&parsed)) {
    switch (error->kind) {
      case MenuTextError::MenuOutOfRange: EEE(U"メニュー範囲外");
      case MenuTextError::TooManyEntries: EEE(U"項目範囲外");
      case MenuTextError::TextBeforeMark: EEE(U"メニュー文字列");
    }
  }
  // Only a text that is good throughout changes the table.
  for (const MenuTextMenu& m : std::get<std::vector<MenuTextMenu>>(parsed)) MenuItems[m.menu] = m.entries;
}

i16 Vunt::CMSL(i16 startMenu) {
  checkMenu(*this, startMenu);
  MenuState = 1;
  int current = startMenu;
  std::array<int, kMenuEntries> slotMap{};
  for (;;) {
    // Display: the non-empty entries packed into the first labels, in entry order.
    if (current == startMenu) LBcm.setCaption(U"コマンド");
    LBcm.setEnabled(true);
    for (Control* label : Label1) {
      label->setCaption(U"");
      label->setEnabled(false);
    }
    int next = 0;
    for (int entry = 0; entry < kMenuEntries; ++entry) {
      const std::u32string& text = MenuItems[current][entry];
      if (text.empty()) continue;
      Label1[next]->setCaption(text.substr(1));
      Label1[next]->setEnabled(true);
      slotMap[next] = entry;
      ++next;
    }
    for (Control* label : Label1) label->setVisible(true);
    if (host_.recording()) {
      std::string captions;
      for (int i = 0; i < kMenuEntries; ++i) captions += (i ? "|" : "") + toUtf8(Label1[i]->caption());
      host_.transcript("menu", {captions});
    }

    MenuChoice = 99;
    while (MenuChoice == 99) host_.doEvents(WaitKind::Player);
    playerAnswered();
    aids.setHoverLabel(-1);
    if (MenuChoice == -1) {
      current = startMenu;
      continue;
    }
    const int chosen = slotMap[std::size_t(MenuChoice & 3)];
    MenuChoice = i16(chosen);
    if (current == 0) {
      Flags[0] = i16(chosen);
      MESHG(ItemTexts[chosen]);
    }
    const std::u32string& entry = MenuItems[current][chosen];
    int submenu = 0;
    MarkKind kind = entry.empty() ? MarkKind::Inert : markKind(entry[0], &submenu);
    if (kind == MarkKind::Final) {
      MenuState = 0;
      LBcm.setEnabled(false);
      for (Control* label : Label1) {
        label->setEnabled(false);
        label->setVisible(false);
      }
      return i16(current * 100 + chosen);
    }
    if (kind == MarkKind::Back) {
      current = startMenu;
    } else if (kind == MarkKind::Submenu) {
      LBcm.setCaption(entry.substr(1) + U"＞");
      current = submenu;
    }
  }
}

void Vunt::cmdCMST() {
  i16 menu = CUTV(2);
  CMST(menu, CUTA(3));
}

void Vunt::cmdCMSL() {
  MenuEndLine = CUTV(3);
  const i16 value = CMSL(CUTV(2));
  // Pass over every line up to the CASE line that carries the value; none of them runs.
  for (;;) {
    if (CurLine >= kLastLine) EEE(U"行範囲外");
    ++CurLine;
    std::u32string_view word = *cutField(ScriptLines[CurLine], 1);
    if (word == U"CASE" && CUTV(2) == value) break;
    if (word == U"ENDCM") EEE(U"CASE" + numberText(value) + U"無し");
  }
  jumpTo(CurLine + 1);
}

void Vunt::cmdCASE() { jumpTo(MenuEndLine); }
void Vunt::cmdENDCM() {}

void Vunt::cmdADDCM() {
  i16 menu = CUTV(2);
  i16 entry = CUTV(3);
  std::u32string text = CUTA(4);
  checkMenu(*this, menu);
  checkEntry(*this, entry);
  MenuItems[menu][entry] = std::move(text);
}

void Vunt::cmdDELCM() {
  i16 menu = CUTV(2);
  i16 entry = CUTV(3);
  checkMenu(*this, menu);
  checkEntry(*this, entry);
  MenuItems[menu][entry].clear();
}

void Vunt::Picture1_MouseDown(int button, int, int, int) {
  if (button != int(MouseButton::Right)) return;
  if (MenuState == 1) {
    MenuState = 2;
  } else if (MenuState == 2) {
    MenuState = 1;
    LBcm.setEnabled(true);
    for (Control* label : Label1) label->setEnabled(true);
  }
}

}  // namespace vunt
