#include "platform/sdl_keys.hpp"

#include <SDL.h>

#include "platform/host.hpp"

namespace vunt {

int virtualKey(std::int32_t k) {
  if (k >= SDLK_a && k <= SDLK_z) return int('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return int(k);
  if (k >= SDLK_F1 && k <= SDLK_F12) return vk::F1 + int(k - SDLK_F1);
  switch (k) {
    case SDLK_SPACE: return vk::Space;
    case SDLK_ESCAPE: return vk::Escape;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk::Return;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_LEFT: return vk::Left;
    case SDLK_UP: return vk::Up;
    case SDLK_RIGHT: return vk::Right;
    case SDLK_DOWN: return vk::Down;
    case SDLK_KP_2: return vk::Numpad2;
    case SDLK_KP_4: return vk::Numpad4;
    case SDLK_KP_6: return vk::Numpad6;
    case SDLK_KP_8: return vk::Numpad8;
    // Keys of the player aids only (skip, backlog).
    case SDLK_LCTRL: case SDLK_RCTRL: return vk::Control;
    case SDLK_PAGEUP: return vk::PageUp;
    case SDLK_PAGEDOWN: return vk::PageDown;
    default: return 0;
  }
}

// SDL names the character keys by their character; the keypad produces its characters while
// Num Lock is on, and its operators always.
char32_t keyCharacter(const SDL_Keysym& key) {
  SDL_Keycode k = key.sym;
  if (k == SDLK_RETURN || k == SDLK_KP_ENTER) return U'\r';
  if (!(k & SDLK_SCANCODE_MASK)) return k >= 8 && k != SDLK_DELETE ? char32_t(k) : 0;
  switch (k) {
    case SDLK_KP_DIVIDE: return U'/';
    case SDLK_KP_MULTIPLY: return U'*';
    case SDLK_KP_MINUS: return U'-';
    case SDLK_KP_PLUS: return U'+';
    default: break;
  }
  if (!(key.mod & KMOD_NUM)) return 0;
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return char32_t(U'1' + (k - SDLK_KP_1));
  if (k == SDLK_KP_0) return U'0';
  if (k == SDLK_KP_PERIOD) return U'.';
  return 0;
}

std::optional<PadButton> padButtonOf(std::uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B: return PadButton::B;
    case SDL_CONTROLLER_BUTTON_X: return PadButton::X;
    case SDL_CONTROLLER_BUTTON_Y: return PadButton::Y;
    case SDL_CONTROLLER_BUTTON_BACK: return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_GUIDE: return PadButton::Guide;
    case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return PadButton::LeftStick;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return PadButton::RightStick;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadButton::RightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::Right;
    default: return std::nullopt;
  }
}

std::optional<PadAxes::Axis> padAxisOf(std::uint8_t axis) {
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX: return PadAxes::LeftX;
    case SDL_CONTROLLER_AXIS_LEFTY: return PadAxes::LeftY;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT: return PadAxes::LeftTrigger;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: return PadAxes::RightTrigger;
    default: return std::nullopt;
  }
}

}  // namespace vunt
