// A finding that names other script lines in its words names their source lines too, when the
// finding itself was placed in the source.
#include <gtest/gtest.h>

#include "authoring/finding.hpp"

using namespace vunt;

TEST(FindingSourceLines, ScriptLinesInAFindingsWordsGainTheirSourcePosition) {
  // Script line n comes from story.txt line n + 20; the script has 30 lines.
  SourceLocator locate = [](int line, int) -> std::optional<SourceSpot> {
    if (line < 1 || line > 30) return std::nullopt;
    return SourceSpot{"story.txt", line + 20, 0, U"MES,x"};
  };
  Finding f;
  f.line = 5;
  f.message = "the choice 2 has no CASE line before the ENDCM at line 12; see lines 7 to 9, line 40, line 0";
  f.hint = "add a line CASE,2 before line 12";
  Finding unplaced;  // a finding about the whole file stays as it was written
  unplaced.line = 0;
  unplaced.message = "the menu at line 12";
  std::vector<Finding> findings{f, unplaced};
  placeFindings(findings, std::vector<std::u32string>(30, U"MES,x"), locate);
  EXPECT_EQ(findings[0].line, 25);
  EXPECT_EQ(findings[0].message,
            "the choice 2 has no CASE line before the ENDCM at line 12 (story.txt:32); see lines 7 (story.txt:27) to 9, "
            "line 40, line 0");
  EXPECT_EQ(findings[0].hint, "add a line CASE,2 before line 12 (story.txt:32)");
  EXPECT_EQ(findings[1].message, "the menu at line 12");
  // "outline 3" is no line reference; a number of more than four digits is no script line.
  findings = {f};
  findings[0].message = "outline 3, line 123456";
  placeFindings(findings, {}, locate);
  EXPECT_EQ(findings[0].message, "outline 3, line 123456");
}
