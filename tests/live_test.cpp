// Playing on in a changed script (F6, --watch), breaks and the console, and --start with a state:
// through the headless host, with the real assembler.
#include <gtest/gtest.h>

#include "authoring/reassemble.hpp"
#include "harness.hpp"
#include "shell/debugger.hpp"
#include "shell/reload.hpp"
#include "shell/warp.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// A game folder whose script is assembled from the source s.txt, as vunt-asm would.
struct SourceGame {
  GameDir dir;
  std::filesystem::path source = dir.path() / "s.txt";
  explicit SourceGame(const std::string& text) {
    dir.write("s.txt", text);
    std::vector<std::string> errors;
    auto a = assembleForReload(source, dir.path(), false, errors);
    EXPECT_TRUE(a) << (errors.empty() ? "" : errors.front());
    if (!a) return;
    dir.write("vunt-n.zad", a->bytes);
    dir.write("vunt-n.map", formatLineMap(a->map));
  }
};

struct LiveRun {
  Played played;
  std::vector<std::string> reloadErrors;
};

LiveRun playLive(const GameDir& dir, const std::string& input, DebugOptions* options = nullptr) {
  std::ostringstream out;
  HeadlessHost host(events(input), out);
  Vunt game(host, dir.path());
  game.setAssembler(assembleForReload);
  std::optional<Debugger> debugger;
  if (options) game.setDebugger(&debugger.emplace(*options));
  LiveRun r;
  r.played.status = host.run(game);
  r.played.transcript = out.str();
  r.reloadErrors = game.reloadErrors();
  return r;
}

const char* kFirst =
    "MES,＆0ナギサ\n"
    ":top\n"
    "LET,1,7\n"
    "MES,：0はじめ￥\n"
    ":second\n"
    "MES,：0二つめ￥\n"
    "EXIT\n";

}  // namespace

TEST(CarryLine, SameSourceLineElseTheNearestLabelAboveElseTheSameNumber) {
  LineMap from, to;
  from.lines = {{"s.txt", 1}, {"s.txt", 3}, {"s.txt", 4}, {"s.txt", 6}};
  from.labels = {{"top", 2}, {"second", 4}};
  // Two lines written above; line 4 of the source is gone, line 6 moved to 8.
  to.lines = {{"s.txt", 1}, {"s.txt", 2}, {"s.txt", 3}, {"s.txt", 5}, {"s.txt", 8}};
  to.labels = {{"top", 3}, {"second", 5}};
  EXPECT_EQ(carryLine(1, from, to), 1);
  EXPECT_EQ(carryLine(2, from, to), 3);
  EXPECT_EQ(carryLine(4, from, to), 5);
  EXPECT_EQ(carryLine(3, from, to), 3);  // s.txt:4 is gone: the label top, now line 3
  EXPECT_EQ(carryLine(0, from, to), 0);  // no GOSUB yet: stays 0
  EXPECT_EQ(carryLine(9, from, to), 9);  // past the end of the old script
  to.labels.clear();
  EXPECT_EQ(carryLine(3, from, to), 3);  // no label to go by: the same number
}

TEST(Reload, PlaysOnInTheNewScriptWithTheGamesStateAtTheSameSourceLine) {
  SourceGame g(kFirst);
  // The author edits while the first page waits: a line above that must not run again, and new
  // words on both pages.
  g.dir.write("s.txt",
              "MES,＆0ナギサ\n"
              "LET,2,5\n"
              ":top\n"
              "LET,1,7\n"
              "MES,：0はじめ（新）￥\n"
              ":second\n"
              "MES,：0二つめ（新）￥\n"
              "EXIT\n");
  LiveRun r = playLive(g.dir, "f6\nclick\nclick\n");
  EXPECT_EQ(r.played.status, 0) << r.played.transcript;
  EXPECT_TRUE(r.reloadErrors.empty());
  // The page on screen was shown before the reload; after it the new words, with the speaker
  // name the old script set and flag 1 kept; line 2 of the new script never ran.
  EXPECT_EQ(r.played.of("page"), (std::vector<std::string>{"「ナギサ」はじめ", "「ナギサ」二つめ（新）"}));
  EXPECT_EQ(r.played.last("flags").substr(0, 7), "0 7 0 0");
  // The folder holds the script it plays, with its map; no save file was written.
  std::string error;
  auto map = readLineMap(g.dir.path(), readWholeFile(g.dir.path() / "vunt-n.zad").value(), error);
  ASSERT_TRUE(map) << error;
  EXPECT_EQ(map->labels.at("second"), 5);
  EXPECT_FALSE(std::filesystem::exists(g.dir.path() / "VUNT.DAT"));
}

TEST(Reload, LinesThatRanBeforeRunInTheirNewWording) {
  // A loop: its lines ran (and were decoded) before the reload and run again after it.
  SourceGame g(":top\nINC,1,3\nMES,一回め￥\nIF,F01=03,{top}\nEXIT\n");
  g.dir.write("s.txt", ":top\nINC,1,3\nMES,二回め￥\nIF,F01=03,{top}\nEXIT\n");
  LiveRun r = playLive(g.dir, "f6\nclick\nclick\nclick\n");
  EXPECT_EQ(r.played.status, 0) << r.played.transcript;
  std::vector<std::string> pages = r.played.of("page");
  ASSERT_EQ(pages.size(), 3u) << r.played.transcript;
  EXPECT_NE(pages[0].find("一回め"), std::string::npos);
  EXPECT_NE(pages[1].find("二回め"), std::string::npos) << r.played.transcript;
  EXPECT_NE(pages[2].find("二回め"), std::string::npos);
}

TEST(Reload, ASourceWithErrorsLeavesTheOldScriptPlayingAndNamesFileAndLine) {
  SourceGame g(kFirst);
  g.dir.write("s.txt", "MES,＆0ナギサ\nGOTO,{nowhere}\nEXIT\n");
  const std::string before = readWholeFile(g.dir.path() / "vunt-n.zad").value();
  LiveRun r = playLive(g.dir, "f6\nclick\nclick\n");
  EXPECT_EQ(r.played.status, 0);
  EXPECT_EQ(r.played.of("page"), (std::vector<std::string>{"「ナギサ」はじめ", "「ナギサ」二つめ"}));
  ASSERT_FALSE(r.reloadErrors.empty());
  EXPECT_EQ(r.reloadErrors.front().rfind("s.txt:2:", 0), 0u) << r.reloadErrors.front();
  EXPECT_EQ(readWholeFile(g.dir.path() / "vunt-n.zad").value(), before);
}

TEST(Reload, WithoutALineMapReadsTheScriptAgainAndWaitsAtTheSameMenu) {
  GameDir dir;
  dir.script({"CMST,1,＊はい＊いいえ", "CMSL,1,6", "CASE,100", "MES,はい￥", "CASE,101", "ENDCM", "EOF"});
  // The menu waits when F6 comes: after the reload it waits again (not shown twice), and answers.
  LiveRun r = playLive(dir, "f6\nlabel 0\nclick\n");
  EXPECT_EQ(r.played.status, 0) << r.played.transcript;
  EXPECT_EQ(r.played.of("menu").size(), 1u);
  EXPECT_EQ(r.played.of("page"), (std::vector<std::string>{"　　　　　はい"}));
}

TEST(Breaks, HeadlessRunsStopBeforeTheLineAndNameWhereAndWhy) {
  SourceGame g(kFirst);
  DebugOptions o;
  std::string error;
  const LineMap map = readLineMap(g.dir.path(), readWholeFile(g.dir.path() / "vunt-n.zad").value(), error).value();
  o.breaks = {parseBreakpoint("second", &map, 6, error).value()};
  LiveRun r = playLive(g.dir, "click\nclick\n", &o);
  EXPECT_EQ(r.played.status, kBreakStatus);
  EXPECT_EQ(r.played.last("break"), "4\ts.txt:6\tbreak second");
  EXPECT_EQ(r.played.last("end"), "break");
  // A flag's change stops before the next line, naming the line that changed it.
  o.breaks = {parseBreakpoint("F1", &map, 6, error).value()};
  r = playLive(g.dir, "click\nclick\n", &o);
  EXPECT_EQ(r.played.last("break"), "3\ts.txt:4\tF1 0 -> 7 (line 2)");
  EXPECT_TRUE(r.played.of("page").empty());
  // A break the run never reaches changes nothing in the transcript.
  o.breaks = {parseBreakpoint("F9", &map, 6, error).value()};
  EXPECT_EQ(playLive(g.dir, "click\nclick\n", &o).played.transcript, play(g.dir, "click\nclick\n").transcript);
}

TEST(Breaks, NamesAreCheckedLikeStartLines) {
  LineMap map;
  map.labels = {{"top", 2}, {"far", 2147483647}, {"past", 9}};
  std::string error;
  EXPECT_FALSE(parseBreakpoint("F31", &map, 8, error));
  EXPECT_FALSE(parseBreakpoint("9", &map, 8, error));
  EXPECT_FALSE(parseBreakpoint("past", &map, 8, error));
  EXPECT_FALSE(parseBreakpoint("far", &map, 8, error));
  EXPECT_NE(error.find("outside the script (1 to 8)"), std::string::npos) << error;
  EXPECT_FALSE(parseBreakpoint("nowhere", &map, 8, error));
  EXPECT_EQ(parseBreakpoint(":top", &map, 8, error)->line, 2);
  EXPECT_EQ(parseBreakpoint("f07", &map, 8, error)->flag, 7);
}

TEST(Console, SetsFlagsJumpsAndBreaksAndSaysWhatItCannotDo) {
  SourceGame g(kFirst);
  std::ostringstream out;
  HeadlessHost host(events(""), out);
  Vunt game(host, g.dir.path());
  Debugger debugger({});
  game.setDebugger(&debugger);
  game.start();
  EXPECT_EQ(runConsoleCommand(game, "F3=2"), "F3 = 2");
  EXPECT_EQ(runConsoleCommand(game, "set f4 -1"), "F4 = -1");
  EXPECT_EQ(game.script.Flags[3], 2);
  EXPECT_EQ(game.script.Flags[4], -1);
  EXPECT_NE(runConsoleCommand(game, "F31=1").find("does not exist"), std::string::npos);
  EXPECT_EQ(runConsoleCommand(game, "b second"), "break before line 4 (s.txt:6)");
  EXPECT_EQ(runConsoleCommand(game, "b F3"), "break when F3 changes");
  EXPECT_EQ(runConsoleCommand(game, "b"), "breaks: second F3");
  EXPECT_EQ(runConsoleCommand(game, "j top"), "at line 2 (s.txt:3)");
  EXPECT_EQ(game.script.reg.CurLine, 2);
  EXPECT_NE(runConsoleCommand(game, "j 6").find("outside the script (1 to 5)"), std::string::npos);
  EXPECT_EQ(runConsoleCommand(game, "d"), "no breaks");
  EXPECT_TRUE(debugger.breaks().empty());
  EXPECT_EQ(runConsoleCommand(game, "p"), "paused before line 2 (s.txt:3)");
  EXPECT_TRUE(debugger.paused());
  EXPECT_EQ(runConsoleCommand(game, "s"), "step");
  EXPECT_FALSE(debugger.paused());
  runConsoleCommand(game, "p");
  EXPECT_EQ(runConsoleCommand(game, "j second"), "at line 4 (s.txt:6)");
  EXPECT_FALSE(debugger.paused());  // a jump plays on
  EXPECT_NE(runConsoleCommand(game, "frobnicate").find("unknown command"), std::string::npos);
}

TEST(Warp, ARecordedPlayArrivesWithTheStateTheLinesAboveMade) {
  SourceGame g(kFirst);
  std::string error;
  // Played until line 4 (the label second) is about to run: the speaker name and flag 1 are set.
  std::optional<std::string> snapshot = playUntilLine(g.dir.path(), "# recorded\nclick\n", 4, error);
  ASSERT_TRUE(snapshot) << error;
  std::ostringstream out;
  HeadlessHost host(events("click\n"), out);
  Vunt game(host, g.dir.path());
  ASSERT_TRUE(game.resumeFrom(*snapshot, error)) << error;
  EXPECT_EQ(host.run(game), 0);
  EXPECT_NE(out.str().find("page\t「ナギサ」二つめ\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("flags\t0 7 0"), std::string::npos) << out.str();
  // A record that ends before the line is reached says so.
  EXPECT_FALSE(playUntilLine(g.dir.path(), "", 4, error));
  EXPECT_NE(error.find("input-exhausted"), std::string::npos) << error;
  EXPECT_NE(error.find("before line 4"), std::string::npos) << error;
  // The kinds of state file, told by their content.
  EXPECT_EQ(stateSourceOf(*snapshot), StateSource::Snapshot);
  EXPECT_EQ(stateSourceOf("click\n"), StateSource::Record);
  std::string save;
  for (int i = 0; i < 31; ++i) save += " 0\r\n";
  EXPECT_EQ(stateSourceOf(save), StateSource::SaveFile);
}

TEST(Warp, ASnapshotGivesItsStateToAnotherLineOfAnEditedScript) {
  SourceGame g(kFirst);
  std::string error;
  std::optional<std::string> snapshot = playUntilLine(g.dir.path(), "click\n", 4, error);
  ASSERT_TRUE(snapshot) << error;
  // The script changes after the snapshot was taken: resuming refuses, arriving at a line does not.
  SourceGame edited(std::string(kFirst) + "MES,：0三つめ￥\n");
  std::ostringstream out;
  HeadlessHost host(events("click\n"), out);
  Vunt game(host, edited.dir.path());
  EXPECT_FALSE(game.resumeFrom(*snapshot, error));
  ASSERT_TRUE(game.arriveWith(*snapshot, 4, error)) << error;
  host.run(game);
  EXPECT_NE(out.str().find("page\t「ナギサ」二つめ\n"), std::string::npos) << out.str();
}
