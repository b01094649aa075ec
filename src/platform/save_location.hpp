#pragma once
// Where SAVE writes and LOAD reads the save file "VUNT.DAT". Beside the game, as the game has
// always kept it, while the game folder can be written; an installed game (under /usr/share, say)
// keeps its save in $XDG_DATA_HOME/vunt/<folder name>-<hash of the folder's path>/VUNT.DAT.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vunt {

// Whether a folder can take new files.
using WritableCheck = std::function<bool(const std::filesystem::path&)>;
// The real check: the process may create files there (access(2) with W_OK).
bool folderWritable(const std::filesystem::path& dir);

// The folder under the data directory that holds this game's save: the game folder's name, "-",
// and 8 hex digits of a hash of its absolute path, so two games of the same name do not meet.
std::string saveFolderName(const std::filesystem::path& gameDir);

// The player's data folder for this game: $XDG_DATA_HOME/vunt/<saveFolderName>, where the save
// file goes when the game folder cannot be written; the save slots live there too. None without
// XDG_DATA_HOME or HOME.
std::optional<std::filesystem::path> gameDataFolder(const std::filesystem::path& gameDir);

struct SaveFiles {
  std::filesystem::path beside;                  // the save file in the game folder
  std::optional<std::filesystem::path> elsewhere;  // under the data directory; none without HOME
  bool gameWritable = true;
  // The file SAVE writes: beside the game while its folder can be written.
  std::optional<std::filesystem::path> forSave() const;
  // The file LOAD reads: a save under the data directory, when the game folder cannot be written
  // and one exists there; otherwise the one beside the game (which then keeps its priority).
  std::filesystem::path forLoad() const;
};

// besideGame is the save file's path in the game folder, as the game names it.
SaveFiles saveFiles(const std::filesystem::path& gameDir, const std::filesystem::path& besideGame,
                    const WritableCheck& writable = folderWritable);

}  // namespace vunt
