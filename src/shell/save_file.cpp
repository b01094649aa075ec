// The save file "VUNT.DAT" of the game directory, as SAVE and LOAD use it: the 31 flags.
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/file_replace.hpp"
#include "platform/game_files.hpp"
#include "platform/save_location.hpp"
#include "text/text.hpp"
#include "script/save_format.hpp"
#include "shell/save_failure.hpp"
#include "shell/vunt.hpp"

namespace vunt {

static_assert(kSavedFlags == kFlagCount);

namespace {

// The title of the boxes that tell the player a save or load went wrong. These are not script
// errors: the game goes on after them.
constexpr std::u32string_view kSaveBoxTitle = U"Vunt";
constexpr int kWarningBox = 48;  // exclamation icon, OK

std::u32string pathText(const std::filesystem::path& p) { return fromUtf8(p.string()); }

}  // namespace

// SAVE: the whole file is replaced in one step, so an earlier save survives any failure; a
// failure is told to the player and the game goes on. A game folder that cannot be written keeps
// its save under the user's data directory (save_location.hpp).
void Vunt::saveFlags(const FlagTable& flags) {
  SaveFiles files = saveFiles(gameDir_, gamePath(U"\\VUNT.DAT"), saveFolderWritable);
  std::optional<std::filesystem::path> target = files.forSave();
  std::filesystem::path path = target.value_or(files.beside);
  std::error_code ec;
  // What LOAD would read now is what remains when this save fails.
  const bool previous = std::filesystem::is_regular_file(files.forLoad(), ec);
  std::string why;
  std::u32string reason;
  if (!target) {
    why = "the game folder cannot be written and neither XDG_DATA_HOME nor HOME names a folder for saves";
    reason = U"ゲームのフォルダーに書き込めず、ほかに保存できる場所（XDG_DATA_HOME、HOME）もありません。";
  } else if (path != files.beside && (std::filesystem::create_directories(path.parent_path(), ec), ec)) {
    why = "cannot make " + path.parent_path().string() + ": " + ec.message();
    reason = U"保存先のフォルダーを作れません。" + saveErrorText(ec.value());
  } else if (!replaceFile(path, saveFileText(flags), why)) {
    reason = saveErrorText(errno);
  }
  if (reason.empty()) return;
  std::fprintf(stderr, "vunt: cannot save to %s: %s\n", path.string().c_str(), why.c_str());
  host_.messageBox(saveFailureText(reason, previous, path), kSaveBoxTitle, kWarningBox);
}

// LOAD: all 31 values are read and checked before any flag changes. Without a save file (no game
// saved yet) nothing changes and nothing is said; a script can tell by a marker value it set in
// a flag before LOAD. A file that cannot be read or is broken changes nothing and is told to the
// player.
std::optional<FlagTable> Vunt::loadFlags() {
  std::filesystem::path path = saveFiles(gameDir_, gamePath(U"\\VUNT.DAT"), saveFolderWritable).forLoad();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  auto broken = [&](const std::u32string& why) {
    host_.messageBox(U"セーブデータが読めないため、ロードしませんでした。\r\n" + pathText(path) + U"\r\n(" + why + U")",
                     kSaveBoxTitle, kWarningBox);
    return std::nullopt;
  };
  std::optional<std::string> bytes = readWholeFile(path);
  if (!bytes) return broken(U"ファイルを読み込めません");
  SaveFileRead read = readSaveFile(*bytes);
  if (!read.ok) return broken(decimalText(read.bad + 1) + U" 番目の値: " + fromUtf8(read.reason));
  return read.flags;
}

}  // namespace vunt
