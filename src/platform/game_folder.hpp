#pragma once
// The check the program makes before it plays: does the folder hold a game at all? A folder
// without the script is almost always a wrong folder (or none given), and saying which folder
// was looked in helps more than the script error the engine would report.
#include <filesystem>
#include <string>

namespace vunt {

// Empty when dir holds a "vunt-n.zad" (in any letter case; whether it can be read is the
// loader's business); otherwise the message that names the folder. byDefault: the folder was not
// named on the command line but is the program's own.
std::string missingGameMessage(const std::filesystem::path& dir, bool byDefault);

}  // namespace vunt
