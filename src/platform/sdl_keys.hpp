#pragma once
// SDL's keys as the game knows them: Windows virtual-key codes and the characters of key presses.
#include <SDL.h>

namespace vunt {

// Windows virtual-key code of an SDL key, or 0 for keys the game never sees.
int virtualKey(SDL_Keycode k);

// The character a key produces in a key-press event, or 0 for keys that produce none (arrows,
// function keys, Shift, Delete...).
char32_t keyCharacter(const SDL_Keysym& key);

}  // namespace vunt
