#include "platform/game_folder.hpp"

#include <system_error>

#include "platform/game_files.hpp"

namespace vunt {

std::string missingGameMessage(const std::filesystem::path& dir, bool byDefault) {
  std::error_code ec;
  std::filesystem::path script = gameFile(dir, U"vunt-n.zad");
  if (std::filesystem::exists(std::filesystem::symlink_status(script, ec))) return {};
  std::filesystem::path shown = std::filesystem::absolute(dir, ec);
  if (ec) shown = dir;
  if (byDefault)
    return "no game to play: the program's folder " + shown.string() +
           " holds no vunt-n.zad; name the game's folder: vunt GAME_DIR";
  return "no vunt-n.zad in " + shown.string();
}

}  // namespace vunt
