// FP prints its selected line through the message output, with its click wait.
#include <gtest/gtest.h>

#include "script_checks.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {
// A page as the transcript shows it: the text row after its indent of five ideographic spaces.
std::string page(const std::string& text) { return "\u3000\u3000\u3000\u3000\u3000" + text; }
}  // namespace

TEST(FpMessage, PrintsTheSelectedLineOnly) {
  for (int k : {1, 2}) {
    Played r = playScript({"LET,4," + std::to_string(k), "FP,4,5", "テキスト一￥", "テキスト二￥,無視", "ENDFP", "EOF"},
                          "click\n");
    EXPECT_EQ(r.status, 0) << k;
    ASSERT_EQ(r.of("page").size(), 1u) << k;
    EXPECT_EQ(r.of("page")[0], page(k == 1 ? "テキスト一" : "テキスト二")) << k;
  }
}

TEST(FpMessage, WaitsForTheClickAtTheMessageLine) {
  // Without a click the wait ends the program; nothing after the FP runs.
  Played r = playScript({"LET,4,1", "FP,4,3", "テキスト￥", "LET,1,1", "EOF"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.of("page"), std::vector<std::string>{page("テキスト")});
  EXPECT_EQ(finalFlags(r).at(1), 0);
}

TEST(FpMessage, FaultyFpPrintsNothing) {
  Played r = playScript({"FP,4,3", "テキスト￥", "EOF"}, "click\n");
  EXPECT_EQ(r.last("error"), report("FP", 1, "FP,4,3"));
  EXPECT_TRUE(r.of("page").empty());
}
