// Jumps, GOSUB/RET, IF/EVA, FP and FJ through the headless host.
#include <gtest/gtest.h>

#include "script_checks.hpp"

using namespace vunt;
using namespace vunt::test;

TEST(Jumps, GotoAndItsSynonyms) {
  // Each jump skips a LET that would mark a flag; GOTO through a flag holding the line.
  Played r = playScript({
      "GOTO,3", "LET,1,1",           // 1-2
      "DORT,5", "LET,2,1",           // 3-4
      "DOEX,7", "LET,3,1",           // 5-6
      "LOOP,9", "LET,4,1",           // 7-8
      "ELSE,11", "LET,5,1",          // 9-10
      "LET,10,14", "GOTO,F10", "LET,6,1", "EOF"});  // 11-14
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[1] + f[2] + f[3] + f[4] + f[5] + f[6], 0);
}

TEST(Jumps, DoLoopCountsWithIfAndInc) {
  Played r = playScript({"DO", "INC,1,99", "IF,F01<05,5", "LOOP,1", "ENDIF", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 5);
}

TEST(Jumps, JumpToTheExecutingLineIsNoJump) {
  Played r = playScript({"GOTO,1", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 1);
}

TEST(Jumps, TargetsOutsideTheStoreAreReportedAtTheJump) {
  EXPECT_EQ(playScript({"DO", "GOTO,1001"}).last("error"), report("行範囲外", 2, "GOTO,1001"));
  EXPECT_EQ(playScript({"GOTO,-1"}).last("error"), report("行範囲外", 1, "GOTO,-1"));
  EXPECT_EQ(playScript({"GOTO,x"}).last("error"), report("数値不正", 1, "GOTO,x"));
  EXPECT_EQ(playScript({"ELSE"}).last("error"), report("引数無し", 1, "ELSE"));
  // Line 0 is a line of the store: a jump there runs its empty text.
  EXPECT_EQ(playScript({"GOTO,0"}).last("error"), report("命令無し", 0, ""));
}

TEST(Subroutines, InnerGosubOverwritesTheReturnLine) {
  Played r = playScript({
      "GOSUB,4",       // 1: ReturnLine 2
      "LET,1,1",       // 2: never reached, the inner GOSUB overwrote it
      "EOF",           // 3
      "GOSUB,8",       // 4: ReturnLine 5
      "INC,2,99",      // 5
      "IF,F02=01,9",   // 6
      "RET",           // 7: the outer RET returns to 5 as well
      "RET",           // 8
      "EOF"});         // 9
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[1], 0);
  EXPECT_EQ(f[2], 2);
}

TEST(Subroutines, RetBeforeAnyGosubRunsLineZero) {
  Played r = playScript({"RET"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), report("命令無し", 0, ""));
}

TEST(Subroutines, GosubToItsOwnLineContinuesBelow) {
  // ReturnLine becomes 2, the jump to line 1 is no jump; the RET on line 2 returns to itself.
  Played r = playScript({"GOSUB,1", "RET", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 1);
  EXPECT_EQ(playScript({"GOSUB"}).last("error"), report("引数無し", 1, "GOSUB"));
}

TEST(Branches, IfAndEvaJumpOnlyWhenFalse) {
  Played r = playScript({
      "LET,3,1",
      "IF,F03=01,4", "LET,1,1",   // true: the next line follows
      "IF,F03=00,6", "LET,2,1",   // false: skips
      "EVA,F03^01,8", "LET,4,1",  // false: skips
      "EVA,F03}01,9", "LET,5,1",  // true
      "EOF"});
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[1], 1);
  EXPECT_EQ(f[2], 0);
  EXPECT_EQ(f[4], 0);
  EXPECT_EQ(f[5], 1);
}

TEST(Branches, FieldThreeIsReadOnlyWhenFalse) {
  Played r = playScript({"IF,F01=00", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 1);
  EXPECT_EQ(playScript({"IF,F01=01"}).last("error"), report("引数無し", 1, "IF,F01=01"));
  EXPECT_EQ(playScript({"EVA,F01=01,x"}).last("error"), report("数値不正", 1, "EVA,F01=01,x"));
  // The expression is evaluated before the missing field is noticed.
  EXPECT_EQ(playScript({"IF,F01=0 "}).last("error"), report("比較式", 1, "IF,F01=0 "));
  EXPECT_EQ(playScript({"IF"}).last("error"), report("引数無し", 1, "IF"));
}

TEST(Branches, FalseIfToItsOwnLineFallsThrough) {
  Played r = playScript({"DO", "IF,F01=01,2", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 1);
}

TEST(FpTable, FlagSelectsTheLineAndEndLineContinues) {
  // FP prints; line 6 holds ENDFP, and the end line itself may be the selected line.
  for (int k : {1, 2, 3}) {
    Played r = playScript({"LET,4," + std::to_string(k), "FP,4,5", "一", "二", "ENDFP", "LET,1,1", "EOF"});
    EXPECT_EQ(r.status, 0) << k;
    EXPECT_EQ(finalFlags(r).at(1), 1) << k;
  }
  // The index through a flag; the end line holding a jump runs as a command.
  Played r = playScript({"LET,4,1", "LET,9,4", "FP,F09,5", "一", "GOTO,7", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 0);
}

TEST(FpTable, FaultsAreReportedAtTheFpLineBeforeAnythingIsPrinted) {
  EXPECT_EQ(playScript({"FP,4,4", "一", "EOF"}).last("error"), report("FP", 1, "FP,4,4"));
  EXPECT_EQ(playScript({"LET,4,-2", "FP,4,9"}).last("error"), report("FP", 2, "FP,4,9"));
  EXPECT_EQ(playScript({"LET,4,3", "FP,4,4", "一", "二"}).last("error"), report("FP", 2, "FP,4,4"));
  EXPECT_EQ(playScript({"LET,4,1", "FP,4,1001", "一"}).last("error"), report("行範囲外", 2, "FP,4,1001"));
  EXPECT_EQ(playScript({"LET,4,32767", "FP,4,5"}).last("error"), report("数値範囲外", 2, "FP,4,5"));
  // Field 3 is read before field 2.
  EXPECT_EQ(playScript({"FP,31"}).last("error"), report("引数無し", 1, "FP,31"));
  EXPECT_EQ(playScript({"FP,31,5"}).last("error"), report("フラグ範囲外", 1, "FP,31,5"));
}

TEST(FjTable, JumpsThroughTheSelectedLine) {
  Played r = playScript({"LET,6,2", "FJ,6,4", "7", "8,extra,fields", "9", "EOF", "LET,1,7", "LET,2,8", "EOF"});
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[1], 0);
  EXPECT_EQ(f[2], 8);
  // The target may be an F reference.
  r = playScript({"LET,6,1", "LET,7,6", "FJ,6,4", "F07", "EOF", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(finalFlags(r).at(1), 1);
}

TEST(FjTable, TargetNamingTheFjLineRunsTheLineBelow) {
  Played r = playScript({"LET,6,1", "FJ,6,3", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), report("命令無し", 3, "2"));
}

TEST(FjTable, Faults) {
  EXPECT_EQ(playScript({"FJ,6,3", "2"}).last("error"), report("FJ", 1, "FJ,6,3"));
  EXPECT_EQ(playScript({"LET,6,2", "FJ,6,3", "2", "3"}).last("error"), report("FJ", 2, "FJ,6,3"));
  EXPECT_EQ(playScript({"LET,6,32767", "FJ,6,3"}).last("error"), report("数値範囲外", 2, "FJ,6,3"));
  EXPECT_EQ(playScript({"LET,6,999", "FJ,6,2000"}).last("error"), report("行範囲外", 2, "FJ,6,2000"));
  // A target that is not a number, or lies outside the store, is reported at the table line.
  EXPECT_EQ(playScript({"LET,6,1", "FJ,6,3", "ENDFJ"}).last("error"), report("数値不正", 3, "ENDFJ"));
  EXPECT_EQ(playScript({"LET,6,1", "FJ,6,3", "1001"}).last("error"), report("行範囲外", 3, "1001"));
  // Field 2 is read before field 3.
  EXPECT_EQ(playScript({"FJ,31"}).last("error"), report("フラグ範囲外", 1, "FJ,31"));
  EXPECT_EQ(playScript({"FJ,6"}).last("error"), report("引数無し", 1, "FJ,6"));
}
