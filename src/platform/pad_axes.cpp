#include "platform/pad_axes.hpp"

namespace vunt {

namespace {
void set(bool& held, bool want, PadButton button, std::vector<std::pair<PadButton, bool>>& changes) {
  if (held == want) return;
  held = want;
  changes.emplace_back(button, want);
}
// Whether a half of an axis (sign -1 or +1) is pressed now, given whether it was.
bool pressed(bool was, int value, int sign) {
  const int v = value * sign;
  return was ? v > PadAxes::kRelease : v > PadAxes::kPress;
}
}  // namespace

void PadAxes::move(Axis axis, int value, std::vector<std::pair<PadButton, bool>>& changes) {
  switch (axis) {
    case LeftX:
      set(held_[0], pressed(held_[0], value, -1), PadButton::Left, changes);
      set(held_[1], pressed(held_[1], value, 1), PadButton::Right, changes);
      break;
    case LeftY:  // SDL's y grows downwards
      set(held_[2], pressed(held_[2], value, -1), PadButton::Up, changes);
      set(held_[3], pressed(held_[3], value, 1), PadButton::Down, changes);
      break;
    case LeftTrigger: set(held_[4], pressed(held_[4], value, 1), PadButton::LeftTrigger, changes); break;
    case RightTrigger: set(held_[5], pressed(held_[5], value, 1), PadButton::RightTrigger, changes); break;
    case RightX:
    case RightY: break;  // the right stick does nothing
  }
}

}  // namespace vunt
