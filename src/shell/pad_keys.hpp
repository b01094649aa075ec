#pragma once
// What a game controller's buttons do: each stands for a key of the keyboard, so that a pad plays
// exactly as the keys do (and --record writes the same lines for both).
//
//   A             Enter: the next page, the highlighted menu label, closes the picture window
//   B             Esc: the puzzle gives up an attempt; leaves the aids' screens
//   D-pad, stick  the arrows: the puzzle's moves, the menu highlight, the aids' screens
//   X             auto mode (the A key)
//   Y             hides the message area to look at the picture (the H key)
//   LB, LT        the backlog (PageUp)
//   RB, RT        skip while held (Ctrl)
//   Back          the key help (F1)
//   Start         the settings (F2)
#include <string_view>

#include "platform/input.hpp"

namespace vunt {

struct PadKey {
  int key = 0;             // Windows virtual-key code; 0: the button does nothing
  char32_t character = 0;  // what the key types (the picture window closes on it)
};

PadKey padKey(PadButton button);

// A pad's buttons by the names the headless input file gives them ("a", "lb", "up", ...).
bool padButtonNamed(std::string_view name, PadButton& button);

}  // namespace vunt
