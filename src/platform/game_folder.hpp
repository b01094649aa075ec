#pragma once
// The check the program makes before it plays: does the folder hold a game at all? A folder
// without the script is almost always a wrong folder (or none given), and saying which folders
// were looked in helps more than the script error the engine would report.
#include <filesystem>
#include <string>
#include <vector>

namespace vunt {

// Empty when dir holds a "vunt-n.zad" (in any letter case; whether it can be read is the
// loader's business); otherwise the message that names the folder.
std::string missingGameMessage(const std::filesystem::path& dir);

// No folder named and none of the places looked in (the program's folder, the installed game's)
// holds a script: the message names every one of them and how to name a game.
std::string noGameMessage(const std::vector<std::filesystem::path>& looked);

// The named game folder is no folder: empty when it is one; otherwise what it is instead (a file,
// such as the script itself, whose folder it names; nothing at all) and how to name a game.
std::string notAFolderMessage(const std::filesystem::path& named);

}  // namespace vunt
