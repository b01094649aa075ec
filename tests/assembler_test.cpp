// vunt-asm's assembler: the bundled game's round trip, labels and references, includes, the
// blocks whose lines are data, and every fault reported at once with its position.
#include <gtest/gtest.h>

#include <map>

#include "authoring/assembler.hpp"
#include "platform/game_files.hpp"
#include "text/text.hpp"

using namespace vunt;
namespace fs = std::filesystem;

namespace {

// Source files held in memory.
struct Sources {
  std::map<std::string, std::string> files;
  SourceReader reader() const {
    return [this](const fs::path& p) -> std::optional<std::string> {
      auto it = files.find(p.lexically_normal().generic_string());
      if (it == files.end()) return std::nullopt;
      return it->second;
    };
  }
  Assembly assemble(const std::string& main = "main.txt", bool utf8 = false) const {
    return vunt::assemble(main, utf8, reader());
  }
};

Assembly assembleText(const std::string& text, bool utf8 = false) {
  Sources s;
  s.files["main.txt"] = text;
  return s.assemble("main.txt", utf8);
}

std::vector<std::string> lines(const Assembly& a) {
  std::vector<std::string> out;
  for (const auto& l : a.lines) out.push_back(toUtf8(l));
  return out;
}

// "file:line:column: severity: message" of each finding.
std::vector<std::string> where(const Assembly& a) {
  std::vector<std::string> out;
  for (const Finding& f : a.findings)
    out.push_back(f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " +
                  std::string(severityName(f.severity)) + ": " + f.message);
  return out;
}

}  // namespace

TEST(Assembler, TheBundledStoryAssemblesToTheShippedScriptByteForByte) {
  const fs::path root = fs::path(VUNT_TEST_DATA).parent_path().parent_path();
  Assembly a = assemble(root / "tools/game/story.txt");
  for (const Finding& f : a.findings) EXPECT_NE(f.severity, Finding::Error) << formatFinding(f, U"");
  std::optional<std::string> bytes = encodeScript(a, false);
  ASSERT_TRUE(bytes);
  std::optional<std::string> shipped = readWholeFile(root / "game/vunt-n.zad");
  ASSERT_TRUE(shipped);
  EXPECT_TRUE(*bytes == *shipped) << "tools/game/story.txt no longer assembles to game/vunt-n.zad";
}

TEST(Assembler, LabelsCommentsContinuationsAndIndentation) {
  Assembly a = assembleText(
      "\xEF\xBB\xBF; a comment\r\n"
      ":top\r\n"
      "  MES,あ\\\r\n"
      "\tい￥\r\n"
      "\r\n"
      "GOTO,{ top }\r\n"
      ":a\n:b\n"
      "IF,F01{50&F02}03,{b}\r"  // { and } as comparison operators stay as they are
      "EOF\n");
  EXPECT_TRUE(a.ok()) << where(a).front();
  EXPECT_EQ(lines(a), (std::vector<std::string>{"MES,あい￥", "GOTO,1", "IF,F01{50&F02}03,3", "EOF"}));
  EXPECT_EQ(a.labels.at("top"), 1);
  EXPECT_EQ(a.labels.at("a"), 3);
  ASSERT_EQ(a.origins.size(), 4u);
  EXPECT_EQ(a.origins[0], (SourcePosition{"main.txt", 3}));
  EXPECT_EQ(a.origins[2], (SourcePosition{"main.txt", 9}));
}

TEST(Assembler, EveryFaultAtOnceWithItsPosition) {
  Assembly a = assembleText(
      "MES,ok\n"              // 1
      ":9bad\n"               // 2: no label name
      ":here\n"               // 3
      "GOTO,{hre}\n"          // 4: undefined, a near name
      ":here\n"               // 5: twice
      "goto,{here}\n"         // 6: lower case
      "GOTO,{1x}\n"           // 7: no reference in a line field
      "MES,😀です\n"          // 8: no place in code page 932
      "  GOTO,{here\n"        // 9: not closed, so not a reference: no line number
      ":dangling\n");         // 10: names no line
  EXPECT_FALSE(a.ok());
  EXPECT_EQ(where(a), (std::vector<std::string>{
                          "main.txt:2:2: error: \"9bad\" is no label name",
                          "main.txt:4:6: error: undefined label hre",
                          "main.txt:5:2: error: label here is defined twice",
                          "main.txt:6:1: error: unknown command \"goto\" (commands are upper case)",
                          "main.txt:7:6: error: \"{1x}\" is no line number nor a label reference",
                          "main.txt:8:5: error: \"😀\" (U+1F600) has no place in code page 932",
                          "main.txt:9:8: error: \"{here\" is no line number nor a label reference",
                          "main.txt:10:2: error: label dangling names no line",
                      }));
  EXPECT_EQ(a.findings[1].hint, "did you mean {here}?");
  EXPECT_EQ(a.findings[3].hint, "commands are upper case: GOTO");
  EXPECT_FALSE(encodeScript(a, false));
  // In UTF-8 the character is fine.
  Assembly u = assembleText("MES,😀です\nEOF\n", true);
  EXPECT_TRUE(u.ok());
  EXPECT_EQ(encodeScript(u, true), "MES,😀です\r\nEOF\r\n");
}

TEST(Assembler, SourceThatIsNoUtf8IsReportedNotGuessed) {
  Assembly a = assembleText("MES,ok\nMES,\x82\xa0\nEOF\n");
  EXPECT_EQ(where(a), (std::vector<std::string>{"main.txt:2:5: error: the source is not UTF-8 text from here on (byte "
                                                "0x82): it reads as Shift_JIS (code page 932); further lines of this "
                                                "file that are not UTF-8 are not reported"}));
  // A whole file in Shift_JIS is one finding, not one a line.
  std::string sjis;
  for (int i = 0; i < 50; ++i) sjis += "MES,\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x81\x8f\n";
  Assembly b = assembleText(sjis + "EOF\n");
  ASSERT_EQ(where(b).size(), 1u);
  EXPECT_NE(b.findings[0].hint.find("iconv -f CP932"), std::string::npos);
}

TEST(Assembler, DataLinesOfFpAndFjBlocksAreNoCommands) {
  Assembly a = assembleText(
      "FP,1,{fp_end}\n"     // 1
      "＠00一つ目￥\n"        // 2: data
      ":fp_end\n"
      "ENDFP\n"              // 3
      "FP,1,F05\n"           // 4: the end comes from a flag: up to ENDFP
      "＠00一つ目￥\n"        // 5
      "＠00二つ目￥\n"        // 6
      "ENDFP\n"              // 7
      "FJ,1,{last}\n"        // 8
      "{a}\n"                // 9: targets are line numbers
      ":last\n"
      "12\n"                 // 10: a typed number is only warned about
      ":a\n"
      "EOF\n");              // 11
  EXPECT_TRUE(a.ok()) << where(a).front();
  EXPECT_EQ(where(a), (std::vector<std::string>{"main.txt:12:1: warning: line number 12 written as a number"}));
  EXPECT_FALSE(assembleText("FJ,1,2\n{1x}\nEOF\n").ok());  // FJ's target line holds no reference
}

TEST(Assembler, IncludesShareLabelsAndNameTheirOwnLines) {
  Sources s;
  s.files["game/main.txt"] = "GOSUB,{greet}\n:include parts/greet.txt\nEOF\n";
  s.files["game/parts/greet.txt"] = "; greeting\n:greet\nMES,やあ￥\nRET\n:after\n";
  Assembly a = s.assemble("game/main.txt");
  EXPECT_TRUE(a.ok()) << where(a).front();
  EXPECT_EQ(lines(a), (std::vector<std::string>{"GOSUB,2", "MES,やあ￥", "RET", "EOF"}));
  EXPECT_EQ(a.origins[1], (SourcePosition{"game/parts/greet.txt", 3}));
  EXPECT_EQ(a.labels.at("after"), 4);  // a label at a file's end names the next line after it
  EXPECT_EQ(toUtf8(a.sourceLine("game/parts/greet.txt", 3)), "MES,やあ￥");

  s.files["game/parts/greet.txt"] = ":include ../main.txt\n";
  EXPECT_EQ(where(s.assemble("game/main.txt")),
            (std::vector<std::string>{"game/main.txt:1:7: error: undefined label greet",
                                      "game/parts/greet.txt:1:1: error: the file game/main.txt includes itself"}));
  s.files.erase("game/parts/greet.txt");
  EXPECT_EQ(where(s.assemble("game/main.txt")),
            (std::vector<std::string>{"game/main.txt:1:7: error: undefined label greet",
                                      "game/main.txt:2:10: error: cannot read the included file game/parts/greet.txt"}));
  EXPECT_EQ(where(s.assemble("nothing.txt")), (std::vector<std::string>{"nothing.txt:0:0: error: cannot read the source file"}));
}

TEST(Assembler, ThousandLinesAtMost) {
  std::string text;
  for (int i = 0; i < 999; ++i) text += "DO\n";
  EXPECT_TRUE(assembleText(text + "EOF\n").ok());
  Assembly a = assembleText(text + "DO\nDO\nEOF\n");
  ASSERT_EQ(a.findings.size(), 1u);
  EXPECT_EQ(where(a).front(), "main.txt:1001:1: error: the script has 1002 lines; the engine reads at most 1000");
}

// Past line 1000 lines are counted without being read in full; the count must still be the one
// the full reading gives, and what is reported there still reported.
TEST(Assembler, LinesPastTheLimitAreCountedAsReadInFull) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "DO\n";
  // Blank, comment and indented lines; continuations, one of whose joined pieces is blank and one
  // ending in two backslashes (one stays); a line that is only a backslash joined to a comment.
  text += "\n  \t\n  ; note\nMES,a\\\n\n  DO\nMES,b\\\\\n\nDO\n\\\n; joined comment\n";
  text += ":include part.txt\n:later\nDO\n:later\n";
  Sources s;
  s.files["main.txt"] = text + "MES,\xff\n" + "EOF\n";
  s.files["part.txt"] = "DO\nDO\\\nDO\n";
  // Script lines past 1000: MES,a (the blank line ends it), DO, MES,b\DO, two of part.txt, DO,
  // the line that is not UTF-8 and EOF.
  EXPECT_EQ(where(s.assemble()),
            (std::vector<std::string>{
                "main.txt:1004:1: error: the script has 1008 lines; the engine reads at most 1000",
                "main.txt:1015:2: error: label later is defined twice",
                "main.txt:1016:5: error: the source is not UTF-8 text from here on (byte 0xFF): it reads as Shift_JIS "
                "(code page 932); further lines of this file that are not UTF-8 are not reported"}));
}

TEST(Assembler, TheLineMapNamesSourcesRelativeToItsDirectory) {
  Sources s;
  s.files["src/main.txt"] = ":start\nMES,あ￥\nEOF\n";
  Assembly a = s.assemble("src/main.txt");
  const std::string bytes = encodeScript(a, false).value();
  LineMap map = lineMapOf(a, bytes, "game");
  EXPECT_EQ(map.lines, (std::vector<SourcePosition>{{"../src/main.txt", 2}, {"../src/main.txt", 3}}));
  EXPECT_EQ(map.labels.at("start"), 1);
  EXPECT_EQ(map.scriptHash, scriptHash(bytes));
}

TEST(Assembler, WritesCodePage932AsWindowsDoes) {
  // A duplicate takes Windows' pair, the yen sign its ASCII byte, and Windows' own single bytes
  // (read from a script as U+F8F0, ...) go back to themselves.
  Assembly a = assembleText("MES,∵Ⅰ\u00A5\uF8F0￥\nEOF\n");
  ASSERT_TRUE(a.ok()) << where(a).front();
  EXPECT_EQ(encodeScript(a, false), "MES,\x81\xE6\x87\x54\x5C\xA0\x81\x8F\r\nEOF\r\n");
  // A tag character has no form: it is reported, not dropped.
  Assembly tag = assembleText("MES,a\U000E0001b\nEOF\n");
  EXPECT_EQ(where(tag), (std::vector<std::string>{"main.txt:1:6: error: \"\U000E0001\" (U+E0001) has no place in code page 932"}));
}

TEST(Assembler, FirstMessagesSayWhatTheSlipWas) {
  // A missing end label points at the label of the ENDCM that ends the menu, however unlike its
  // name; without one, at where to write it.
  Assembly named = assembleText("CMST,0,＊a\nCMSL,0,{menu_end}\nCASE,0\n:after_menu\nENDCM\nEOF\n");
  ASSERT_EQ(named.findings.size(), 1u);
  EXPECT_EQ(named.findings[0].hint, "did you mean {after_menu}? It names the ENDCM below");
  Assembly unnamed = assembleText("CMST,0,＊a\nCMSL,0,{menu_end}\nCASE,0\n\nENDCM\n:menu\nEOF\n");
  ASSERT_EQ(unnamed.findings.size(), 1u);
  EXPECT_EQ(unnamed.findings[0].hint, "define it with a line :menu_end before the ENDCM at main.txt:5");
  // Elsewhere the nearest name, as before.
  EXPECT_EQ(assembleText("GOTO,{tilte}\n:title\nEOF\n").findings[0].hint, "did you mean {title}?");

  // A full-width comma after the command word, and a near miss, as vunt-lint says them.
  Assembly comma = assembleText("MES，こんにちは￥\nMSE,a\nEOF\n");
  ASSERT_EQ(where(comma).size(), 2u);
  EXPECT_EQ(comma.findings[0].message.rfind("the command word MES is followed by the full-width comma", 0), 0u);
  EXPECT_EQ(comma.findings[0].width, 4);
  EXPECT_EQ(comma.findings[1].hint, "did you mean MES? (MES,text)");
}
