#pragma once
// The save and load screens (twelve slots, two columns of six) and the player's menu that a right
// click opens while the game shows no menu of its own. Only their state and their input: what a
// choice does (save, load, go back) is the window's, told through the Choice they return, and
// overlay.cpp draws them.
#include <array>
#include <string_view>

#include "aids/slot_file.hpp"
#include "platform/surface.hpp"

namespace vunt {

// Where slot i (0..11: slots 1..12) lies over the 440 x 384 game.
constexpr int kSlotTop = 32, kSlotHeight = 54, kSlotWidth = 210, kSlotLeft = 8, kSlotGap = 4;
inline Rect slotRect(int i) {
  return {kSlotLeft + (i / 6) * (kSlotWidth + kSlotGap), kSlotTop + (i % 6) * kSlotHeight, kSlotWidth, kSlotHeight - 4};
}

class SlotScreen {
 public:
  enum class Mode { Save, Load };
  struct Choice {
    enum What { None, Chosen, Close } what = None;
    int slot = 0;  // Chosen: 1..kSlotCount
  };

  void open(Mode mode, std::array<SlotEntry, kSlotCount> entries);
  Mode mode() const { return mode_; }
  int selected() const { return selected_; }  // 0..kSlotCount-1
  const std::array<SlotEntry, kSlotCount>& entries() const { return entries_; }
  // Arrows move, Enter or Space choose, Esc closes (Windows key codes).
  Choice key(int code);
  Choice click(int x, int y);

 private:
  Mode mode_ = Mode::Save;
  int selected_ = 0;
  std::array<SlotEntry, kSlotCount> entries_;
};

// The player's menu: what the genre's players expect behind a right click.
class PlayerMenu {
 public:
  enum Item { Save, Load, StepBack, Backlog, Settings, Help, Close, kItems };
  static std::u32string_view caption(int item);
  // Where item i lies over the game.
  static Rect itemRect(int item);

  struct Choice {
    bool chosen = false;
    bool close = false;
    int item = 0;
  };
  void open() { selected_ = 0; }
  int selected() const { return selected_; }
  Choice key(int code);
  Choice click(int x, int y);

 private:
  int selected_ = 0;
};

}  // namespace vunt
