// File names from the script never lead out of the game folder: "..", NUL, drives, links that
// leave it, and names too long to be real are all treated as missing files, and the lookup of
// any name takes time in proportion to its length.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "harness.hpp"
#include "platform/game_files.hpp"
#include "platform/picture.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

std::string picture() { return readWholeFile(fs::path(VUNT_TEST_DATA) / "plain-gif.szg").value_or(""); }

// Plays one GHG line in the game folder; true when the picture was shown, false when the game
// ended with the report of a missing picture.
bool shows(const fs::path& game, const std::string& name) {
  std::ofstream(game / "vunt-n.zad", std::ios::binary) << "GHG," << name << "\r\nEOF\r\n";
  std::ostringstream out;
  HeadlessHost host({}, out);
  Vunt vunt(host, game);
  Played r;
  r.status = host.run(vunt);
  r.transcript = out.str();
  if (r.status == 0 && r.of("picture").size() == 1) return true;
  EXPECT_NE(r.last("error").find("画像が読込めません"), std::string::npos) << name;
  return false;
}

}  // namespace

TEST(GameNames, PartsAreFoundInAnyLetterCaseInsideTheFolder) {
  GameDir dir;
  fs::create_directories(dir.path() / "Pics" / "Night");
  dir.write("Pics/Night/Sea.szg", picture());
  EXPECT_EQ(gameFile(dir.path(), U"\\pics\\NIGHT\\sea.SZG"), dir.path() / "Pics/Night/Sea.szg");
  EXPECT_EQ(gameFile(dir.path(), U"\\.\\pics/./night\\\\sea.szg"), dir.path() / "Pics/Night/Sea.szg");
  // Missing parts are kept as written (SAVE creates its file that way); a file is no folder.
  EXPECT_EQ(gameFile(dir.path(), U"\\VUNT.DAT"), dir.path() / "VUNT.DAT");
  EXPECT_EQ(gameFile(dir.path(), U"\\pics\\Day\\x.szg"), dir.path() / "Pics/Day/x.szg");
  EXPECT_EQ(gameFile(dir.path(), U"\\pics\\night\\sea.szg\\x"), dir.path() / "Pics/Night/Sea.szg/x");
  EXPECT_TRUE(shows(dir.path(), "PICS\\night\\sea"));
}

TEST(GameNames, DotDotNulDrivesAndOversizedNamesAreRefused) {
  GameDir outer;
  const fs::path game = outer.path() / "game";
  fs::create_directories(game / "sub");
  outer.write("secret.szg", picture());
  outer.write("game/pic", picture());
  outer.write("game/sub/pic.szg", picture());
  EXPECT_EQ(gameFile(game, U"\\..\\secret.szg"), fs::path());
  EXPECT_EQ(gameFile(game, U"\\sub\\..\\sub\\pic.szg"), fs::path());  // even when it stays inside
  EXPECT_EQ(gameFile(game, U"\\C:\\pic"), fs::path());
  EXPECT_EQ(gameFile(game, std::u32string(U"\\pic\0.szg", 9)), fs::path());
  EXPECT_FALSE(shows(game, "..\\secret"));
  EXPECT_FALSE(shows(game, "sub/../../secret"));
  EXPECT_FALSE(shows(game, std::string("pic\0", 4)));  // the NUL used to cut ".szg" off
  EXPECT_TRUE(shows(game, "sub\\pic"));

  // Limits: 4096 characters and 64 parts; 100,000 "..\" used to take minutes to look up.
  std::u32string deep;
  fs::path deepPath = game;
  for (int i = 0; i < 64; ++i) deep += U"\\d", deepPath /= "d";
  EXPECT_EQ(gameFile(game, deep), deepPath);
  EXPECT_EQ(gameFile(game, deep + U"\\d"), fs::path());
  std::u32string dots;
  for (int i = 0; i < 2040; ++i) dots += U".\\";
  EXPECT_EQ(gameFile(game, U"\\" + dots + U"sub\\pic.szg"), game / "sub/pic.szg");
  EXPECT_EQ(gameFile(game, U"\\" + dots + dots + U"sub\\pic.szg"), fs::path());
  std::string climb;
  for (int i = 0; i < 100000; ++i) climb += "..\\";
  EXPECT_FALSE(shows(game, climb + "secret"));
}

TEST(GameNames, LinksAreFollowedOnlyWhileTheyStayInside) {
  GameDir outer;
  const fs::path game = outer.path() / "game";
  fs::create_directories(game / "real");
  fs::create_directories(outer.path() / "elsewhere");
  outer.write("elsewhere/pic.szg", picture());
  outer.write("game/real/pic.szg", picture());
  fs::create_directory_symlink("../elsewhere", game / "out");
  fs::create_symlink(outer.path() / "elsewhere/pic.szg", game / "far.szg");
  fs::create_symlink("/dev/zero", game / "zero.szg");
  fs::create_symlink("/etc/passwd", game / "vunt-n.zad.link");
  fs::create_directory_symlink("real", game / "alias");
  fs::create_symlink("real/pic.szg", game / "near.szg");
  fs::create_symlink("loop.szg", game / "loop.szg");
  EXPECT_FALSE(shows(game, "out\\pic"));
  EXPECT_FALSE(shows(game, "far"));
  EXPECT_FALSE(shows(game, "zero"));
  EXPECT_FALSE(shows(game, "loop"));
  EXPECT_TRUE(shows(game, "alias\\pic"));
  EXPECT_TRUE(shows(game, "NEAR"));

  // A script that is a link out of the folder is a script that cannot be read.
  fs::remove(game / "vunt-n.zad");
  fs::rename(game / "vunt-n.zad.link", game / "vunt-n.zad");
  std::ostringstream out;
  HeadlessHost host({}, out);
  Vunt vunt(host, game);
  EXPECT_EQ(host.run(vunt), 1);
  EXPECT_EQ(out.str().find("root"), std::string::npos);
  EXPECT_NE(out.str().find("ファイルが読込めません"), std::string::npos);
}
