// Saves of a game whose folder cannot be written go under $XDG_DATA_HOME; a save beside the game
// keeps its place while the folder can be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/save_location.hpp"
#include "session.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

// Points XDG_DATA_HOME at a folder of the test for its lifetime.
class DataHome {
 public:
  DataHome() {
    if (const char* v = std::getenv("XDG_DATA_HOME")) old_ = v;
    setenv("XDG_DATA_HOME", dir_.path().c_str(), 1);
  }
  ~DataHome() {
    if (old_) setenv("XDG_DATA_HOME", old_->c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }
  fs::path saveFor(const GameDir& game) const { return dir_.path() / "vunt" / saveFolderName(game.path()) / "VUNT.DAT"; }

 private:
  GameDir dir_;
  std::optional<std::string> old_;
};

const std::vector<std::string> kSaveThenLoad = {"LET,1,5", "LET,2,-3", "SAVE", "LET,1,0", "LET,2,0", "LOAD", "EOF"};

Played playReadOnly(const GameDir& dir, const std::vector<std::string>& script) {
  dir.script(script);
  Session s(dir);
  s.game.saveFolderWritable = [](const fs::path&) { return false; };
  return s.run();
}

TEST(SaveLocation, FolderNameCarriesTheGamesNameAndAHashOfItsPath) {
  const std::string a = saveFolderName("/usr/share/vunt/game");
  EXPECT_EQ(a.substr(0, 5), "game-");
  EXPECT_EQ(a.size(), 13u);
  EXPECT_EQ(a, saveFolderName("/usr/share/vunt/game/"));
  EXPECT_EQ(a, saveFolderName("/usr/share/vunt/./game"));
  EXPECT_NE(a, saveFolderName("/opt/vunt/game"));
  EXPECT_EQ(saveFolderName("/").substr(0, 5), "game-");
}

TEST(SaveLocation, ReadOnlyGameSavesUnderXdgDataHome) {
  DataHome home;
  GameDir dir;
  Played r = playReadOnly(dir, kSaveThenLoad);
  EXPECT_EQ(r.last("flags").substr(0, 10), "0 5 -3 0 0") << r.transcript;
  EXPECT_EQ(r.of("error").size(), 0u) << r.transcript;
  EXPECT_TRUE(fs::exists(home.saveFor(dir)));
  EXPECT_FALSE(fs::exists(dir.path() / "VUNT.DAT"));
  // A later run of the same game finds it.
  Played again = playReadOnly(dir, {"LOAD", "EOF"});
  EXPECT_EQ(again.last("flags").substr(0, 10), "0 5 -3 0 0");
}

TEST(SaveLocation, SaveBesideTheGameKeepsPriority) {
  DataHome home;
  GameDir dir;
  std::string save = " 0\r\n 4\r\n";
  for (int i = 2; i < 31; ++i) save += " 0\r\n";
  dir.write("vunt.dat", save);  // any letter case, as every game file
  // A writable folder: the save beside the game is read and written, nothing goes elsewhere.
  dir.script({"LOAD", "LET,2,8", "SAVE", "EOF"});
  Played r = play(dir);
  EXPECT_EQ(r.last("flags").substr(0, 8), "0 4 8 0 ") << r.transcript;
  EXPECT_FALSE(fs::exists(home.saveFor(dir)));
  EXPECT_NE(readWholeFile(dir.path() / "vunt.dat").value_or("").find(" 8\r\n"), std::string::npos);
  // Read-only with no save of its own elsewhere yet: LOAD still reads the one beside the game.
  Played ro = playReadOnly(dir, {"LOAD", "EOF"});
  EXPECT_EQ(ro.last("flags").substr(0, 8), "0 4 8 0 ");
}

TEST(SaveLocation, NoFolderForSavesIsToldAndChangesNothing) {
  const char* oldHome = std::getenv("HOME");
  const std::string home = oldHome ? oldHome : "";
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string data = oldData ? oldData : "";
  unsetenv("HOME");
  unsetenv("XDG_DATA_HOME");
  GameDir dir;
  Played r = playReadOnly(dir, {"LET,1,5", "SAVE", "EOF"});
  if (oldHome) setenv("HOME", home.c_str(), 1);
  if (oldData) setenv("XDG_DATA_HOME", data.c_str(), 1);
  ASSERT_EQ(r.of("error").size(), 1u) << r.transcript;
  EXPECT_NE(r.last("error").find("HOME"), std::string::npos);
  EXPECT_EQ(r.status, 0);
}

// The real check on a folder without write permission. The superuser writes anywhere, so there
// the permission bits prove nothing and the test says so instead.
TEST(SaveLocation, RealReadOnlyFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop writes; the injected check above covers it";
  DataHome home;
  GameDir dir;
  dir.script(kSaveThenLoad);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  EXPECT_FALSE(folderWritable(dir.path()));
  Played r = play(dir);
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(r.last("flags").substr(0, 10), "0 5 -3 0 0") << r.transcript;
  EXPECT_TRUE(fs::exists(home.saveFor(dir)));
}

}  // namespace
