#include "platform/save_location.hpp"

#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "platform/xdg_dirs.hpp"

namespace vunt {

bool folderWritable(const std::filesystem::path& dir) { return ::access(dir.c_str(), W_OK | X_OK) == 0; }

std::string saveFolderName(const std::filesystem::path& gameDir) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(gameDir, ec).lexically_normal();
  if (ec) full = gameDir.lexically_normal();
  std::string text = full.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  // FNV-1a: small, stable across builds and machines, enough to tell folders apart.
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  std::string name = std::filesystem::path(text).filename().string();
  if (name.empty() || name == "." || name == "..") name = "game";
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08x", unsigned(h ^ (h >> 32)));
  return name + "-" + hex;
}

std::optional<std::filesystem::path> gameDataFolder(const std::filesystem::path& gameDir) {
  auto data = xdgBaseDir("XDG_DATA_HOME", ".local/share");
  if (!data) return std::nullopt;
  return *data / "vunt" / saveFolderName(gameDir);
}

std::optional<std::filesystem::path> SaveFiles::forSave() const {
  if (gameWritable) return beside;
  return elsewhere;
}

std::filesystem::path SaveFiles::forLoad() const {
  std::error_code ec;
  if (!gameWritable && elsewhere && std::filesystem::exists(*elsewhere, ec)) return *elsewhere;
  return beside;
}

SaveFiles saveFiles(const std::filesystem::path& gameDir, const std::filesystem::path& besideGame,
                    const WritableCheck& writable) {
  SaveFiles f;
  f.beside = besideGame;
  f.gameWritable = writable(besideGame.parent_path().empty() ? gameDir : besideGame.parent_path());
  if (!f.gameWritable) {
    if (auto folder = gameDataFolder(gameDir)) f.elsewhere = *folder / "VUNT.DAT";
  }
  return f;
}

}  // namespace vunt
