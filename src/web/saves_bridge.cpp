// The page's export and import of the saves (tools/web/index.html): the engine's own reading and
// checking of saved files, called from JavaScript between the game's waits. The files go through
// the in-memory file system; the texts returned live until the next call.
#include <emscripten.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/game_files.hpp"
#include "platform/save_location.hpp"
#include "shell/saved_files.hpp"

namespace {

std::string answer;

// Writes a file whole without fsync(): with ASYNCIFY an fsync() of a file in IndexedDB waits for
// the browser's storage, and a wait inside a call from JavaScript would leave the game's own
// suspended wait broken. The page copies the files into IndexedDB after the call.
bool writeWhole(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  const std::filesystem::path tmp = path.string() + ".import";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  std::error_code ec;
  if (ok) std::filesystem::rename(tmp, path, ec);
  if (ok && !ec) return true;
  error = "cannot write " + path.string();
  std::filesystem::remove(tmp, ec);
  return false;
}

// The game's data folder, where both the save and the slots live in the page (its game folder
// cannot be written).
std::optional<std::filesystem::path> folderOf(const char* gameDir, std::string& error) {
  std::optional<std::filesystem::path> folder = vunt::gameDataFolder(gameDir);
  if (!folder) error = "the page keeps no data folder";
  return folder;
}

}  // namespace

extern "C" {

// Writes the saves file to outPath: "" when done, else why not.
EMSCRIPTEN_KEEPALIVE const char* vunt_export_saves(const char* gameDir, const char* outPath) {
  answer.clear();
  std::optional<std::string> bytes;
  if (auto folder = folderOf(gameDir, answer)) bytes = vunt::packSavedFiles(*folder, answer);
  if (bytes && !writeWhole(outPath, *bytes, answer)) answer = "cannot write the saves file";
  return answer.c_str();
}

// Takes the file at inPath, picked by the player under the name: "" when its files were written,
// else why nothing was.
EMSCRIPTEN_KEEPALIVE const char* vunt_import_saves(const char* gameDir, const char* name, const char* inPath) {
  answer.clear();
  std::optional<std::filesystem::path> folder = folderOf(gameDir, answer);
  if (!folder) return answer.c_str();
  // The largest saves file: thirteen files of the largest size the engine reads.
  std::optional<std::string> bytes = vunt::readWholeFile(inPath, 13 * vunt::kMaxGameFileBytes);
  if (!bytes) {
    answer = std::string(name) + ": " + vunt::whyUnreadable(inPath, 13 * vunt::kMaxGameFileBytes);
    return answer.c_str();
  }
  vunt::SavedFilesImport result = vunt::importSavedFiles(*folder, name, *bytes, writeWhole);
  if (!result.ok) answer = result.message;
  return answer.c_str();
}

}  // extern "C"
