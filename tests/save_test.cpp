// SAVE and LOAD: the save file's format, its reader, and what the player sees when it fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "session.hpp"
#include "platform/game_files.hpp"
#include "script/save_format.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

SavedFlags sample() {
  SavedFlags f{};
  for (int i = 0; i < kSavedFlags; ++i) f[std::size_t(i)] = std::int16_t(i * 7 - 50);
  f[0] = 5;
  f[1] = -12;
  f[2] = 0;
  f[3] = 32767;
  f[4] = -32768;
  return f;
}

std::string flagsLine(const SavedFlags& f) {
  std::string line = "flags\t";
  for (int i = 0; i < kSavedFlags; ++i) line += (i ? " " : "") + std::to_string(f[std::size_t(i)]);
  return line;
}

Played playWithFlags(const GameDir& dir, const std::vector<std::string>& script, const SavedFlags& flags) {
  dir.script(script);
  Session s(dir);
  s.game.script.Flags = flags;
  return s.run();
}

std::string fileText(const fs::path& p) { return readWholeFile(p).value_or("(unreadable)"); }

}  // namespace

TEST(SaveFormat, ExactBytes) {
  SavedFlags f{};
  f[0] = 5;
  f[1] = -12;
  f[2] = 0;
  f[3] = 32767;
  f[30] = -32768;
  std::string expected = " 5\r\n-12\r\n 0\r\n 32767\r\n";
  for (int i = 4; i < 30; ++i) expected += " 0\r\n";
  expected += "-32768\r\n";
  EXPECT_EQ(saveFileText(f), expected);
}

TEST(SaveFormat, ReaderTakesBlanksCommasAndLineEndsAlike) {
  SavedFlags f = sample();
  SaveFileRead r = readSaveFile(saveFileText(f));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.flags, f);

  std::string commas, bare, mixed;
  for (int i = 0; i < kSavedFlags; ++i) {
    std::string v = std::to_string(f[std::size_t(i)]);
    commas += (i ? "," : "") + v;
    bare += v + "\n";
    mixed += v + (i % 3 == 0 ? " , " : i % 3 == 1 ? "\r\n\r\n  " : "\t");
  }
  for (const std::string& text : {commas, bare, mixed, "+5" + commas.substr(1)}) {
    r = readSaveFile(text);
    ASSERT_TRUE(r.ok) << text << " " << r.reason;
    EXPECT_EQ(r.flags, f);
  }
  // More than 31 numbers: the first 31 count, whatever follows.
  r = readSaveFile(saveFileText(f) + " 99\r\nrubbish\r\n");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.flags, f);
}

TEST(SaveFormat, BrokenFilesSayWhichValue) {
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += " 1\r\n";
  struct Case { std::string text; int bad; } cases[] = {
      {"", 0},
      {thirty, 30},
      {thirty + " \r\n", 30},
      {" 1\r\nabc\r\n" + thirty, 1},
      {" 32768\r\n" + thirty, 0},
      {"-32769\r\n" + thirty, 0},
      {" 99999999999999999999\r\n" + thirty, 0},
      {" 5x\r\n" + thirty, 0},
      {" 1.5\r\n" + thirty, 0},
      {"1,,2" + thirty, 1},
      {"-\r\n" + thirty, 0},
  };
  for (const Case& c : cases) {
    SaveFileRead r = readSaveFile(c.text);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_EQ(r.bad, c.bad) << c.text;
    EXPECT_FALSE(r.reason.empty());
  }
}

TEST(SaveLoad, RoundTripThroughTheFile) {
  GameDir dir;
  SavedFlags f = sample();
  dir.write("VUNT.DAT", std::string(5000, 'x'));  // a second SAVE replaces the whole file
  Played r = playWithFlags(dir, {"SAVE", "EOF"}, f);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("error").size(), 0u);
  EXPECT_EQ(fileText(dir.path() / "VUNT.DAT"), saveFileText(f));
  EXPECT_FALSE(fs::exists(dir.path() / "VUNT.DAT.tmp"));

  r = playWithFlags(dir, {"LOAD", "EOF"}, SavedFlags{});
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.lines().back(), flagsLine(f));
}

TEST(SaveLoad, SaveFileIsFoundWhateverItsCase) {
  GameDir dir;
  SavedFlags f = sample();
  dir.write("vunt.dat", saveFileText(f));
  Played r = playWithFlags(dir, {"LOAD", "EOF"}, SavedFlags{});
  EXPECT_EQ(r.lines().back(), flagsLine(f));
  r = playWithFlags(dir, {"SAVE", "EOF"}, SavedFlags{});
  EXPECT_EQ(fileText(dir.path() / "vunt.dat"), saveFileText(SavedFlags{}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);  // script + save
}

TEST(SaveLoad, MissingFileChangesNothingSilently) {
  GameDir dir;
  SavedFlags f = sample();
  Played r = playWithFlags(dir, {"LOAD", "EOF"}, f);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("error").size(), 0u);
  EXPECT_EQ(r.lines().back(), flagsLine(f));
}

TEST(SaveLoad, BrokenFileChangesNothingAndTellsThePlayer) {
  GameDir dir;
  SavedFlags f = sample();
  std::string shortFile;
  for (int i = 0; i < 30; ++i) shortFile += " 1\r\n";
  for (const std::string& text : {shortFile, std::string(" 1\r\n 70000\r\n") + shortFile}) {
    dir.write("VUNT.DAT", text);
    Played r = playWithFlags(dir, {"LOAD", "EOF"}, f);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.last("end"), "EOF");
    EXPECT_EQ(r.lines().back(), flagsLine(f));
    ASSERT_EQ(r.of("error").size(), 1u);
    EXPECT_EQ(r.last("error").rfind("Vunt\t", 0), 0u) << r.last("error");
    EXPECT_NE(r.last("error").find(text == shortFile ? "31 番目" : "2 番目"), std::string::npos) << r.last("error");
    EXPECT_EQ(fileText(dir.path() / "VUNT.DAT"), text);
  }
}

TEST(SaveLoad, SaveThatCannotWriteTellsThePlayerAndKeepsTheOldFile) {
  // Permissions do not stop root, so the failures come from directories standing in the way.
  GameDir dir;
  SavedFlags f = sample();
  // The save file's name is taken by a directory: the rename fails.
  fs::create_directories(dir.path() / "VUNT.DAT" / "inside");
  Played r = playWithFlags(dir, {"SAVE", "EOF"}, f);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EOF");
  ASSERT_EQ(r.of("error").size(), 1u);
  const std::string box = r.last("error");
  EXPECT_EQ(box.rfind("Vunt\tセーブできませんでした。", 0), 0u) << box;
  // No save was there before, so none is said to remain; the reason is the player's language,
  // and only the place written to is in letters.
  EXPECT_EQ(box.find("残って"), std::string::npos) << box;
  const std::size_t text = box.find('\t') + 1, place = box.find("保存先：");
  ASSERT_NE(place, std::string::npos) << box;
  std::string said = box.substr(text, place - text);
  for (std::size_t at; (at = said.find("\\r\\n")) != std::string::npos;) said.erase(at, 4);  // the transcript's line ends
  EXPECT_TRUE(std::none_of(said.begin(), said.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
      << box;
  EXPECT_TRUE(fs::is_directory(dir.path() / "VUNT.DAT" / "inside"));
  EXPECT_FALSE(fs::exists(dir.path() / "VUNT.DAT.tmp"));
  // LOAD of such a "file" is broken, not missing.
  r = playWithFlags(dir, {"LOAD", "EOF"}, f);
  EXPECT_EQ(r.of("error").size(), 1u);
  EXPECT_EQ(r.lines().back(), flagsLine(f));

  // The temporary file's name taken by a directory (shipped in the game folder) blocks nothing:
  // the save is written under a name of its own beside it, and the directory is left alone.
  GameDir other;
  other.write("VUNT.DAT", saveFileText(SavedFlags{}));
  fs::create_directories(other.path() / "VUNT.DAT.tmp" / "inside");
  r = playWithFlags(other, {"SAVE", "EOF"}, f);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("error").size(), 0u);
  EXPECT_EQ(fileText(other.path() / "VUNT.DAT"), saveFileText(f));
  EXPECT_TRUE(fs::is_directory(other.path() / "VUNT.DAT.tmp" / "inside"));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(other.path())) ++entries;
  EXPECT_EQ(entries, 3u);  // the script, the save file and the directory: no temporary file left
}

TEST(SaveLoad, ASaveFileOfModeZeroIsReplacedByOneItsOwnerCanRead) {
  GameDir dir;
  dir.write("VUNT.DAT", saveFileText(SavedFlags{}));
  fs::permissions(dir.path() / "VUNT.DAT", fs::perms::none);
  SavedFlags f = sample();
  Played r = playWithFlags(dir, {"SAVE", "EOF"}, f);
  EXPECT_EQ(r.of("error").size(), 0u);
  const fs::perms p = fs::status(dir.path() / "VUNT.DAT").permissions();
  EXPECT_EQ(p & (fs::perms::owner_read | fs::perms::owner_write), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(p & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}
