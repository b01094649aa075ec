// LET, INC, DEC, FGCL and CLR: the flag operations directly, and the commands through the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "script/flag_ops.hpp"
#include "script_checks.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// INC at value v with the maximum and mode; 99999 for an overflow, and whether the mode was read.
std::pair<int, bool> inc(int v, int maximum, std::u32string mode = U"L") {
  bool read = false;
  auto next = incremented(std::int16_t(v), std::int16_t(maximum), [&] {
    read = true;
    return mode;
  });
  return {next ? int(*next) : 99999, read};
}

}  // namespace

TEST(FlagOps, IncCountsUpWrapsOrStays) {
  EXPECT_EQ(inc(3, 3), std::pair(1, true));
  EXPECT_EQ(inc(2, 3), std::pair(3, false));
  EXPECT_EQ(inc(7, 3), std::pair(8, false));  // above the maximum it keeps counting
  EXPECT_EQ(inc(3, 3, U"S"), std::pair(3, true));
  EXPECT_EQ(inc(3, 3, U"X"), std::pair(3, true));
  EXPECT_EQ(inc(3, 3, U"L "), std::pair(3, true));
  EXPECT_EQ(inc(32767, 3), std::pair(99999, false));
  EXPECT_EQ(inc(32766, 3), std::pair(32767, false));
  EXPECT_EQ(inc(32767, 32767), std::pair(1, true));
}

TEST(FlagOps, DecStopsAtZeroAndClearCoversItsRange) {
  EXPECT_EQ(decremented(0), 0);
  EXPECT_EQ(decremented(-4), -4);
  EXPECT_EQ(decremented(1), 0);
  EXPECT_EQ(decremented(-32768), -32768);

  std::array<std::int16_t, 31> f;
  auto reset = [&] { f.fill(5); };
  reset();
  EXPECT_FALSE(clearFlags(f, 10, 5));
  EXPECT_EQ(std::count(f.begin(), f.end(), 0), 0);
  EXPECT_FALSE(clearFlags(f, 7, 7));
  EXPECT_EQ(f[7], 0);
  EXPECT_EQ(std::count(f.begin(), f.end(), 0), 1);
  EXPECT_FALSE(clearFlags(f, 0, 30));
  EXPECT_EQ(std::count(f.begin(), f.end(), 0), 31);
  reset();
  EXPECT_EQ(clearFlags(f, 28, 32767), 31);  // the flags before the bad index are cleared
  EXPECT_EQ(f[27], 5);
  EXPECT_EQ(f[28] + f[29] + f[30], 0);
  reset();
  EXPECT_EQ(clearFlags(f, -1, 3), -1);
  EXPECT_EQ(f[0], 5);
  EXPECT_EQ(clearFlags(f, -32768, -32768), -32768);
}

TEST(FlagCommands, LetWithIndirection) {
  Played r = playScript({"LET,2,4", "LET,F02,9", "LET,3,-32768", "LET,5,F04", "LET,5,F05", "LET,F5,7", "EOF"});
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[2], 4);  // the index flag itself is unchanged
  EXPECT_EQ(f[4], 9);
  EXPECT_EQ(f[3], -32768);
  EXPECT_EQ(f[5], 9);
  EXPECT_EQ(f[9], 7);
  // An index flag holding a value outside the table.
  r = playScript({"LET,5,40", "LET,F05,3", "EOF"});
  EXPECT_EQ(r.last("error"), report("フラグ範囲外", 2, "LET,F05,3"));
  EXPECT_EQ(playScript({"LET,31,0"}).last("error"), report("フラグ範囲外", 1, "LET,31,0"));
  EXPECT_EQ(playScript({"LET,-1,0"}).last("error"), report("フラグ範囲外", 1, "LET,-1,0"));
}

TEST(FlagCommands, LetReadsTheValueBeforeTheIndex) {
  EXPECT_EQ(playScript({"LET,99"}).last("error"), report("引数無し", 1, "LET,99"));
  EXPECT_EQ(playScript({"LET,x,70000"}).last("error"), report("数値範囲外", 1, "LET,x,70000"));
  EXPECT_EQ(playScript({"LET,99,x"}).last("error"), report("数値不正", 1, "LET,99,x"));
  EXPECT_EQ(playScript({"LET,F31,1"}).last("error"), report("フラグ範囲外", 1, "LET,F31,1"));
}

TEST(FlagCommands, IncAndItsModeField) {
  // Below and above the maximum a line without field 4 works; at the maximum it fails.
  Played r = playScript({"LET,5,2", "INC,5,3", "LET,6,7", "INC,6,3", "LET,7,3", "INC,7,3,L", "LET,8,3",
                         "INC,8,3,S", "INC,F09,F09,L", "EOF"});
  EXPECT_EQ(r.status, 0);
  std::vector<int> f = finalFlags(r);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[5], 3);
  EXPECT_EQ(f[6], 8);
  EXPECT_EQ(f[7], 1);
  EXPECT_EQ(f[8], 3);
  EXPECT_EQ(f[0], 1);  // F09 is 0: INC of flag 0 with maximum 0 wraps it to 1
  r = playScript({"LET,5,3", "INC,5,3"});
  EXPECT_EQ(r.last("error"), report("引数無し", 2, "INC,5,3"));
  // The index is checked before the maximum is read.
  EXPECT_EQ(playScript({"INC,31"}).last("error"), report("フラグ範囲外", 1, "INC,31"));
  EXPECT_EQ(playScript({"INC,5"}).last("error"), report("引数無し", 1, "INC,5"));
  // Counting past 32767 is reported; the flag keeps its value.
  r = playScript({"LET,5,32767", "INC,5,3,L", "EOF"});
  EXPECT_EQ(r.last("error"), report("数値範囲外", 2, "INC,5,3,L"));
  EXPECT_EQ(finalFlags(r).at(5), 32767);
  EXPECT_EQ(finalFlags(playScript({"LET,5,32767", "INC,5,32767,L", "EOF"})).at(5), 1);
}

TEST(FlagCommands, DecNeverGoesBelowZero) {
  std::vector<int> f = finalFlags(playScript({"DEC,1", "LET,2,-4", "DEC,2", "LET,3,2", "DEC,3", "DEC,3", "EOF"}));
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(std::vector<int>(f.begin(), f.begin() + 4), (std::vector<int>{0, 0, -4, 0}));
  EXPECT_EQ(playScript({"DEC,31"}).last("error"), report("フラグ範囲外", 1, "DEC,31"));
}

TEST(FlagCommands, FgclAndClrClearRanges) {
  std::vector<std::string> fill;
  for (int i = 0; i <= 30; ++i) fill.push_back("LET," + std::to_string(i) + ",5");
  auto run = [&](std::vector<std::string> tail) {
    std::vector<std::string> s = fill;
    s.insert(s.end(), tail.begin(), tail.end());
    return playScript(s);
  };
  std::vector<int> f = finalFlags(run({"FGCL,10,5", "FGCL,7,7", "CLR,12,14", "EOF"}));
  ASSERT_EQ(f.size(), 31u);
  for (int i = 0; i <= 30; ++i) EXPECT_EQ(f[i], i == 7 || (i >= 12 && i <= 14) ? 0 : 5) << i;
  f = finalFlags(run({"CLR,0,30", "EOF"}));
  EXPECT_EQ(f, std::vector<int>(31, 0));
  // The last index is read first; a range running off the table clears up to its end, then reports.
  EXPECT_EQ(playScript({"FGCL,99"}).last("error"), report("引数無し", 1, "FGCL,99"));
  EXPECT_EQ(playScript({"CLR,x,y"}).last("error"), report("数値不正", 1, "CLR,x,y"));
  Played r = run({"FGCL,28,31", "EOF"});
  EXPECT_EQ(r.last("error"), report("フラグ範囲外", 32, "FGCL,28,31"));
  f = finalFlags(r);
  EXPECT_EQ(f.at(27), 5);
  EXPECT_EQ(f.at(28) + f.at(29) + f.at(30), 0);
  EXPECT_EQ(playScript({"CLR,-1,3"}).last("error"), report("フラグ範囲外", 1, "CLR,-1,3"));
}
