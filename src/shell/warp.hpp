#pragma once
// --start with the game's state: the state the lines above the start line would have made, taken
// from a whole-game snapshot file, from the flags of a save file, or by playing a recorded input
// (--record's file) from the top, headless and without delays, until the start line is about to run.
#include <filesystem>
#include <optional>
#include <string>

namespace vunt {

class Vunt;

// What --state FILE holds, told by its content.
enum class StateSource { Snapshot, SaveFile, Record };
StateSource stateSourceOf(std::string_view bytes);

// Plays the game in gameDir headless with the recorded input until line `line` is about to run,
// and returns the snapshot taken there; nothing and why when the input ends, or the game ends,
// before it gets there.
std::optional<std::string> playUntilLine(const std::filesystem::path& gameDir, std::string_view recordText, int line,
                                         std::string& error);

}  // namespace vunt
