#pragma once
// Where an installed Vunt finds its bundled game: `cmake --install` puts the program in
// <prefix>/bin and the game in <prefix>/share/vunt/game.
#include <filesystem>

namespace vunt {

// The game folder when the command line names none: the program's own folder when it holds a
// script (a game copied beside the program, as the game has always been played), otherwise the
// installed bundled game when it is there, otherwise the program's folder again (so the message
// about the missing script names where the player would expect it).
std::filesystem::path defaultGameDir(const std::filesystem::path& programDir);

// The installed bundled game's folder for a program in programDir.
std::filesystem::path installedGameDir(const std::filesystem::path& programDir);

}  // namespace vunt
