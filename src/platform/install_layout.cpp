#include "platform/install_layout.hpp"

#include <system_error>

#include "platform/game_files.hpp"

#ifndef VUNT_INSTALLED_GAME
#define VUNT_INSTALLED_GAME "../share/vunt/game"
#endif

namespace vunt {

namespace {
bool holdsScript(const std::filesystem::path& dir) {
  std::error_code ec;
  return std::filesystem::is_regular_file(gameFile(dir, U"vunt-n.zad"), ec);
}
}  // namespace

std::filesystem::path installedGameDir(const std::filesystem::path& programDir) {
  return (programDir / VUNT_INSTALLED_GAME).lexically_normal();
}

std::filesystem::path defaultGameDir(const std::filesystem::path& programDir) {
  if (holdsScript(programDir)) return programDir;
  std::filesystem::path installed = installedGameDir(programDir);
  return holdsScript(installed) ? installed : programDir;
}

}  // namespace vunt
