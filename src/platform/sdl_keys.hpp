#pragma once
// SDL's keys as the game knows them: Windows virtual-key codes and the characters of key presses.
// (SDL's types are only named here, so that this header stays free of SDL's.)
#include <cstdint>

struct SDL_Keysym;

namespace vunt {

// Windows virtual-key code of an SDL key code, or 0 for keys the game never sees.
int virtualKey(std::int32_t sdlKeycode);

// The character a key produces in a key-press event, or 0 for keys that produce none (arrows,
// function keys, Shift, Delete...).
char32_t keyCharacter(const SDL_Keysym& key);

}  // namespace vunt
