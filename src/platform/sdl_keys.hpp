#pragma once
// SDL's keys as the game knows them: Windows virtual-key codes and the characters of key presses.
// (SDL's types are only named here, so that this header stays free of SDL's.)
#include <cstdint>
#include <optional>

#include "platform/input.hpp"
#include "platform/pad_axes.hpp"

struct SDL_Keysym;

namespace vunt {

// Windows virtual-key code of an SDL key code, or 0 for keys the game never sees.
int virtualKey(std::int32_t sdlKeycode);

// The character a key produces in a key-press event, or 0 for keys that produce none (arrows,
// function keys, Shift, Delete...).
char32_t keyCharacter(const SDL_Keysym& key);

// A game controller's button (SDL_GameControllerButton) by its place on the pad, and its axes
// (SDL_GameControllerAxis) that act as buttons; nothing for those the game has no use for.
std::optional<PadButton> padButtonOf(std::uint8_t sdlButton);
std::optional<PadAxes::Axis> padAxisOf(std::uint8_t sdlAxis);

}  // namespace vunt
