// The foundation through the headless host: loading, the tick, EOF/EXIT and the error report.
#include <gtest/gtest.h>

#include "harness.hpp"

using namespace vunt;
using namespace vunt::test;

TEST(Interpreter, UnknownCommandReportsLineNumberAndLine) {
  std::vector<std::string> lines(56, "DO");
  lines.push_back("FOO");
  Played r = playScript(lines);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\t命令無し( 57)\\rFOO");
  EXPECT_EQ(r.last("end"), "error");
}

TEST(Interpreter, EofAndExitEndTheProgramWhateverFollows) {
  Played r = playScript({"DO", "EOF", "FOO"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("error").size(), 0u);
  r = playScript({"EXIT,1,2", "FOO"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EXIT");
  EXPECT_EQ(r.lines().back(), "flags\t0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
}

TEST(Interpreter, KeywordsAreExactAndCaseSensitive) {
  EXPECT_EQ(playScript({"eof"}).last("error"), "Zad ERROR\t命令無し( 1)\\reof");
  EXPECT_EQ(playScript({" EXIT"}).last("error"), "Zad ERROR\t命令無し( 1)\\r EXIT");
  EXPECT_EQ(playScript({""}).last("error"), "Zad ERROR\t命令無し( 1)\\r");
  EXPECT_EQ(playScript({"DO ", "EOF"}).last("error"), "Zad ERROR\t命令無し( 1)\\rDO ");
}

TEST(Interpreter, ScriptWithoutEofRunsIntoAnEmptyLine) {
  Played r = playScript({"DO", "DO"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\t命令無し( 3)\\r");
}

TEST(Interpreter, RunningPastTheLastLineOfTheStoreIsReported) {
  std::vector<std::string> lines(1000, "DO");
  Played r = playScript(lines);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\t行範囲外( 1000)\\rDO");
}

TEST(Loader, ThousandLinesLoadAndOneMoreFails) {
  std::vector<std::string> lines(999, "DO");
  lines.push_back("EOF");
  EXPECT_EQ(playScript(lines).last("end"), "EOF");
  lines.push_back("DO");
  Played r = playScript(lines);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\tファイルが読込めません\\r\\nvunt-n.zad( 1001)\\r");
}

TEST(Loader, MissingScriptIsReportedBeforeAnyTick) {
  GameDir dir;
  Played r = play(dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\tファイルが読込めません\\r\\nvunt-n.zad( 0)\\r");
}

TEST(Loader, EmptyFileFailsAtItsFirstLine) {
  GameDir dir;
  dir.write("vunt-n.zad", "");
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\t命令無し( 1)\\r");
}

TEST(Loader, LinuxLineEndsAndCodePage932) {
  GameDir dir;
  // "FOO" on line 3 after LF-only lines; the Shift-JIS text must survive into the report.
  dir.write("vunt-n.zad", "DO\nDO\n\x82\xA0\x82\xA2\n");
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\t命令無し( 3)\\rあい");
}

TEST(Loader, LoneLfInACrLfFileKeepsTheLineNumbers) {
  GameDir dir;
  // Line 2 holds a stray LF in its text; FOO is still line 4 in the report, as on Windows.
  dir.write("vunt-n.zad", "DO\r\nLBHGA,0,a\nb\r\nDO\r\nFOO\r\n");
  EXPECT_EQ(play(dir).last("error"), "Zad ERROR\t命令無し( 4)\\rFOO");
}

TEST(Loader, ScriptNameIsFoundWhateverItsCase) {
  GameDir dir;
  dir.write("VUNT-N.ZAD", "EOF\r\n");
  EXPECT_EQ(play(dir).last("end"), "EOF");
}

TEST(Fields, MissingFieldIsReported) {
  EXPECT_EQ(playScript({"MES"}).last("error"), "Zad ERROR\t引数無し( 1)\\rMES");
}

TEST(Headless, InputFileSyntax) {
  std::string error;
  auto ok = parseInputEvents("# comment\n\nclick\nlabel 3\nkey 40\nchar a\nspace\nclose\n", error);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->size(), 6u);
  EXPECT_EQ((*ok)[1].kind, InputEvent::Label);
  EXPECT_EQ((*ok)[1].value, 3);
  EXPECT_EQ((*ok)[4].value, 32);
  EXPECT_FALSE(parseInputEvents("label 4\n", error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
  EXPECT_FALSE(parseInputEvents("click\njump\n", error));
  EXPECT_NE(error.find("line 2"), std::string::npos);
}
