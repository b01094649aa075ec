#include "platform/game_folder.hpp"

#include <system_error>

#include "platform/game_files.hpp"

namespace vunt {

namespace {
std::string shown(const std::filesystem::path& p) {
  std::error_code ec;
  std::filesystem::path a = std::filesystem::absolute(p, ec);
  return (ec ? p : a.lexically_normal()).string();
}
}  // namespace

std::string missingGameMessage(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::path script = gameFile(dir, U"vunt-n.zad");
  if (std::filesystem::exists(std::filesystem::symlink_status(script, ec))) return {};
  return "no vunt-n.zad in " + shown(dir);
}

std::string noGameMessage(const std::vector<std::filesystem::path>& looked) {
  std::string places;
  for (std::size_t i = 0; i < looked.size(); ++i) {
    if (i) places += i + 1 == looked.size() ? " nor " : ", ";
    places += shown(looked[i]);
  }
  return "no game to play: no vunt-n.zad in " + places + "; name the game's folder: vunt GAME_DIR";
}

std::string notAFolderMessage(const std::filesystem::path& named) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(named, ec);
  if (std::filesystem::is_directory(st)) return {};
  if (!std::filesystem::exists(st)) return "no game folder " + named.string() + ": it does not exist";
  // The folder as the player wrote it: "vunt game/vunt-n.zad" leads to "vunt game".
  const std::filesystem::path folder = named.parent_path();
  return named.string() + " is a file, not a game folder; name the folder that holds the game: vunt " +
         (folder.empty() ? std::string(".") : folder.string());
}

}  // namespace vunt
