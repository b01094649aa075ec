#pragma once
// Every data file of a game is named as on Windows: the game directory, "\" and a name that may
// hold further "\" parts, in any letter case. This is the one place that turns such a name into
// a path on this system.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vunt {

// Joins dir and a Windows-style relative name ("\A-PUZ1.wav", "pics\Room.szg"): "\" and "/" both
// separate parts, and a part that does not exist with its exact name is looked up without regard
// to letter case. A part found neither way is kept as written, so opening the result fails.
std::filesystem::path gameFile(const std::filesystem::path& dir, std::u32string_view name);

// Reads a whole file; nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

}  // namespace vunt
