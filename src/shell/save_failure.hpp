#pragma once
// The box that tells the player a save could not be written: Japanese throughout (the system's
// own English error goes to standard error), and a previous save is said to remain only when
// there is one.
#include <filesystem>
#include <string>

namespace vunt {

// The reason for a system error number, in the player's words.
std::u32string saveErrorText(int errorNumber);

// The box's text: what happened, why, whether an earlier save is still there, and where.
std::u32string saveFailureText(const std::u32string& reason, bool previousSaveKept, const std::filesystem::path& path);

}  // namespace vunt
