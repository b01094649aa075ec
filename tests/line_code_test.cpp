// Lines are decoded once, the first time they run, and then run from what was decoded: these
// tests run lines again and again under changing flags, where a decoding kept too much (a flag's
// value, a verdict on a field or a condition) would show.
#include <gtest/gtest.h>

#include "quiet_output.hpp"
#include "script/line_code.hpp"
#include "script_checks.hpp"

using namespace vunt;
using namespace vunt::test;

TEST(DecodedLines, FlagsAreReadEachTimeTheLineRuns) {
  // Line 2 writes the flag F05 names with F05's value; line 4 loops while F05 < 5.
  Played r = playScript({"LET,5,2", "LET,F05,F05", "INC,5,9", "IF,F05}05,2", "EOF"});
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[2], 2);
  EXPECT_EQ(f[3], 3);
  EXPECT_EQ(f[4], 4);
  EXPECT_EQ(f[5], 5);
}

TEST(DecodedLines, FaultsMeetTheLineWhenARunReachesThem) {
  // The IF holds on the first pass and never reads its missing line; on the second it does.
  EXPECT_EQ(playScript({"INC,1,9", "IF,F01=01", "GOTO,1"}).last("error"), report("引数無し", 2, "IF,F01=01"));
  // A flag index taken from a flag is checked at every run: F01 reaches 31 on the last pass.
  EXPECT_EQ(playScript({"LET,1,28", "INC,1,40", "LET,F01,1", "GOTO,2"}).last("error"),
            report("フラグ範囲外", 3, "LET,F01,1"));
  // A line that never runs reports nothing, however broken.
  Played skipped = playScript({"GOTO,3", "IF,F99 = 01,x", "EOF"});
  EXPECT_EQ(skipped.status, 0);
  EXPECT_EQ(skipped.last("error"), "(none)");
  // A fault after a good comparison of the condition is still the line's fault.
  EXPECT_EQ(playScript({"INC,1,2", "EVA,F01=01&F31=01,1", "EOF"}).last("error"),
            report("フラグ範囲外", 2, "EVA,F01=01&F31=01,1"));
}

TEST(DecodedLines, MenuSearchFpAndFjReadOtherLinesAsTheyStand) {
  // CASE values written as flags are read during the search; FP prints and FJ jumps through data
  // lines decoded on the way.
  Played r = playScript({"LET,3,1", "CMST,0,＊はい＊いいえ", "CMSL,0,7", "CASE,F02", "LET,10,1", "CASE,F03",
                         "LET,11,1", "ENDCM", "LET,4,1", "FP,4,12", "あいう", "LET,5,2", "FJ,5,15", "14", "16",
                         "LET,12,1", "EOF"},
                        "label 1\n");
  EXPECT_EQ(r.status, 0) << r.transcript;
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[10], 0);
  EXPECT_EQ(f[11], 1);
  EXPECT_EQ(f[12], 1);
}

TEST(DecodedLines, LoadingTheScriptAgainDecodesItAfresh) {
  auto state = std::make_unique<ScriptState>();
  QuietOutput out(*state);
  Machine m(*state, out);
  out.gameFile = "LET,1,5\r\nEOF\r\n";
  m.ACMLOAD(U"vunt-n.zad");
  m.tick();
  EXPECT_EQ(state->Flags[1], 5);
  out.gameFile = "LET,1,7\r\nEOF\r\n";
  m.ACMLOAD(U"vunt-n.zad");
  m.tick();
  EXPECT_EQ(state->Flags[1], 7);
}

TEST(DecodedLines, ACompiledComparisonHoldsWhereItsOperatorDoes) {
  const int values[] = {-32768, -1, 0, 1, 32767};
  for (char32_t op : {U'=', U'>', U'<', U'^', U'}', U'{'}) {
    CompiledComparison c{ConditionComparison::None, CompiledComparison::orders(op), -1, -1, 0, 0};
    for (int a : values)
      for (int b : values) EXPECT_EQ(c.holds(a, b), comparisonHolds(op, a, b)) << char(op) << ' ' << a << ' ' << b;
  }
  // An IF's line named by a flag is read when the IF jumps, from the flag as it stands then.
  Played r = playScript({"LET,2,5", "IF,F01=01,F02", "LET,3,7", "EOF", "LET,4,9", "EOF"});
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[3], 0);
  EXPECT_EQ(f[4], 9);
}
