// The linter's flow and value analysis, its encoding and stage checks and its reports: for each
// capability a broken game that must be caught and a correct one that must pass.
#include <gtest/gtest.h>

#include <random>

#include "authoring/encoding_check.hpp"
#include "authoring/finding.hpp"
#include "authoring/flag_ranges.hpp"
#include "authoring/flow.hpp"
#include "authoring/lint.hpp"
#include "authoring/solver_budget.hpp"
#include "authoring/stage_check.hpp"
#include "harness.hpp"
#include "platform/game_files.hpp"
#include "script/script_store.hpp"
#include "stage_builder.hpp"
#include "text/text.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// A short, plain PCM wave file that the game plays.
std::string tinyWave() { return *readWholeFile(std::filesystem::path(VUNT_TEST_DATA) / "tiny.wav"); }

struct Game {
  GameDir dir;
  explicit Game(const std::string& stages = "") {
    for (const char* s : {"A-PUZ1.wav", "A-PUZ2.wav", "A-CLEAR.wav", "L-MISS.wav", "L-batu.wav"}) dir.write(s, tinyWave());
    if (!stages.empty()) dir.write("vunt.pdt", stages);
  }
};

// "LINE: severity" of each finding, and the messages, for a script.
std::vector<Finding> findings(const std::vector<std::string>& script, const Game& game = Game(),
                              const LintOptions& options = {}) {
  std::vector<std::u32string> lines;
  for (const std::string& l : script) lines.push_back(fromUtf8(l));
  return lintScript(lines, game.dir.path(), "vunt-n.zad", options);
}
std::vector<std::string> where(const std::vector<Finding>& found) {
  std::vector<std::string> out;
  for (const Finding& f : found) out.push_back(std::to_string(f.line) + ": " + std::string(severityName(f.severity)));
  return out;
}
std::vector<std::string> where(const std::vector<std::string>& script, const Game& game = Game()) {
  return where(findings(script, game));
}
using Where = std::vector<std::string>;

}  // namespace

// The flow analysis joins flag states two ranges at a time in vector registers: the result and
// the "changed" answer must be those of Range::join, flag by flag, empty ranges of every spelling
// included (an empty range joined keeps the other's spelling, which counts as a change).
TEST(FlagRanges, JoiningStatesIsRangeJoinOnEveryFlag) {
  std::mt19937 rng(515);
  auto range = [&] {
    switch (rng() % 5) {
      case 0: return Range{};
      case 1: return Range{int(rng() % 7) - 3, int(rng() % 7) - 5};  // empty or not
      case 2: return Range::of(int(rng() % 5) - 2);
      case 3: return Range::all();
      default: return Range{kMinValue + int(rng() % 3), kMaxValue - int(rng() % 3)};
    }
  };
  for (int trial = 0; trial < 20000; ++trial) {
    FlagState a, b;
    for (Range& r : a) r = range();
    for (Range& r : b) r = trial % 7 == 0 ? a[std::size_t(&r - b.data())] : range();
    FlagState expected = a;
    bool changed = false;
    for (std::size_t f = 0; f < a.size(); ++f) {
      expected[f] = a[f].join(b[f]);
      changed |= !(expected[f] == a[f]);
    }
    FlagState joined = a;
    ASSERT_EQ(joinInto(joined, b), changed) << trial;
    ASSERT_EQ(joined, expected) << trial;
  }
}

TEST(LintFlow, TheSingleReturnLine) {
  // A GOSUB inside a subroutine replaces the return line: the outer RET goes astray.
  const auto found = findings({"GOSUB,4", "MES,おわり￥", "EXIT", "GOSUB,7", "RET", "EXIT", "MES,中￥", "RET"});
  ASSERT_EQ(where(found), Where{"5: error"});
  EXPECT_NE(found[0].message.find("returns to line 5, set by the GOSUB at line 4"), std::string::npos);
  // A subroutine that runs on into the next one.
  EXPECT_EQ(where({"GOSUB,5", "GOSUB,7", "MES,a￥", "EXIT", "MES,b￥", "LET,1,1", "MES,c￥", "RET"}), Where{"6: warning"});
  // One subroutine called from two places returns to each.
  EXPECT_EQ(where({"GOSUB,5", "GOSUB,5", "MES,a￥", "EXIT", "MES,b￥", "RET"}), Where{});
}

TEST(LintFlow, TheSingleMenuEndLine) {
  // The outer block's CASE line runs after the inner menu: it continues at the inner end line.
  EXPECT_EQ(where({"CMST,0,＊東＊西", "CMST,1,＊はい＊いいえ", "CMSL,0,12", "CASE,0", "CMSL,1,9", "CASE,100", "MES,a￥",
                   "CASE,101", "MES,b￥", "CASE,1", "MES,c￥", "ENDCM", "EXIT"}),
            Where{"5: warning"});  // at the inner menu, which replaces the end line
  // Nested menus whose CASE lines belong to the inner menu, each block ending where it should.
  EXPECT_EQ(where({"CMST,0,＊東＊西", "CMST,1,＊はい＊いいえ", "CMSL,0,11", "CASE,1", "MES,西￥", "CASE,0", "CMSL,1,11",
                   "CASE,100", "MES,はい￥", "CASE,101", "ENDCM", "EXIT"}),
            Where{});
}

TEST(LintFlow, TablesAgainstTheValuesTheirFlagReaches) {
  // INC wraps F5 through 1..4, the table has lines for 1..3 (its end line is the third).
  const std::vector<std::string> table{"LET,5,0", "INC,5,4,L", "FP,5,6", "一￥", "二￥", "ENDFP", "IF,F05^04,9", "GOTO,2", "EXIT"};
  EXPECT_EQ(where(table), Where{"3: warning"});
  std::vector<std::string> fits = table;
  fits[1] = "INC,5,2,L";
  fits[6] = "IF,F05^02,9";
  EXPECT_EQ(where(fits), Where{});
  EXPECT_EQ(where({"LET,5,5", "FP,5,4", "あ￥", "ENDFP", "EXIT"}), Where{"2: error"});
  // A menu answer in F0 is 0 or 1 here: FJ's table starts at 1.
  EXPECT_EQ(where({"CMST,0,＊Ａ＊Ｂ", "CMSL,0,5", "CASE,0", "CASE,1", "ENDCM", "FJ,0,8", "9", "10", "MES,Ａ￥", "EXIT"}),
            Where{"6: warning"});
}

TEST(LintFlow, FieldsFromFlagsAgainstTheirBounds) {
  EXPECT_EQ(where({"LET,1,4", "ITMS,F01,x", "LET,2,3", "LBHGA,F02,x", "LET,3,31", "LET,F03,5", "LET,4,4", "SOUND,s,F04",
                   "EXIT"}),
            (Where{"2: error", "4: error", "6: error", "8: error", "8: warning"}));  // 8: the sound is missing too
  // BEED's stages from flags: zero is no stage, 2 is not in a file of one stage; 1 is fine.
  const std::string one = stageFile({{"1a"}});
  EXPECT_EQ(where({"LET,2,0", "BEED,F02,F02", "EXIT"}, Game(one)), (Where{"2: error", "2: error"}));
  EXPECT_EQ(where({"LET,2,2", "BEED,F02,F02", "EXIT"}, Game(one)), Where{"2: error"});
  EXPECT_EQ(where({"LET,20,3", "LET,2,1", "BEED,F02,F02", "IF,F21=01,6", "EXIT", "EXIT"}, Game(one)), Where{});
}

TEST(LintFlow, IncWithoutModeAndIfWithoutLineOnlyWhereTheyCanFail) {
  EXPECT_EQ(where({"LET,3,0", "INC,3,2", "INC,3,2", "INC,3,2", "EXIT"}), Where{"4: error"});
  EXPECT_EQ(where({"LET,3,0", "INC,3,10", "INC,3,10", "LBHGV,1,F03", "EXIT"}), Where{});
  EXPECT_EQ(where({"LET,1,1", "IF,F01=01", "MES,ok￥", "EXIT"}), Where{});
  EXPECT_EQ(where({"CMST,0,＊Ａ＊Ｂ", "CMSL,0,4", "CASE,0", "CASE,1", "ENDCM", "IF,F00=01", "EXIT"}), Where{"6: warning"});
}

TEST(LintFlow, LoopsThatNeverWaitAndNeverEnd) {
  EXPECT_EQ(where({"MES,a￥", "DO", "LET,2,1", "LOOP,2"}), Where{"2: error"});
  // The exit needs F1 at 0, but INC wraps it to 1.
  EXPECT_EQ(where({"LET,1,5", "DO", "INC,1,9,L", "IF,F01^00,6", "GOTO,2", "EXIT"}), Where{"2: error"});
  EXPECT_EQ(where({"LET,1,0", "DO", "INC,1,3,S", "IF,F01^03,6", "LOOP,2", "EXIT"}), Where{});
  // A loop that waits for the player is a game's main loop.
  EXPECT_EQ(where({"CMST,0,＊続ける＊終わる", "CMSL,0,7", "CASE,0", "MES,また￥", "GOTO,2", "CASE,1", "ENDCM", "EXIT"}), Where{});
}

TEST(LintFlow, OneReportPerFault) {
  // Lines below a fault that stops the game are not called unreached.
  EXPECT_EQ(where({"MES,a￥", "FOO", "MES,b￥", "EXIT"}), Where{"2: error"});
  EXPECT_EQ(where({"MES,a￥", "GOTO", "MES,b￥", "EXIT"}), Where{"2: error"});
  // A faulty menu text is the news, not the empty menu it leaves.
  EXPECT_EQ(where({"CMST,0,はい＊いいえ", "CMSL,0,5", "CASE,0", "CASE,1", "ENDCM", "EXIT"}), Where{"1: error"});
}

TEST(LintFlow, NearMissWordsAndHints) {
  const auto found = findings({"MSE,a￥", "EXIT"});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].column, 1);
  EXPECT_EQ(found[0].width, 3);
  EXPECT_EQ(found[0].hint, "did you mean MES? (MES,text)");
  EXPECT_EQ(findings({"XYZZY", "EXIT"})[0].hint, "a line reached as a command starts with one of the 40 command words");
}

TEST(LintReport, CaretUnderTheFaultAndJson) {
  Finding f{Finding::Error, "g/vunt-n.zad", 3, 4, 2, "bad", "fix it"};
  // Full-width characters take two cells, so the caret sits under the fault.
  EXPECT_EQ(formatFinding(f, U"あい,XY"),
            "g/vunt-n.zad:3:4: error: bad\n 3 | あい,XY\n   |      ^~\n  hint: fix it\n");
  Finding w{Finding::Warning, "a\"b", 0, 0, 1, "line\none", ""};
  EXPECT_EQ(findingsJson(std::vector<Finding>{w}),
            "[\n {\"file\": \"a\\\"b\", \"line\": 0, \"column\": 0, \"severity\": \"warning\", \"message\": \"line\\none\", "
            "\"hint\": \"\"}\n]\n");
  EXPECT_EQ(findingsJson(std::vector<Finding>{}), "[]\n");
}

TEST(LintEncoding, ThirdEncodingsAreCaught) {
  // "こんにちは" in EUC-JP, in UTF-16, Latin-1 accents, and UTF-8 read as Windows-1252 and saved again.
  EXPECT_TRUE(checkEncoding("MES,\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF\r\nEXIT\r\n"));
  EXPECT_TRUE(checkEncoding(std::string("\xFF\xFEM\0E\0S\0", 8))->fatal);
  EXPECT_TRUE(checkEncoding("MES,caf\xE9 au lait\r\n"));
  EXPECT_TRUE(checkEncoding("MES,\xC3\xA3\xC2\x81\xE2\x80\x9C\xC3\xA3\xC2\x82\xE2\x80\x9C\r\n"));
  // Code page 932, UTF-8 with and without its mark.
  EXPECT_FALSE(checkEncoding("MES,\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81\x8F\r\nEXIT\r\n"));
  EXPECT_FALSE(checkEncoding("MES,\xE3\x81\x93\xE3\x82\x93\r\n"));
  EXPECT_FALSE(checkEncoding("\xEF\xBB\xBFMES,caf\xC3\xA9\r\n"));
}

TEST(LintStages, EmptyStagesUnreachableGoalsAndTheSolversLimit) {
  EXPECT_EQ(stageFaults(decoded({"....", "...."})).size(), 1u);
  // A piece walled in reaches no goal; a plate of kind 2 with no piece of kind 2 is no news.
  const auto walled = stageFaults(decoded({"###", "#1#", "###", "....a...b"}));
  ASSERT_EQ(walled.size(), 2u);
  EXPECT_TRUE(walled[0].certain);
  EXPECT_FALSE(walled[1].certain);  // the plate of kind 1 nobody reaches
  EXPECT_TRUE(stageFaults(decoded({"1..a"})).empty());
  // Two pieces of a kind need two plates of it.
  EXPECT_TRUE(stageFaults(decoded({"11.a"}))[0].certain);

  // The solver's limit: a stage it cannot settle within it is unproven, a warning.
  const std::string stages = stageFile({{".1..a", "2...b", "#..#", ".3.c"}});
  LintOptions tiny;
  tiny.solverStates = 3;
  const auto found = findings({"LET,20,3", "BEED,1,1", "EXIT"}, Game(stages), tiny);
  ASSERT_EQ(where(found), Where{"2: warning"});
  EXPECT_NE(found[0].message.find("unproven within 3 states"), std::string::npos);
  EXPECT_EQ(where(findings({"LET,20,3", "BEED,1,1", "EXIT"}, Game(stages))), Where{});
}

TEST(LintStages, TheSolversLimitIsSharedByAllStagesOfTheGame) {
  // Ten stages the solver cannot settle within 3 states: four searches use the game's budget,
  // and the rest are said to be unproven once, without a search each.
  const StagePicture hard = {".1..a", "2...b", "#..#", ".3.c"};
  const std::string stages = stageFile(std::vector<StagePicture>(10, hard));
  LintOptions tiny;
  tiny.solverStates = 3;
  const auto found = findings({"LET,20,3", "BEED,1,10", "EXIT"}, Game(stages), tiny);
  ASSERT_EQ(found.size(), SolverBudget::kStageBudgetsPerGame + 1);
  for (std::size_t i = 0; i < SolverBudget::kStageBudgetsPerGame; ++i)
    EXPECT_NE(found[i].message.find("unproven within"), std::string::npos) << found[i].message;
  EXPECT_NE(found.back().message.find("stage 5 of vunt.pdt and the later stages of this line are unproven"),
            std::string::npos)
      << found.back().message;
}

TEST(LintFlow, BeedLeavesItsResultInF21AndTheStageInF20) {
  const std::vector<std::u32string> lines{U"LET,20,12", U"BEED,1,1", U"EXIT", U"BEED,1,1", U"EXIT"};
  FlowAnalysis flow(lines);
  flow.run();
  EXPECT_EQ(flow.flagAt(3, 21), (Range{0, 1}));  // lost or cleared, nothing else
  EXPECT_EQ(flow.flagAt(3, 20), (Range{1, 12}));
  EXPECT_EQ(flow.flagAt(2, 21), Range::of(0));
}

TEST(FlagRanges, ConditionsOnRangesAndTheirNarrowing) {
  FlagState s = startFlags();
  s[1] = Range{0, 3};
  auto cond = [](const char32_t* e) { return *RangeCondition::parse(e); };
  EXPECT_EQ(cond(U"F01=05").evaluate(s), Truth::False);
  EXPECT_EQ(cond(U"F01{03").evaluate(s), Truth::True);
  EXPECT_EQ(cond(U"F01=02").evaluate(s), Truth::Either);
  EXPECT_EQ(cond(U"F01=02#F02=00").evaluate(s), Truth::True);
  EXPECT_EQ(cond(U"&F01=02").evaluate(s), Truth::False);  // "&" first combines with false
  EXPECT_FALSE(RangeCondition::parse(U"F01 = 02"));
  FlagState t = s;
  ASSERT_TRUE(cond(U"F01>01").narrow(t, true));
  EXPECT_EQ(t[1], (Range{2, 3}));
  t = s;
  ASSERT_TRUE(cond(U"01<F01&F01^03").narrow(t, true));
  EXPECT_EQ(t[1], Range::of(2));
  t = s;
  ASSERT_TRUE(cond(U"F01^00").narrow(t, false));
  EXPECT_EQ(t[1], Range::of(0));
  // A flag compared with a flag of one value narrows as with a number.
  t = s;
  t[2] = Range::of(3);
  ASSERT_TRUE(cond(U"F01^F02").narrow(t, true));
  EXPECT_EQ(t[1], (Range{0, 2}));
  EXPECT_FALSE(cond(U"F01>05").narrow(t, true));
}

// Every operator on every pair of small ranges, against all the pairs of values they hold: the
// comparison is True or False only when every pair agrees, and narrowing keeps exactly the span of
// the values that give the branch's result.
TEST(FlagRanges, ComparisonsAtTheEdgesOfRangesAgreeWithEveryPairOfValues) {
  std::vector<Range> ranges;
  for (int lo = -2; lo <= 2; ++lo)
    for (int hi = lo; hi <= 2; ++hi) ranges.push_back(Range{lo, hi});
  auto holds = [](char32_t op, int a, int b) {
    switch (op) {
      case U'=': return a == b;
      case U'^': return a != b;
      case U'>': return a > b;
      case U'<': return a < b;
      case U'}': return a >= b;
      default: return a <= b;
    }
  };
  for (char32_t op : std::u32string(U"=^><}{")) {
    const RangeCondition c = *RangeCondition::parse(std::u32string(U"F01") + op + U"F02");
    for (const Range& a : ranges)
      for (const Range& b : ranges) {
        FlagState s = startFlags();
        s[1] = a;
        s[2] = b;
        bool some = false, all = true;
        for (int x = a.lo; x <= a.hi; ++x)
          for (int y = b.lo; y <= b.hi; ++y) {
            some = some || holds(op, x, y);
            all = all && holds(op, x, y);
          }
        const Truth want = all ? Truth::True : some ? Truth::Either : Truth::False;
        const std::string what = toUtf8(std::u32string(1, op)) + " on " + std::to_string(a.lo) + ".." +
                                 std::to_string(a.hi) + " and " + std::to_string(b.lo) + ".." + std::to_string(b.hi);
        EXPECT_EQ(c.evaluate(s), want) << what;
        if (!b.single()) continue;
        for (bool result : {true, false}) {
          Range kept;
          for (int x = a.lo; x <= a.hi; ++x)
            if (holds(op, x, b.lo) == result) kept = kept.join(Range::of(x));
          FlagState t = s;
          EXPECT_EQ(c.narrow(t, result), !kept.empty()) << what << " narrowed to " << result;
          if (!kept.empty()) {
            EXPECT_EQ(t[1], kept) << what << " narrowed to " << result;
          }
        }
      }
  }
}

TEST(LintFlow, ScriptsWithVeryManyWaysThroughThemStillLint) {
  // Each menu may set F1, which is compared with F2: followed value by value, the points would
  // multiply past the analysis' bound, which then stops keeping F1's values apart.
  std::vector<std::string> script{"LET,2,7", "CMST,0,＊a＊b"};
  for (int i = 1; i <= 150; ++i) {
    const int at = int(script.size()) + 1;
    for (const std::string& l : {"CMSL,0," + std::to_string(at + 4), std::string("CASE,0"), "LET,1," + std::to_string(i),
                                 std::string("CASE,1"), std::string("ENDCM")})
      script.push_back(l);
  }
  script.push_back("IF,F01=F02," + std::to_string(script.size() + 3));
  script.push_back("MES,a￥");
  script.push_back("EXIT");
  EXPECT_EQ(where(script), Where{});
}

TEST(LintFlow, AScriptWithTooManyWaysStaysWithinTheBoundOfPoints) {
  // Found by fuzzing: after the analysis gave up keeping points apart, its last pass used to make
  // each point it had never reached, and their successors in turn: seconds and a gigabyte and
  // more on a script of 1000 lines.
  const auto bytes = readWholeFile(std::filesystem::path(VUNT_TEST_DATA) / "lint-many-points.zad");
  ASSERT_TRUE(bytes);
  const std::vector<std::u32string> lines = splitScriptLines(decodeScriptText(*bytes));
  FlowAnalysis flow(lines);
  flow.run();
  EXPECT_FALSE(flow.complete());
  EXPECT_LE(flow.points(), FlowAnalysis::kMaxPoints);
}

// Each fault at the line and column that makes it, not where the game shows the symptom.
TEST(LintFlow, FaultsAreReportedWhereTheyAreMade) {
  auto at = [](const std::vector<Finding>& found) {
    std::vector<std::string> out;
    for (const Finding& f : found)
      out.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + " " + std::string(severityName(f.severity)));
    return out;
  };
  // The short speaker name at its "＆", not at the speaker's first use.
  EXPECT_EQ(at(findings({"MES,＠00＆0ユウ＆1タロウ", "MES,：0やあ￥", "MES,：1よう￥", "EXIT"})), Where{"1:8 warning"});
  // A name of four characters leaves its last one printed.
  EXPECT_EQ(at(findings({"MES,＆0ユウキタ＆1ハルカ", "MES,：0やあ￥", "EXIT"})), Where{"1:5 warning"});
  EXPECT_EQ(where(std::vector<std::string>{"MES,＆0ユウキ：0行こう。￥", "EXIT"}), Where{});
  // The submenu mark whose menu nobody fills, in the menu text.
  EXPECT_EQ(at(findings({"CMST,0,＊見る３移動", "CMSL,0,5", "CASE,0", "CASE,300", "ENDCM", "EXIT"})), Where{"1:11 error"});
  EXPECT_EQ(at(findings({"ADDCM,0,0,＊見る", "ADDCM,0,1,４移動", "CMSL,0,6", "CASE,0", "CASE,400", "ENDCM", "EXIT"})),
            Where{"2:11 error"});
  // The jump into an FP table, not the message line the game then fails on.
  EXPECT_EQ(at(findings({"LET,5,1", "GOTO,5", "FP,5,6", "一￥", "二￥", "ENDFP", "EXIT"})), Where{"2:6 error"});
  // A subroutine path without RET: where it runs on, naming the GOSUB.
  // (The second call finds F1 at 2 and takes the path without RET.)
  const auto off = findings({"GOSUB,5", "GOSUB,5", "MES,戻った￥", "EXIT", "INC,1,2,L", "IF,F01=01,8", "RET", "MES,b￥"});
  ASSERT_EQ(where(off), Where{"8: error"});
  EXPECT_NE(off[0].message.find("called by the GOSUB at line 2 has a path without RET"), std::string::npos);
  EXPECT_EQ(where({"GOSUB,5", "GOSUB,5", "MES,戻った￥", "EXIT", "INC,1,2,L", "IF,F01=01,8", "RET", "MES,b￥", "RET"}),
            Where{});
  // Lines shared with the main story that end in RET are no path without one (the RET reached
  // from the story is the news, and the EXIT it never comes back to).
  EXPECT_EQ(where({"GOSUB,4", "GOTO,5", "EXIT", "MES,a￥", "MES,共通￥", "RET"}), (Where{"3: warning", "6: warning"}));
}

TEST(LintFlow, FaultsThatDependOnTheValuesFlagsHold) {
  // A condition never true for the values its flag holds here; one that can be is no news.
  EXPECT_EQ(where({"LET,3,2", "INC,3,3,L", "EVA,F03}04,5", "MES,x￥", "ENDEV", "EXIT"}), Where{"3: warning"});
  EXPECT_EQ(where({"LET,3,3", "INC,3,4,L", "EVA,F03}04,5", "MES,x￥", "ENDEV", "EXIT"}), Where{});
  // FP whose flag picks the end line itself prints "ENDFP": certain is an error, possible a warning.
  EXPECT_EQ(where({"LET,5,2", "FP,5,4", "一￥", "ENDFP", "EXIT"}), Where{"2: error"});
  EXPECT_EQ(where({"CMST,0,＊a＊b", "CMSL,0,5", "CASE,0", "CASE,1", "ENDCM", "LET,5,F00", "INC,5,2,L", "FP,5,10", "一￥",
                   "ENDFP", "EXIT"}),
            Where{"8: warning"});
  // FJ reading its ENDFJ as a target; a flag that stays below it is fine.
  EXPECT_EQ(where({"LET,5,2", "FJ,5,4", "5", "ENDFJ", "EXIT"}), Where{"2: error"});
  EXPECT_EQ(where({"LET,5,1", "FJ,5,4", "5", "ENDFJ", "EXIT"}), Where{});
  // The puzzle with no attempts set.
  const std::string one = stageFile({{"1a"}});
  EXPECT_EQ(where({"BEED,1,1", "EXIT"}, Game(one)), Where{"1: warning"});
  EXPECT_EQ(where({"LET,20,3", "BEED,1,1", "EXIT"}, Game(one)), Where{});
  // A last page with no click wait right before the end, through jumps and flag changes.
  EXPECT_EQ(where({"MES,さようなら", "LET,1,1", "GOTO,4", "EXIT"}), Where{"1: warning"});
  EXPECT_EQ(where(std::vector<std::string>{"MES,さようなら￥", "EXIT"}), Where{});
  EXPECT_EQ(where(std::vector<std::string>{"MES,＆0ユウキ", "EXIT"}), Where{});  // prints nothing
}

TEST(LintFlow, FollowOnFindingsAreLeftOut) {
  // The jump's flag holds 0: that F5 is never written is part of the same fault.
  EXPECT_EQ(where({"MES,a￥", "GOTO,F05", "MES,b￥", "EXIT"}), Where{"2: error"});
  // A BEED that stops the game never plays the puzzle's sounds nor uses its attempts.
  EXPECT_EQ(where(findings({"BEED,0,1", "EXIT"}, Game())), Where{"1: error"});
  // A CMSL ending at a GOTO, every choice with its CASE, is no fault at all.
  EXPECT_EQ(where({"CMST,0,＊一＊二", "CMSL,0,7", "CASE,0", "MES,一￥", "CASE,1", "MES,二￥", "GOTO,8", "EXIT"}), Where{});
}

TEST(LintFlow, CommandWordSlipsAreNamed) {
  // The full-width comma after the word, a blank before it, full-width or lower-case letters.
  const auto comma = findings({"MES，こんにちは￥", "EXIT"});
  ASSERT_EQ(comma.size(), 1u);
  EXPECT_EQ(comma[0].message.rfind("the command word MES is followed by the full-width comma", 0), 0u);
  EXPECT_EQ(comma[0].width, 4);  // "MES，"
  EXPECT_EQ(findings({" MES,a￥", "EXIT"})[0].hint, "start the line with the command word itself; nothing is trimmed");
  EXPECT_EQ(findings({"ＭＥＳ,a￥", "EXIT"})[0].hint, "commands are upper case: MES");
  EXPECT_EQ(findings({"exit"})[0].hint, "commands are upper case: EXIT");
}
