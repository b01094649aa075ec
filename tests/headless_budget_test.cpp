// The bound on a headless run that the fuzzers set: ticks and virtual time.
#include <gtest/gtest.h>

#include "harness.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

Played playBounded(const std::vector<std::string>& script, const std::string& input, std::uint64_t ticks,
                   std::uint64_t ms) {
  GameDir dir;
  dir.script(script);
  std::ostringstream out;
  HeadlessHost host(events(input), out);
  host.setBudget(ticks, ms);
  Vunt game(host, dir.path());
  Played r;
  r.status = host.run(game);
  r.transcript = out.str();
  return r;
}

}  // namespace

TEST(HeadlessBudget, EndsEndlessScriptsByTicksOrVirtualTime) {
  // An endless loop of lines: 1000 ticks, then the end.
  Played r = playBounded({"LET,1,0", "INC,1,30000", "GOTO,2"}, "", 1000, 1000000);
  EXPECT_EQ(r.status, HeadlessHost::kBudgetStatus);
  EXPECT_EQ(r.last("end"), "max-ticks");
  EXPECT_EQ(r.lines().back().rfind("flags\t0 500 ", 0), 0u) << r.lines().back();  // INC ran 500 times
  // A slow message: 990 ms a character, 2000 ms of virtual time.
  r = playBounded({"MES,＃99", "MES,あいうえお", "EOF"}, "", 1000, 2000);
  EXPECT_EQ(r.last("end"), "budget");
  // Within the bound a run ends as it always does.
  r = playBounded({"MES,あ￥", "EOF"}, "click\n", 10, 10);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EOF");
}
