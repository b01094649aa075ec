#pragma once
// Everything a running script holds, as plain objects grouped by subsystem. The main window owns
// one ScriptState as its member; the commands work on it through a Machine, and the window's
// input handlers only store values in it (ClickFlag, MenuChoice, MenuState).
#include <array>
#include <cstdint>
#include <string>

#include "script/menu_text.hpp"

namespace vunt {

using i16 = std::int16_t;

constexpr int kLastLine = 1000;  // the script store holds lines 0..1000
constexpr int kFlagCount = 31;   // F0..F30
constexpr int kSpeakerCount = 16;
constexpr int kItemSlots = 4;

using FlagTable = std::array<i16, kFlagCount>;

// The script store: read-only once loaded.
struct ScriptStore {
  std::array<std::u32string, kLastLine + 1> ScriptLines;
};

// The interpreter's registers.
struct Registers {
  i16 CurLine = 0;
  i16 MenuEndLine = 0;
  i16 FpEndLine = 0;
  i16 ReturnLine = 0;
};

// The command menus, the player's choice and whether a menu is shown (1) or paused (2).
struct MenuTables {
  std::array<std::array<std::u32string, kMenuEntries>, kMenuCount> MenuItems;
  i16 MenuChoice = 0;
  i16 MenuState = 0;
};

// What messages remember between lines: speakers, typing delay, colour, and the click flag.
struct MessageState {
  i16 ClickFlag = 0;
  std::array<std::u32string, kSpeakerCount> SpeakerNames;
  i16 CharDelay = 0;
  i16 TextColour = 0;
};

// The texts ITMS and ITCG store.
struct ItemTables {
  std::array<std::u32string, kItemSlots> ItemTexts;
  std::array<std::u32string, kItemSlots> ItcgTexts;
};

struct ScriptState {
  ScriptStore store;
  Registers reg;
  FlagTable Flags{};
  MenuTables menu;
  MessageState message;
  ItemTables items;
};

}  // namespace vunt
