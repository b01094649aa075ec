// The saves file that takes a game's save and slots out of a browser page and back: what goes out
// comes back byte for byte, and anything the engine would not load is refused before a file is
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "aids/slot_file.hpp"
#include "harness.hpp"
#include "script/save_format.hpp"
#include "shell/saved_files.hpp"
#include "shell/snapshot_format.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

std::string slotBytes(std::int64_t savedAt) {
  SlotFile s;
  s.info.savedAt = savedAt;
  s.snapshot = writeSnapshot(GameSnapshot{});
  return writeSlot(s);
}

std::string saveBytes() {
  SavedFlags flags{};
  flags[0] = -7, flags[30] = 12345;
  return saveFileText(flags);
}

std::string contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A saves file written by hand, as its format is described.
std::string savesFile(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string out = "VUNTSAVES\x01";
  out += char(files.size());
  for (const auto& [name, bytes] : files) {
    out += char(name.size()) + name;
    for (int i = 0; i < 4; ++i) out += char((bytes.size() >> (8 * i)) & 255);
    out += bytes;
  }
  return out;
}

// The names of the files in the folder, sorted, joined by blanks.
std::string listing(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

}  // namespace

TEST(SavedFiles, GoOutAsOneFileAndComeBackAsTheyWere) {
  GameDir from, to;
  std::string error;
  EXPECT_FALSE(packSavedFiles(from.path(), error));
  EXPECT_EQ(error, "there is no save yet");
  from.write("VUNT.DAT", saveBytes());
  from.write("quick.vsav", slotBytes(1));
  from.write("slot-12.vsav", slotBytes(2));
  from.write("settings.ini", "not a save");
  std::optional<std::string> pack = packSavedFiles(from.path(), error);
  ASSERT_TRUE(pack) << error;
  EXPECT_EQ(pack->find("settings"), std::string::npos);

  const SavedFilesImport in = importSavedFiles(to.path() / "made", "game-saves (1).vuntsaves", *pack);
  ASSERT_TRUE(in.ok) << in.message;
  EXPECT_EQ(in.files, 3);
  EXPECT_EQ(listing(to.path() / "made"), "VUNT.DAT quick.vsav slot-12.vsav");
  for (const char* name : {"VUNT.DAT", "quick.vsav", "slot-12.vsav"})
    EXPECT_EQ(contents(to.path() / "made" / name), contents(from.path() / name)) << name;

  // One file alone, under the name a browser gives a second download of it.
  const SavedFilesImport one = importSavedFiles(to.path(), "slot-03 (2).vsav", slotBytes(3));
  ASSERT_TRUE(one.ok) << one.message;
  EXPECT_EQ(contents(to.path() / "slot-03.vsav"), slotBytes(3));
}

TEST(SavedFiles, KnowOnlyTheSaveAndTheSlotsByName) {
  EXPECT_EQ(savedFileName("vunt.dat"), "VUNT.DAT");
  EXPECT_EQ(savedFileName("VUNT (12).DAT"), "VUNT.DAT");
  EXPECT_EQ(savedFileName("SLOT-01.VSAV"), "slot-01.vsav");
  EXPECT_EQ(savedFileName("quick.vsav"), "quick.vsav");
  for (const char* bad : {"slot-13.vsav", "slot-00.vsav", "slot-1.vsav", "../VUNT.DAT", "dir/VUNT.DAT", "VUNT (x).DAT",
                          "VUNT ().DAT", "VUNT.DAT.txt", "", "settings.ini"})
    EXPECT_FALSE(savedFileName(bad)) << bad;
}

TEST(SavedFiles, RefuseWhatTheEngineWouldNotLoadAndWriteNothing) {
  GameDir to, from;
  auto refused = [&](std::string_view name, const std::string& bytes, const std::string& words) {
    const SavedFilesImport r = importSavedFiles(to.path(), name, bytes);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_NE(r.message.find(words), std::string::npos) << r.message;
    EXPECT_EQ(listing(to.path()), "") << name;
  };
  // The save file as LOAD reads it: the value that cannot be read, by its number.
  refused("VUNT.DAT", " 1\r\n 2\r\nthree\r\n", "VUNT.DAT: 3 番目の値: ");
  refused("VUNT.DAT", " 1\r\n", "VUNT.DAT: 2 番目の値: ");
  // A slot as the load screen reads it, and its snapshot as loading it would.
  std::string slot = slotBytes(5);
  slot[20] ^= 1;
  refused("slot-05.vsav", slot, "slot-05.vsav: the slot is damaged (its check does not match)");
  SlotFile junk;
  junk.snapshot = "no snapshot";
  refused("quick.vsav", writeSlot(junk), "quick.vsav: not a Vunt snapshot");
  refused("notes.txt", "hello", "notes.txt: not a saved file of Vunt");

  // A saves file: cut anywhere, or one bad file among good ones, and nothing is written.
  from.write("VUNT.DAT", saveBytes());
  from.write("slot-01.vsav", slotBytes(1));
  std::string error;
  const std::string pack = packSavedFiles(from.path(), error).value_or("");
  ASSERT_FALSE(pack.empty()) << error;
  for (std::size_t n = 9; n < pack.size(); n += 13) refused("game-saves.vuntsaves", pack.substr(0, n), "saves file");
  refused("game-saves.vuntsaves", pack + "x", "the saves file is damaged");
  std::string badSave = pack;
  badSave[badSave.find("VUNT.DAT") + 8 + 4 + 1] = 'x';  // the first value of the save file
  refused("game-saves.vuntsaves", badSave, "VUNT.DAT: 1 番目の値: ");
  // Names that are no saved file's (a climb out of the folder), or one twice.
  std::string climb = pack;
  climb.replace(climb.find("VUNT.DAT"), 8, "../V.DAT");
  refused("game-saves.vuntsaves", climb, "names a file that is no saved file");
  refused("game-saves.vuntsaves", savesFile({{"VUNT.DAT", saveBytes()}, {"vunt.dat", saveBytes()}}),
          "names a file that is no saved file");
  refused("game-saves.vuntsaves", savesFile({{"VUNT.DAT", saveBytes()}, {"VUNT.DAT", saveBytes()}}), "holds VUNT.DAT twice");
  std::string other = pack;
  other[9] = 2;
  refused("game-saves.vuntsaves", other, "another version of Vunt (version 2)");
  EXPECT_TRUE(importSavedFiles(to.path(), "x", savesFile({{"VUNT.DAT", saveBytes()}})).ok);
}
