// Bounds on the work hostile game folders and sources can cause, and the places where their text
// or their links could reach further than they should: name lookups, the line map, includes,
// findings, --start, the terminal, and the record file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>

#include "authoring/assembler.hpp"
#include "authoring/include_path.hpp"
#include "aids/settings.hpp"
#include "authoring/map_sources.hpp"
#include "harness.hpp"
#include "platform/folder_listings.hpp"
#include "platform/game_files.hpp"
#include "shell/input_record.hpp"
#include "platform/terminal_text.hpp"
#include "script/line_map.hpp"
#include "shell/debugger.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

// Makes the folder's time stamps an hour old, as a game folder's are long before it is played.
void settle(const fs::path& dir) { fs::last_write_time(dir, fs::file_time_type::clock::now() - std::chrono::hours(1)); }

std::u32string repeated(std::u32string_view part, int times, std::u32string_view last) {
  std::u32string name;
  for (int i = 0; i < times; ++i) name += std::u32string(part) + U"\\";
  return name + std::u32string(last);
}

}  // namespace

TEST(NameLookupBounds, AFolderIsListedOnceForAllPartsAndNamesUntilItChanges) {
  GameDir game;
  for (int i = 0; i < 500; ++i) game.write("f" + std::to_string(i) + ".szg", "");
  game.write("Pic.szg", "x");
  fs::create_directory_symlink(".", game.path() / "d");
  settle(game.path());
  // Sixty-two parts in the wrong case through a link back to the folder, and many such names:
  // the folder's listing is read once.
  const std::size_t before = listingsRead();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(gameFile(game.path(), repeated(U"D", 15, U"PIC.SZG")).empty());
  EXPECT_EQ(listingsRead() - before, 1u);
  // A file added later is found: the changed folder is listed again.
  game.write("New.szg", "y");
  EXPECT_EQ(gameFile(game.path(), U"NEW.SZG").filename(), "New.szg");
}

TEST(NameLookupBounds, OnlySoManyLinksAreFollowedInOneName) {
  GameDir game;
  game.write("pic.szg", "x");
  fs::create_directory_symlink(".", game.path() / "d");
  EXPECT_FALSE(gameFile(game.path(), repeated(U"d", int(kMaxGameNameLinks), U"pic.szg")).empty());
  EXPECT_TRUE(gameFile(game.path(), repeated(U"d", int(kMaxGameNameLinks) + 1, U"pic.szg")).empty());
}

TEST(LineMapFile, IsReadOnlyInsideTheGameFolder) {
  GameDir outer;
  const fs::path game = outer.path() / "game";
  fs::create_directories(game);
  const std::string script = "EOF\r\n";
  LineMap map;
  map.scriptHash = scriptHash(script);
  map.lines = {{"story.txt", 3}};
  outer.write("vunt-n.map", formatLineMap(map));
  fs::create_symlink("../vunt-n.map", game / "vunt-n.map");
  std::string error;
  EXPECT_FALSE(readLineMap(game, script, error));
  EXPECT_NE(error.find("out of the game folder"), std::string::npos) << error;
  fs::remove(game / "vunt-n.map");
  fs::copy_file(outer.path() / "vunt-n.map", game / "vunt-n.map");
  EXPECT_EQ(readLineMap(game, script, error), map) << error;
}

TEST(LineMapFile, ItsSourcesAreQuotedFromInsideTheFolderEachFileOnce) {
  GameDir outer;
  const fs::path game = outer.path() / "game";
  fs::create_directories(game / "src");
  outer.write("secret.txt", "secret\n");
  outer.write("game/src/story.txt", "one\r\ntwo\rthree\nfour");
  fs::create_symlink("../../secret.txt", game / "src/link.txt");
  MapSources sources(game);
  EXPECT_EQ(sources.line("src/story.txt", 1), U"one");
  EXPECT_EQ(sources.line("./src/../src/story.txt", 2), U"");  // ".." is refused like any game name
  EXPECT_EQ(sources.line("SRC/./STORY.TXT", 3), U"three");
  EXPECT_EQ(sources.line("src//story.txt", 4), U"four");
  EXPECT_EQ(sources.line("src/story.txt", 5), U"");
  EXPECT_EQ(sources.filesRead(), 1u);
  EXPECT_EQ(sources.line("../secret.txt", 1), U"");
  EXPECT_EQ(sources.line((outer.path() / "secret.txt").string(), 1), U"");
  EXPECT_EQ(sources.line("src/link.txt", 1), U"");
  EXPECT_EQ(sources.filesRead(), 1u);
}

TEST(StartOption, ALabelOutsideTheScriptIsRefused) {
  LineMap map;
  map.labels = {{"far", 99999}, {"zero", 0}, {"last", 1000}};
  std::string error;
  EXPECT_FALSE(resolveStartLine("far", &map, error));
  EXPECT_NE(error.find("outside the script"), std::string::npos) << error;
  EXPECT_FALSE(resolveStartLine("zero", &map, error));
  EXPECT_EQ(resolveStartLine("last", &map, error), 1000);
}

TEST(IncludePaths, StayInTheSourcesFolderLexicallyAndThroughLinks) {
  EXPECT_EQ(includeOutsideRoot("game", "game/parts/a.txt"), "");
  EXPECT_EQ(includeOutsideRoot("game", "game/parts/../a.txt"), "");
  EXPECT_EQ(includeOutsideRoot("", "a.txt"), "");
  EXPECT_NE(includeOutsideRoot("game", "game/../x.txt"), "");
  EXPECT_NE(includeOutsideRoot("", "../x.txt"), "");
  EXPECT_NE(includeOutsideRoot("game", "/proc/self/environ"), "");
  EXPECT_NE(includeOutsideRoot("/home/a/game", "/home/a/other/x.txt"), "");
  GameDir dir;
  fs::create_directories(dir.path() / "src");
  fs::create_directory_symlink("..", dir.path() / "src/up");
  fs::create_directory_symlink(".", dir.path() / "src/here");
  EXPECT_NE(includeOutsideRoot(dir.path() / "src", dir.path() / "src/up/x.txt"), "");
  EXPECT_EQ(includeOutsideRoot(dir.path() / "src", dir.path() / "src/here/x.txt"), "");
}

TEST(AssemblerBounds, IncludesOutsideTheFolderAreNotRead) {
  std::vector<std::string> asked;
  const SourceReader read = [&](const fs::path& p) -> std::optional<std::string> {
    asked.push_back(p.generic_string());
    if (p.generic_string() == "game/main.txt") return ":include ../secret.txt\n:include /etc/passwd\nEOF\n";
    return "SECRET\n";
  };
  Assembly a = assemble("game/main.txt", false, read);
  EXPECT_EQ(asked, std::vector<std::string>{"game/main.txt"});
  ASSERT_EQ(a.findings.size(), 2u);
  EXPECT_NE(a.findings[0].message.find("outside the source's folder"), std::string::npos) << a.findings[0].message;
  asked.clear();
  a = assemble("game/main.txt", false, read, true);
  EXPECT_EQ(asked.size(), 3u);
}

TEST(AssemblerBounds, LongLinesIncludesAndFindingsAreCapped) {
  std::map<std::string, std::string> files;
  const SourceReader read = [&](const fs::path& p) -> std::optional<std::string> {
    auto it = files.find(p.generic_string());
    return it == files.end() ? std::nullopt : std::optional(it->second);
  };
  // A line of a million characters is cut at the bound, with one error.
  files["main.txt"] = "MES," + std::string(1 << 20, 'a') + "\nEOF\n";
  Assembly a = assemble("main.txt", false, read);
  ASSERT_EQ(a.findings.size(), 1u);
  EXPECT_NE(a.findings[0].message.find("longer than"), std::string::npos);
  EXPECT_EQ(a.findings[0].column, int(kMaxSourceLineChars) + 1);
  EXPECT_LE(a.lines[0].size(), kMaxSourceLineChars);
  // A file that includes itself twice through another: each read counts.
  files["main.txt"] = ":include a.txt\n:include a.txt\n";
  files["a.txt"] = ":include b.txt\n:include b.txt\n";
  files["b.txt"] = "DO\n";
  a = assemble("main.txt", false, read);
  EXPECT_TRUE(a.ok());
  EXPECT_EQ(a.lines.size(), 4u);
  std::string fan;
  for (int i = 0; i < kMaxIncludes + 5; ++i) fan += ":include b.txt\n";
  files["main.txt"] = fan;
  a = assemble("main.txt", false, read);
  ASSERT_EQ(a.findings.size(), 1u);
  EXPECT_EQ(a.lines.size(), std::size_t(kMaxIncludes));
  EXPECT_NE(a.findings[0].message.find("includes in all"), std::string::npos);
  // Faults beyond the bound are counted, not kept; the script is not ok.
  std::string faults;
  for (int i = 0; i < 400; ++i) {
    const std::string label = ":x" + std::to_string(i) + "\n";
    faults += "FOO\n" + label + label + label + label + "DO\n";  // an unknown command, a label thrice again
  }
  files["main.txt"] = faults;
  a = assemble("main.txt", false, read);
  EXPECT_EQ(a.findings.size(), kMaxAssemblyFindings);
  EXPECT_EQ(a.errorsLeftOut + a.findings.size(), 400u * 4);
  EXPECT_FALSE(a.ok());
}

TEST(TerminalText, ControlsAndEscapesAreShownEscaped) {
  EXPECT_EQ(terminalText("FOO\x1b]0;x\x07 ok"), "FOO\\x1B]0;x\\x07 ok");
  EXPECT_EQ(terminalText("a\nb\r"), "a\\x0Ab\\x0D");
  EXPECT_EQ(terminalText("a\nb", true), "a\nb");
  EXPECT_EQ(terminalText("命令無し\xc2\x9b" "2J\xe2\x80\xae"), "命令無し\\u{009B}2J\\u{202E}");
  EXPECT_EQ(terminalText("\xff\x82\xa0"), "\\xFF\\x82\\xA0");
  Finding f{Finding::Error, "g\x1b.txt", 1, 1, 1, "unknown command \x1b[2J", "hint \x1b"};
  EXPECT_EQ(formatFinding(f, U"\x1b[2J").find('\x1b'), std::string::npos);
}

TEST(RecordFile, AWriteThatFailsIsKnown) {
  // A stream whose writes fail, as a file on a full disk does.
  struct Full : std::streambuf {
    int overflow(int) override { return traits_type::eof(); }
  } full;
  std::ostream out(&full);
  InputRecorder recorder(out);
  EXPECT_FALSE(recorder.failed());
  recorder.keyDown(13);
  recorder.close();
  EXPECT_TRUE(recorder.failed());
}

TEST(SettingsFile, AFileOfModeZeroIsReplacedByOneThatLoadsAgain) {
  GameDir dir;
  const fs::path file = dir.path() / "settings.ini";
  dir.write("settings.ini", "volume = 50\n");
  fs::permissions(file, fs::perms::none);
  Settings s;
  s.volume = 70;
  std::string error;
  ASSERT_TRUE(saveSettings(file, s, error)) << error;
  const fs::perms p = fs::status(file).permissions();
  EXPECT_EQ(p & fs::perms::owner_all, fs::perms::owner_read | fs::perms::owner_write);
  std::vector<std::string> warnings;
  EXPECT_EQ(loadSettings(file, warnings).volume, 70);
}
