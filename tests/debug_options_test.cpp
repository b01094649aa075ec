// The authors' debugging options through the headless host: --start, --flags, --trace, the tick
// bound, and the source position of an error report when the game has a line map.
#include <gtest/gtest.h>

#include "harness.hpp"
#include "stage_builder.hpp"
#include "shell/debugger.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

Played playDebugged(const GameDir& dir, DebugOptions options, const std::string& input = "") {
  std::ostringstream out;
  HeadlessHost host(events(input), out);
  Vunt game(host, dir.path());
  Debugger debugger(std::move(options));
  game.setDebugger(&debugger);
  Played r;
  r.status = host.run(game);
  r.transcript = out.str();
  return r;
}

Played playDebugged(const std::vector<std::string>& script, DebugOptions options, const std::string& input = "") {
  GameDir dir;
  dir.script(script);
  return playDebugged(dir, std::move(options), input);
}

// The transcript without the trace's lines.
std::string untraced(const Played& r) {
  std::string out;
  for (const std::string& l : r.lines())
    if (l.rfind("line\t", 0) != 0 && l.rfind("flag\t", 0) != 0) out += l + '\n';
  return out;
}

}  // namespace

TEST(DebugOptions, FlagSettingsAreParsedStrictly) {
  std::string error;
  auto s = parseFlagSettings("F1=3,F7=-2,f030=32767", error);
  ASSERT_TRUE(s) << error;
  EXPECT_EQ(*s, (std::vector<std::pair<int, int>>{{1, 3}, {7, -2}, {30, 32767}}));
  for (const char* bad : {"", "F1", "1=3", "F=3", "F1=", "F1=3,", "F31=0", "F-1=0", "F1=32768", "F1=x", "F1=3;F2=4"}) {
    error.clear();
    EXPECT_FALSE(parseFlagSettings(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(DebugOptions, StartLinesAreNumbersOrLabelsOfTheLineMap) {
  std::string error;
  EXPECT_EQ(resolveStartLine("12", nullptr, error), 12);
  EXPECT_FALSE(resolveStartLine("0", nullptr, error));
  EXPECT_FALSE(resolveStartLine("1001", nullptr, error));
  EXPECT_FALSE(resolveStartLine("title", nullptr, error));
  EXPECT_NE(error.find("vunt-n.map"), std::string::npos) << error;
  LineMap map;
  map.labels["title"] = 7;
  EXPECT_EQ(resolveStartLine("title", &map, error), 7);
  EXPECT_EQ(resolveStartLine(":title", &map, error), 7);
  EXPECT_FALSE(resolveStartLine("titel", &map, error));
}

TEST(DebugOptions, StartAndFlagsApplyBeforeTheFirstLine) {
  DebugOptions o;
  o.startLine = 3;
  o.flags = {{5, 2}, {6, -4}};
  // Line 1 would clear flag 5; the run starts at 3 and branches on the flags it was given.
  Played r = playDebugged({"LET,5,0", "EOF", "IF,F05=02,6", "IF,F06<00,6", "LET,7,1", "EOF"}, o);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("flags").substr(0, 24), "0 0 0 0 0 2 -4 1 0 0 0 0");
}

TEST(DebugOptions, TraceNamesEveryLineAndFlagChangeAndNothingElseChanges) {
  const std::vector<std::string> script = {
      "LET,1,5",                      // 1
      "CMST,1,＊はい＊いいえ",         // 2
      "CMSL,1,7",                     // 3
      "CASE,100", "LET,2,1",          // 4-5
      "CASE,101",                     // 6
      "ENDCM",                        // 7
      "LET,1,5",                      // 8: no change, no flag line
      "MES,あ￥", "EOF"};               // 9-10
  DebugOptions o;
  o.trace = true;
  Played traced = playDebugged(script, o, "label 0\nclick\n");
  Played plain = playScript(script, "label 0\nclick\n");
  EXPECT_EQ(untraced(traced), plain.transcript);
  std::vector<std::string> trace;
  for (const std::string& l : traced.lines())
    if (l.rfind("line\t", 0) == 0 || l.rfind("flag\t", 0) == 0) trace.push_back(l);
  EXPECT_EQ(trace, (std::vector<std::string>{"line\t1", "flag\t1\t0\t5", "line\t2", "line\t3", "line\t5",
                                             "flag\t2\t0\t1", "line\t6", "line\t7", "line\t8", "line\t9",
                                             "line\t10"}));
  // The line comes before what it shows: the page of line 9 follows "line 9".
  auto lines = traced.lines();
  auto at = [&](const std::string& s) { return std::find(lines.begin(), lines.end(), s) - lines.begin(); };
  EXPECT_LT(at("line\t9"), at("page\tあ"));
}

TEST(DebugOptions, TraceReportsFlagsThePuzzleChangesBetweenTicks) {
  GameDir dir;
  dir.write("vunt.pdt", stageFile({{"a1"}}));  // one move left clears it
  dir.script({"LET,20,3", "BEED,1,1", "EOF"});
  DebugOptions o;
  o.trace = true;
  Played r = playDebugged(dir, o, "left\nspace\n");
  EXPECT_NE(r.transcript.find("line\t2\n"), std::string::npos) << r.transcript;
  EXPECT_NE(r.transcript.find("flag\t21\t0\t1\nline\t3\n"), std::string::npos) << r.transcript;
}

TEST(DebugOptions, TheDebuggersTickBoundEndsTheRunWithStatusFour) {
  DebugOptions o;
  o.maxTicks = 50;
  Played r = playDebugged({"DO", "LOOP,1"}, o);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.last("end"), "max-ticks");
}

TEST(LineMapInErrors, TheErrorLineGainsTheSourcePositionOnlyWithAMatchingMap) {
  GameDir dir;
  dir.script({"LET,1,1", "BOGUS"});
  const std::string zad = readWholeFile(dir.path() / "vunt-n.zad").value();
  LineMap map;
  map.scriptHash = scriptHash(zad);
  map.lines = {{"story.txt", 4}, {"story.txt", 9}};
  dir.write("vunt-n.map", formatLineMap(map));
  Played r = play(dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\t命令無し( 2)\\rBOGUS\tstory.txt:9");
  // A map of another script is not used: the report is exactly as without one.
  map.scriptHash ^= 1;
  dir.write("vunt-n.map", formatLineMap(map));
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\t命令無し( 2)\\rBOGUS");
  // Nor is a broken one.
  dir.write("vunt-n.map", "vunt-map\t1\tzz\n");
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\t命令無し( 2)\\rBOGUS");
}

TEST(LineMapFormat, RoundTripsAndRefusesWhatItIsNot) {
  LineMap map;
  map.scriptHash = 0x0123456789abcdefull;
  map.lines = {{"story.txt", 3}, {"sub dir/with\ttab.txt", 1}};
  map.labels = {{"title", 1}, {"end", 2}};
  std::string error;
  auto back = parseLineMap(formatLineMap(map), error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(*back, map);
  for (const char* bad : {"", "nope\n", "vunt-map\t2\t0\n", "vunt-map\t1\t0\n2\t1\tx\n", "vunt-map\t1\t0\n1\t0\tx\n",
                          "vunt-map\t1\t0\n1\t1\t\n", "vunt-map\t1\t0\n:\t1\n", "vunt-map\t1\t0\n:a\t0\n"}) {
    error.clear();
    EXPECT_FALSE(parseLineMap(bad, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}
