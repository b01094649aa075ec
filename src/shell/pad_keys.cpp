#include "shell/pad_keys.hpp"

#include <array>
#include <string_view>
#include <utility>

#include "aids/player_aids.hpp"
#include "platform/host.hpp"

namespace vunt {

PadKey padKey(PadButton button) {
  switch (button) {
    case PadButton::A: return {vk::Return, U'\r'};
    case PadButton::B: return {vk::Escape, U'\x1b'};
    case PadButton::X: return {aidkey::A, U'a'};
    case PadButton::Y: return {aidkey::HideText, U'h'};
    case PadButton::Up: return {vk::Up, 0};
    case PadButton::Down: return {vk::Down, 0};
    case PadButton::Left: return {vk::Left, 0};
    case PadButton::Right: return {vk::Right, 0};
    case PadButton::LeftShoulder: case PadButton::LeftTrigger: return {aidkey::PageUp, 0};
    case PadButton::RightShoulder: case PadButton::RightTrigger: return {aidkey::Control, 0};
    case PadButton::Back: return {aidkey::F1, 0};
    case PadButton::Start: return {aidkey::F2, 0};
    default: return {};
  }
}

bool padButtonNamed(std::string_view name, PadButton& button) {
  static constexpr std::array<std::pair<std::string_view, PadButton>, 17> names{{
      {"a", PadButton::A}, {"b", PadButton::B}, {"x", PadButton::X}, {"y", PadButton::Y},
      {"back", PadButton::Back}, {"start", PadButton::Start}, {"guide", PadButton::Guide},
      {"ls", PadButton::LeftStick}, {"rs", PadButton::RightStick}, {"lb", PadButton::LeftShoulder},
      {"rb", PadButton::RightShoulder}, {"up", PadButton::Up}, {"down", PadButton::Down},
      {"left", PadButton::Left}, {"right", PadButton::Right}, {"lt", PadButton::LeftTrigger},
      {"rt", PadButton::RightTrigger},
  }};
  for (const auto& [n, b] : names)
    if (n == name) {
      button = b;
      return true;
    }
  return false;
}

}  // namespace vunt
