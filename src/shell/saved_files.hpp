#pragma once
// The files a player keeps of one game, taken out as one file and put back: the save file
// "VUNT.DAT" and the save slots ("quick.vsav", "slot-01.vsav" to "slot-12.vsav") of the game's
// data folder. A browser page offers them so, as its storage can be cleared or lost.
//
// The saves file: "VUNTSAVES", u8 version (1), u8 count, then for each file: u8 length + the
// name (one of the names above), u32 length + the bytes.   (numbers little-endian)
//
// Whatever comes back is read as LOAD and the load screen read it; one bad file and nothing is
// written.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vunt {

// The name under which a saved file is kept, for a name as the player may have it ("vunt.dat",
// "slot-03 (1).vsav" after a second download); none for any other name.
std::optional<std::string> savedFileName(std::string_view name);

// Why the bytes are no good as the saved file of that name (as LOAD or the load screen would
// say); none when they are good.
std::optional<std::string> savedFileProblem(std::string_view name, std::string_view bytes);

// The saves file of the folder's saved files (those that exist); none and why when one cannot
// be read or there is none.
std::optional<std::string> packSavedFiles(const std::filesystem::path& folder, std::string& error);

struct SavedFilesImport {
  bool ok = false;
  int files = 0;        // written
  std::string message;  // when not ok: why (nothing was written unless a write itself failed)
};
// Writes one file whole: false and why on failure.
using SavedFileWriter = std::function<bool(const std::filesystem::path&, std::string_view, std::string&)>;
// replaceFile: a new file written beside the old one, flushed to the disk, renamed over it.
bool replaceSavedFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

// Takes a file the player picked: a saves file, or one saved file by its name. Everything is
// checked before the first file is written into the folder.
SavedFilesImport importSavedFiles(const std::filesystem::path& folder, std::string_view name, std::string_view bytes,
                                  const SavedFileWriter& write = replaceSavedFile);

}  // namespace vunt
