#pragma once
// A game controller's sticks and triggers as buttons: the left stick pushed far enough in one of
// its four directions presses that direction (as the D-pad does), a trigger pulled far enough
// presses it. Between pressing (at more than half way) and releasing (under a quarter) lies a
// gap, so a stick held near the edge does not press again and again. Pure logic, without SDL.
#include <array>
#include <utility>
#include <vector>

#include "platform/input.hpp"

namespace vunt {

class PadAxes {
 public:
  enum Axis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
  static constexpr int kPress = 16384, kRelease = 8192;  // of SDL's range -32768..32767

  // The axis moved to value; the buttons it pressed (true) or released (false) are appended.
  void move(Axis axis, int value, std::vector<std::pair<PadButton, bool>>& changes);

 private:
  // Pressed now: the left stick's left, right, up, down, and the two triggers.
  std::array<bool, 6> held_{};
};

}  // namespace vunt
