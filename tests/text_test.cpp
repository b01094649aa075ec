#include <gtest/gtest.h>

#include <random>

#include "script/error_report.hpp"
#include "script/script_store.hpp"
#include "text/text.hpp"

using namespace vunt;

TEST(Cp932, DecodesJapaneseAndTheBytesIconvRefuses) {
  // "あ" is 82 A0, "￥" is 81 8F.
  EXPECT_EQ(fromCp932("\x82\xA0\x81\x8F" "A"), U"あ￥A");
  EXPECT_EQ(fromCp932("\x80\xA0\xFD\xFE\xFF"), U"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(fromCp932("\xB1"), U"ｱ");  // half-width katakana is one byte
  // A lead byte at the end of the text cannot start a character; it is kept as U+FFFD.
  EXPECT_EQ(fromCp932("A\x82"), U"A\uFFFD");
}

TEST(Cp932, ScriptTextIsUtf8WhenMarkedOrValid) {
  EXPECT_EQ(decodeScriptText("\xEF\xBB\xBF" "MES,\xE3\x81\x82"), U"MES,あ");
  EXPECT_EQ(decodeScriptText("MES,\xE3\x81\x82"), U"MES,あ");
  EXPECT_EQ(decodeScriptText("MES,\x82\xA0"), U"MES,あ");
}

TEST(ScriptLines, EndAtCrLfAndLoneCrOrAtLfInFilesWithoutCr) {
  using V = std::vector<std::u32string>;
  // With CR LF line ends a lone LF is part of its line, so the line numbers after it stay right.
  EXPECT_EQ(splitScriptLines(U"A\r\nB\rC\nD"), (V{U"A", U"B", U"C\nD"}));
  EXPECT_EQ(splitScriptLines(U"MES,a\nb\r\nGOTO,3\r\nEOF\r\n"), (V{U"MES,a\nb", U"GOTO,3", U"EOF"}));
  EXPECT_EQ(splitScriptLines(U"A\r\n"), (V{U"A"}));
  EXPECT_EQ(splitScriptLines(U"A\r\n\r\n"), (V{U"A", U""}));
  EXPECT_EQ(splitScriptLines(U""), V{});
  EXPECT_EQ(splitScriptLines(U"\n\r"), (V{U"\n"}));
  // Without any CR, LF ends the lines.
  EXPECT_EQ(splitScriptLines(U"A\nB\n\nC"), (V{U"A", U"B", U"", U"C"}));
  EXPECT_EQ(splitScriptLines(U"\n"), (V{U""}));
}

// The linter counts the lines past the 1000th without cutting them: the count must be the cut's.
TEST(ScriptLines, CountingGivesTheNumberCut) {
  std::mt19937 rng(77);
  for (int trial = 0; trial < 3000; ++trial) {
    std::u32string text;
    const std::size_t size = rng() % 12;
    for (std::size_t i = 0; i < size; ++i) text += U"\r\nA"[rng() % (trial % 2 ? 3 : 2) + (trial % 2 ? 0 : 1)];
    EXPECT_EQ(countScriptLines(text), splitScriptLines(text).size()) << toUtf8(text);
  }
}

TEST(NumberText, HasTheLeadingBlankForZeroAndAbove) {
  EXPECT_EQ(numberText(57), U" 57");
  EXPECT_EQ(numberText(0), U" 0");
  EXPECT_EQ(numberText(-3), U"-3");
  EXPECT_EQ(decimalText(7), U"7");
  EXPECT_EQ(decimalText(-32768), U"-32768");
}

TEST(ErrorReport, JoinsTextLineNumberLoneCrAndLine) {
  EXPECT_EQ(errorReportText(U"命令無し", 57, U"FOO"), U"命令無し( 57)\rFOO");
  EXPECT_EQ(errorReportText(U"", -2, U""), U"(-2)\r");
}
