// The script linter: small broken games, each with exactly the findings expected, and a clean game
// with none.
#include <gtest/gtest.h>

#include "harness.hpp"
#include "platform/game_files.hpp"
#include "text/text.hpp"
#include "authoring/lint.hpp"
#include "stage_builder.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

std::string picture() { return *readWholeFile(std::filesystem::path(VUNT_TEST_DATA) / "two-colours-gif.szg"); }

// A game directory with the puzzle's sounds and the given extra files.
// A short, plain PCM wave file that the game plays.
std::string tinyWave() { return *readWholeFile(std::filesystem::path(VUNT_TEST_DATA) / "tiny.wav"); }

struct Game {
  GameDir dir;
  explicit Game(const std::vector<std::pair<std::string, std::string>>& files = {}) {
    for (const char* s : {"A-PUZ1.wav", "A-PUZ2.wav", "A-CLEAR.wav", "L-MISS.wav", "L-batu.wav"}) dir.write(s, tinyWave());
    for (const auto& [name, bytes] : files) dir.write(name, bytes);
  }
};

// The findings as "LINE: severity: message".
std::vector<std::string> lint(const std::vector<std::string>& script, const Game& game = Game()) {
  std::vector<std::u32string> lines;
  for (const std::string& l : script) lines.push_back(fromUtf8(l));
  std::vector<std::string> out;
  for (const Finding& f : lintScript(lines, game.dir.path()))
    out.push_back(std::to_string(f.line) + ": " + std::string(severityName(f.severity)) + ": " + f.message);
  return out;
}

using Findings = std::vector<std::string>;

}  // namespace

TEST(Lint, AGameThatUsesEveryKindOfLineHasNoFindings) {
  Game game({{"room.szg", picture()}, {"bgm.wav", tinyWave()}, {"vunt.pdt", stageFile({{"1a"}, {"2.b"}})}});
  EXPECT_EQ(lint({"LET,20,3",
                  "CMST,2,＊見る＊話す３移動・＊東＊西＠戻る",
                  "ADDCM,0,0,＊鍵",
                  "ITMS,0,＠04古い鍵だ。￥",
                  "GHG,room",
                  "SOUND,bgm,9",
                  "MES,＆1ナギサ：1行こう。＾＜ここ＞は＃05灯台。￥",
                  "LET,5,1",
                  "CMSL,2,22",  // 9
                  "CASE,200",
                  "INC,5,3,L",
                  "CASE,201",
                  "GOSUB,31",
                  "CASE,300",
                  "FP,5,18",
                  "東の部屋だ。￥",
                  "西の部屋だ。￥",
                  "ENDFP",
                  "CASE,301",
                  "BEED,1,2",
                  "IF,F21=01,9",  // 21: lost: back to the menu
                  "ENDCM",
                  "CMSL,0,26",
                  "CASE,0",
                  "MES,鍵を使った。￥",
                  "ENDCM",  // 26
                  "EVA,F05}02#F20>00,29",
                  "LBHGV,1,F20",
                  "SAVE",
                  "EXIT",
                  "DEC,6",  // 31
                  "LBHGA,2,残り",
                  "RET"},
                 game),
            Findings{});
}

TEST(Lint, CommandWordsAndFields) {
  EXPECT_EQ(lint({"MES,a", "GOTOO,1"}), Findings{"2: error: unknown command \"GOTOO\""});
  EXPECT_EQ(lint({"eof"}), Findings{"1: error: unknown command \"eof\" (commands are upper case)"});
  // The lines below a fault that stops the game are not called unreached.
  EXPECT_EQ(lint({"DO", "", "EOF"}), Findings{"2: error: empty line reached as a command"});
  EXPECT_EQ(lint({"DO"}), Findings{"1: error: execution runs past the last line"});
  EXPECT_EQ(lint({}), Findings{"0: error: the script is empty: line 1 is reached as a command"});
  EXPECT_EQ(lint({"ITMS,0", "LBHGA", "EXIT"}),
            (Findings{"1: error: ITMS needs field 3 (text)", "2: error: LBHGA needs field 2 (label)",
                      "2: error: LBHGA needs field 3 (text)"}));
  EXPECT_EQ(lint({"LET,5,abc", "LET,40000,1", "LET,F31,1", "LET,31,1", "LET,1,F123", "EXIT"}),
            (Findings{"1: error: field 3 (value) is not a number: \"abc\"",
                      "2: error: field 2 (flag) is outside -32768..32767: \"40000\"",
                      "3: error: field 2 (flag) names flag \"F31\"; flags are F0 to F30",
                      "4: error: flag index 31 is outside 0..30",
                      "5: warning: field 3 (value) reads \"F123\" as flag F12: characters after the third are ignored",
                      "5: warning: F12 is read here but no line writes it, so it is always 0"}));
  EXPECT_EQ(lint({"CMST,10,＊a", "DELCM,0,4", "ITCG,4,x", "LBHGV,3,1", "SOUND,s,6", "BEED,0,1", "EXIT"}),
            (Findings{"1: error: menu 10 is outside 0..9", "2: error: entry 4 is outside 0..3",
                      "3: error: slot 4 is outside 0..3", "4: error: label 3 is outside 0..2",
                      "5: error: play flags 6 include 4 (a sound held in memory), which the game refuses",
                      "6: error: stage 0 is outside 1..204"}));
}

TEST(Lint, JumpsAndTheLinesTheyReach) {
  EXPECT_EQ(lint({"LET,1,1", "IF,F01=01,9", "GOSUB,0", "EXIT"}),
            (Findings{"2: error: line 9 (field 3) is beyond the last line of the script (4)",
                      "3: error: line 0 (field 2) is not a script line"}));
  // That F1 is never written is why the condition is always false: one fault, one finding.
  EXPECT_EQ(lint({"IF,F01=01", "EXIT"}),
            (Findings{"1: error: IF has no field 3 (line): the condition is always false here, and then the game stops "
                      "with an error"}));
  EXPECT_EQ(lint({"IF,01=01", "EXIT"}), Findings{});  // always true: field 3 is never read
  EXPECT_EQ(lint({"RET"}), Findings{"1: error: RET with no GOSUB before it returns to line 0"});
  EXPECT_EQ(lint({"CASE,1", "EXIT"}), Findings{"1: error: CASE runs before any CMSL: it continues at line 0"});
  // Runs of lines nothing reaches are one finding; block words and blank lines are no news.
  EXPECT_EQ(lint({"GOTO,5", "MES,a", "", "MES,b", "LET,7,0", "IF,F07=01,8", "ENDIF", "EXIT", "ENDIF"}),
            (Findings{"2: warning: lines 2 to 4 are never reached",
                      "6: warning: the condition \"F07=01\" is never true here (F7 holds 0): it always continues at "
                      "line 8 and the lines it guards never run"}));
  // A GOSUB's return point is reached through RET; a GOTO to its own line goes on below.
  EXPECT_EQ(lint({"GOSUB,4", "GOTO,2", "EXIT", "RET"}), Findings{});
  // FP and FJ tables: data lines are checked as data, the end line must lie below.
  EXPECT_EQ(lint({"LET,1,1", "FP,1,5", "ok￥", "bad＠99", "ENDFP", "FJ,1,9", "10", "x", "99", "EXIT"}),
            (Findings{"4: error: malformed code in the FP message \"＠99\" at character 4: the colour is outside 0..15",
                      "8: error: the FJ target \"x\" is not a line number",
                      "9: error: the FJ target 99 is beyond the last line of the script (10)"}));
  EXPECT_EQ(lint({"LET,1,1", "FP,1,1", "EXIT"}),
            (Findings{"2: error: FP end line 1 is not below the FP line: the game always stops here with an error"}));
  // An end line that is FP's own line leaves no line to print either.
  EXPECT_EQ(lint({"LET,1,1", "FP,1,2", "EXIT"}),
            (Findings{"2: error: FP end line 2 is not below the FP line: the game always stops here with an error"}));
}

TEST(Lint, JumpsThroughFlagsFollowTheValuesTheFlagCanHold) {
  // One value: the jump is followed like a literal one.
  EXPECT_EQ(lint({"LET,1,4", "GOTO,F01", "MES,never", "EXIT"}), Findings{"3: warning: this line is never reached"});
  // Values beyond the script: an error when none is a line, a warning when some are.
  EXPECT_EQ(lint({"LET,3,50", "GOTO,F03", "EXIT"}),
            Findings{"2: error: the line to continue at comes from F3, which holds 50 here; the script's lines are 1 to 3: "
                     "the game stops with an error"});
  // Too many values to follow: every line that reads as a command is checked, none is unreached.
  std::vector<std::string> script{"INC,1,150,L", "IF,F01}70,1", "GOTO,F01"};
  while (script.size() < 150) script.push_back("EXIT");
  script[99] = "LET,2,x";
  const Findings found = lint(script);
  EXPECT_EQ(found, (Findings{"3: note: this jump's target comes from a flag: every line that reads as a command is "
                             "checked, and no line is reported as never reached",
                             "100: error: field 3 (value) is not a number: \"x\""}));
}

TEST(Lint, Conditions) {
  EXPECT_EQ(lint({"LET,1,1", "LET,2,1", "IF,F01 = 01,4", "IF,F01>=01,5", "EVA,F01F02,6", "EVA,F35=01,7", "IF,&F01=01,8",
                  "IF,F01=,9", "IF,,10", "EXIT"}),
            (Findings{"3: error: the condition \"F01 = 01\" is malformed: unexpected \" \" at character 4",
                      "4: warning: in the condition \"F01>=01\" only the last of the operators \">=\" counts (\"}\" is "
                      "greater or equal, \"{\" less or equal)",
                      "5: error: the condition \"F01F02\" is malformed: two operands without an operator before character 4",
                      "6: error: the condition \"F35=01\" is malformed: flag operand \"F35\" is outside F00..F30",
                      "7: warning: the condition \"&F01=01\" starts with \"&\": it combines with false and is always false",
                      "8: warning: the condition \"F01=\" ends with an incomplete comparison, which is ignored",
                      "9: warning: the condition is empty: it is always false"}));
  // Faults and leftovers the engine reads the same way; an "&" first matters only up to an "#".
  EXPECT_EQ(lint({"LET,1,1", "IF,F01=01F02F03,3", "IF,F01=5&F02=01,4", "IF,&,5", "IF,&F01=01#F01=01,6", "IF,F1=01,7",
                  "EXIT"}),
            (Findings{"2: error: the condition \"F01=01F02F03\" is malformed: two operands without an operator before "
                      "character 10",
                      "3: error: the condition \"F01=5&F02=01\" is malformed: number operand \"5&\" is not two digits",
                      "4: warning: the condition \"&\" holds no comparison: it is always false",
                      "5: warning: the condition \"&F01=01#F01=01\" starts with \"&\": the comparisons before the first "
                      "\"#\" combine with false and count for nothing",
                      "6: error: the condition \"F1=01\" is malformed: flag operand \"F1=\" is not F and two digits"}));
}

TEST(Lint, MessageCodesAndSpeakers) {
  EXPECT_EQ(lint({"MES,＠20赤", "MES,＆Gabc", "MES,＃x1", "MES,abc＠0", "MES,：3誰", "MES,a,b", "ITMS,1,＆", "EXIT"}),
            (Findings{"1: error: malformed code in the message \"＠20赤\" at character 1: the colour is outside 0..15",
                      "2: error: malformed code in the message \"＆Gabc\" at character 1: the speaker is not a hex digit",
                      "3: error: malformed code in the message \"＃x1\" at character 1: the typing speed is not a number",
                      "4: error: malformed code in the message \"＠0\" at character 4: its parameters run past the end "
                      "of the text",
                      "5: warning: speaker 3 is used (：3) but no message names it (＆3)",
                      "6: warning: the message holds an ASCII comma: the text after it is not printed",
                      "7: error: malformed code in the item text \"＆\" at character 1: its parameters run past the end "
                      "of the text"}));
}

TEST(Lint, MenusTheirTextsAndTheirCaseLines) {
  EXPECT_EQ(lint({"CMST,2,＊見る＊話す３移動・＊東＊西＠戻る",
                  "CMSL,2,8",
                  "CASE,200",
                  "MES,a",
                  "CASE,201",
                  "CASE,300",
                  "CASE,300",
                  "ENDCM",  // 8
                  "CMST,8,＊a・＊b＊c＊d＊e＊f",
                  "CMST,9,x＊a",
                  "CMST,9,＊a・＊b",
                  "ADDCM,4,0,見る",
                  "CMSL,5,15",
                  "CASE,1",
                  "ENDCM",
                  "EXIT"}),
            (Findings{"2: error: the menu choice \"西\" (value 301) has no CASE line before the ENDCM at line 8",
                      "7: warning: CASE 300 repeats line 6: this block is never chosen",
                      "9: error: menu 9 gets a fifth entry (a menu has four)",
                      "10: error: the text of menu 9 does not start with a mark (＊, ＠ or ０ to ９)",
                      "11: error: the menu text reaches menu 10 (menus are 0..9)",
                      "12: warning: the entry starts with \"見\", which is no mark: choosing it shows the same menu again",
                      "13: error: menu 5 has no entries here: the player cannot choose anything"}));
  // Without an ENDCM the search needs a CASE line for every choice; with them all it never runs
  // off the end, whatever the end line holds.
  EXPECT_EQ(lint({"CMST,0,＊a", "CMSL,0,4", "CASE,0", "EXIT"}), Findings{});
  EXPECT_EQ(lint({"CMST,0,＊a＊b", "CMSL,0,4", "CASE,0", "EXIT"}),
            Findings{"2: error: the menu choice \"b\" (value 1) has no CASE line below, and no ENDCM ends the search: it "
                     "runs off the end of the script"});
  EXPECT_EQ(lint({"CMST,0,＊a", "CMSL,0,4", "CASE", "ENDCM", "EXIT"}),
            (Findings{"3: error: CASE without a value (field 2): the search of the menu at line 2 stops here with an error"}));
  // An entry added on one path only may be shown: it needs its CASE as well. A CASE value from a
  // flag may match anything, so nothing is missing then.
  EXPECT_EQ(lint({"LET,3,1", "CMST,1,＊a", "IF,F03=01,5", "ADDCM,1,2,＊c", "CMSL,1,8", "CASE,100", "EXIT", "ENDCM"}),
            Findings{"5: error: the menu choice \"c\" (value 102) has no CASE line before the ENDCM at line 8"});
  EXPECT_EQ(lint({"CMST,1,＊a＊b", "LET,3,101", "CMSL,1,6", "CASE,100", "CASE,F03", "ENDCM", "EXIT"}), Findings{});
  // A menu redefined before each CMSL is checked against its own definition.
  EXPECT_EQ(lint({"CMST,1,＊a", "CMSL,1,5", "CASE,100", "CMST,1,＊b＊c", "ENDCM", "CMSL,1,9", "CASE,100", "CASE,101",
                  "ENDCM", "EXIT"}),
            Findings{});
}

TEST(Lint, PicturesSoundsAndStages) {
  std::string unsolvable = stageFile({{"1a"}, {"###", "#1#", "###", "a"}});
  Game game({{"Room.SZG", picture()}, {"broken.szg", "not a picture"}, {"vunt.pdt", unsolvable}});
  std::filesystem::remove(game.dir.path() / "L-batu.wav");
  const Findings found = lint({"GHG,room", "GHGD,nothere", "GHG,broken", "SOUND,nothere,1", "SOUND,nothere,2", "LET,20,1",
                               "SOUND,nothere,F20", "BEED,1,1", "BEED,2,1", "BEED,3,3", "BEED,1,3", "EXIT"},
                              game);
  ASSERT_EQ(found.size(), 10u);
  EXPECT_EQ(found[0], "2: error: the picture \"nothere.szg\" is not in the game directory");
  EXPECT_EQ(found[1].rfind("3: error: the picture \"broken.szg\" cannot be read: not a picture", 0), 0u) << found[1];
  EXPECT_EQ(std::vector<std::string>(found.begin() + 2, found.end()),
            (Findings{"4: warning: the sound \"nothere.wav\" is not in the game directory: the game plays its alert chime "
                      "instead",
                      "7: warning: the sound \"nothere.wav\" is not in the game directory: the game plays its alert chime "
                      "instead",
                      "8: warning: the puzzle's sound \"L-batu.wav\" is not in the game directory",
                      "9: error: the last stage 1 comes before the first stage 2: play would never end there",
                      "10: error: stage 3 is not in vunt.pdt, which holds 2 stages",
                      "11: error: stage 3 is not in vunt.pdt, which holds 2 stages",
                      "11: error: stage 2 of vunt.pdt can never be cleared: the piece of kind 1 at column 1, row 1 can "
                      "reach no goal plate of its kind",
                      "11: warning: stage 2 of vunt.pdt has a goal plate of kind 1 at column 0, row 3 that no piece of its "
                      "kind can reach"}));

  // A wave file the game would refuse: warned once a file, at its first use.
  Game sounds({{"loud.wav", "RIFF junk"}, {"A-CLEAR.wav", "RIFF"}, {"vunt.pdt", stageFile({{"1a"}})}});
  EXPECT_EQ(lint({"SOUND,loud,1", "SOUND,LOUD,1", "LET,20,3", "BEED,1,1", "EXIT"}, sounds),
            (Findings{"1: warning: the sound \"loud.wav\" will not play, the game refuses it: no RIFF WAVE file",
                      "4: warning: the sound \"A-CLEAR.wav\" will not play, the game refuses it: no RIFF WAVE file"}));

  std::string bad = stageFile({{"111111111111", "222222222222", "3333333"}, {"1a"}});
  bad[stageOffset(2) + 5] = 26;
  EXPECT_EQ(lint({"BEED,1,2", "EXIT"}, Game({{"vunt.pdt", bad}})),
            (Findings{"1: error: stage 1 of vunt.pdt has more than 30 pieces",
                      "1: error: stage 2 of vunt.pdt has a cell code above 25"}));
  EXPECT_EQ(lint({"BEED,1,1", "EXIT"}), Findings{"1: error: the stage file \"vunt.pdt\" is not in the game directory"});
}

TEST(Lint, FlagsReadButNeverWritten) {
  EXPECT_EQ(lint({"LET,1,1", "INC,1,3", "FGCL,5,2", "IF,F09=00#F00=01#F20>00#F21=01,5", "LBHGV,0,F08", "EXIT"}),
            (Findings{"3: warning: FGCL from F5 to F2 clears nothing",
                      "4: warning: F9 is read here but no line writes it, so it is always 0",
                      "5: warning: F8 is read here but no line writes it, so it is always 0"}));
  // A write through a flag may write any flag.
  EXPECT_EQ(lint({"LET,1,2", "LET,F01,5", "IF,F02=05,4", "EXIT"}), Findings{});
}

TEST(Lint, TheScriptFileAndTheReport) {
  Game game;
  game.dir.write("VUNT-N.ZAD", "MES,a\r\nGOTOO\r\n");
  std::vector<std::u32string> lines;
  std::vector<Finding> found = lintGame(game.dir.path(), &lines);
  ASSERT_EQ(found.size(), 1u);
  const std::string path = (game.dir.path() / "VUNT-N.ZAD").string();
  EXPECT_EQ(found[0].file, path);
  EXPECT_EQ(found[0].line, 2);

  std::filesystem::remove(game.dir.path() / "VUNT-N.ZAD");
  found = lintGame(game.dir.path(), &lines);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(formatFinding(found[0], U""), (game.dir.path() / "vunt-n.zad").string() +
                                              ": error: cannot read the script\n"
                                              "  hint: a game directory holds its script as \"vunt-n.zad\"\n");

  std::vector<std::string> long_(1001, "DO");
  long_[999] = "EXIT";
  EXPECT_EQ(lint(long_), Findings{"1001: error: the script has 1001 lines; the game reads at most 1000"});
}
