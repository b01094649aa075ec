// The command menu through the headless host: which labels show, which CASE block runs after a
// choice (EOF and EXIT tell the blocks apart), and the menu errors.
#include <gtest/gtest.h>

#include "harness.hpp"
#include "script/menu_text.hpp"

using namespace vunt;
using namespace vunt::test;

TEST(MenuText, MarksStartEntriesAndTheDotStartsTheNextMenu) {
  auto parsed = parseMenuText(2, U"＊見る＊話す３移動・＊東＊西＠戻る");
  auto& menus = std::get<std::vector<MenuTextMenu>>(parsed);
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].menu, 2);
  EXPECT_EQ(menus[0].entries[0], U"＊見る");
  EXPECT_EQ(menus[0].entries[1], U"＊話す");
  EXPECT_EQ(menus[0].entries[2], U"３移動");
  EXPECT_EQ(menus[0].entries[3], U"");
  EXPECT_EQ(menus[1].menu, 3);
  EXPECT_EQ(menus[1].entries[2], U"＠戻る");
  // A label cannot hold a mark: "１" starts a new entry.
  EXPECT_EQ(std::get<std::vector<MenuTextMenu>>(parseMenuText(0, U"＊部屋１号")).front().entries[1], U"１号");
}

TEST(MenuText, LimitsAreErrors) {
  auto kind = [](int first, std::u32string_view text) {
    auto parsed = parseMenuText(first, text);
    return std::holds_alternative<MenuTextError>(parsed) ? int(std::get<MenuTextError>(parsed).kind) : -1;
  };
  EXPECT_EQ(kind(10, U"＊A"), MenuTextError::MenuOutOfRange);
  EXPECT_EQ(kind(-1, U"＊A"), MenuTextError::MenuOutOfRange);
  EXPECT_EQ(kind(9, U"＊A・＊B"), MenuTextError::MenuOutOfRange);
  EXPECT_EQ(kind(0, U"＊A＊B＊C＊D＊E"), MenuTextError::TooManyEntries);
  EXPECT_EQ(kind(0, U"A＊B"), MenuTextError::TextBeforeMark);
  EXPECT_EQ(kind(0, U"＊A・B"), MenuTextError::TextBeforeMark);
  EXPECT_EQ(kind(0, U""), -1);
  EXPECT_EQ(markKind(U'＠'), MarkKind::Back);
  int sub = -1;
  EXPECT_EQ(markKind(U'７', &sub), MarkKind::Submenu);
  EXPECT_EQ(sub, 7);
  EXPECT_EQ(markKind(U'A'), MarkKind::Inert);
}

namespace {
// A menu construct whose CASE blocks end the program: value a with EOF, value b with EXIT.
std::vector<std::string> menuScript(std::vector<std::string> setup, const std::string& cmsl, int a, int b) {
  int n = int(setup.size());
  setup.push_back(cmsl + "," + std::to_string(n + 7));
  setup.push_back("CASE," + std::to_string(a));
  setup.push_back("EOF");
  setup.push_back("CASE," + std::to_string(b));
  setup.push_back("EXIT");
  setup.push_back("DO");
  setup.push_back("ENDCM");
  return setup;
}
}  // namespace

TEST(Menu, ChoiceContinuesAfterTheMatchingCase) {
  Played r = playScript(menuScript({"CMST,2,＊Ａ＊Ｂ"}, "CMSL,2", 200, 201), "label 1\n");
  EXPECT_EQ(r.of("menu"), std::vector<std::string>{"Ａ|Ｂ||"});
  EXPECT_EQ(r.last("end"), "EXIT");
  r = playScript(menuScript({"CMST,2,＊Ａ＊Ｂ"}, "CMSL,2", 200, 201), "label 0\n");
  EXPECT_EQ(r.last("end"), "EOF");
}

TEST(Menu, NonEmptyEntriesPackIntoTheFirstLabels) {
  Played r = playScript(menuScript({"ADDCM,3,1,＊X", "ADDCM,3,3,＊Y"}, "CMSL,3", 301, 303), "label 1\n");
  EXPECT_EQ(r.of("menu"), std::vector<std::string>{"X|Y||"});
  EXPECT_EQ(r.last("end"), "EXIT");
}

TEST(Menu, ClicksOnEmptyLabelsAreNoChoice) {
  Played r = playScript(menuScript({"CMST,2,＊Ａ＊Ｂ"}, "CMSL,2", 200, 201), "label 3\nlabel 2\nclick\nlabel 1\n");
  EXPECT_EQ(r.of("menu").size(), 1u);
  EXPECT_EQ(r.last("end"), "EXIT");
}

TEST(Menu, SubmenuAndBackToTheStartMenu) {
  // Menu 2 opens menu 3; "＠" in menu 3 leads back to menu 2, the start menu.
  Played r = playScript(menuScript({"CMST,2,＊見る３移動・＊東＠戻る"}, "CMSL,2", 200, 300),
                        "label 1\nlabel 1\nlabel 1\nlabel 0\n");
  EXPECT_EQ(r.of("menu"), (std::vector<std::string>{"見る|移動||", "東|戻る||", "見る|移動||", "東|戻る||"}));
  EXPECT_EQ(r.last("end"), "EXIT");
}

TEST(Menu, EntryWithoutMarkShowsTheSameMenuAgain) {
  Played r = playScript(menuScript({"ADDCM,4,0,AB", "ADDCM,4,1,＊C"}, "CMSL,4", 401, 400), "label 0\nlabel 1\n");
  EXPECT_EQ(r.of("menu"), (std::vector<std::string>{"B|C||", "B|C||"}));
  EXPECT_EQ(r.last("end"), "EOF");
}

TEST(Menu, DelcmEmptiesAnEntry) {
  Played r = playScript(menuScript({"CMST,5,＊P＊Q＊R", "DELCM,5,0"}, "CMSL,5", 501, 502), "label 1\n");
  EXPECT_EQ(r.of("menu"), std::vector<std::string>{"Q|R||"});
  EXPECT_EQ(r.last("end"), "EXIT");
}

TEST(Menu, RightButtonToggleEnablesTheEmptyLabels) {
  // The first right press only arms the toggle; the second enables every label. An empty label
  // that no display filled stands for entry 0.
  Played r = playScript(menuScript({"CMST,6,＊P"}, "CMSL,6", 600, 601), "label 3\nrclick\nrclick\nlabel 3\n");
  EXPECT_EQ(r.last("end"), "EOF");
}

TEST(Menu, MissingCaseNamesTheEndcmLine) {
  Played r = playScript({"CMST,2,＊Ａ＊Ｂ", "CMSL,2,6", "CASE,200", "EOF", "DO", "ENDCM"}, "label 1\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\tCASE 201無し( 6)\\rENDCM");
}

TEST(Menu, CaseBeforeAnyCmslContinuesAtLineZero) {
  EXPECT_EQ(playScript({"CASE,1"}).last("error"), "Zad ERROR\t命令無し( 0)\\r");
}

TEST(Menu, SearchReadsEveryCaseLineItPasses) {
  Played r = playScript({"CMST,2,＊Ａ＊Ｂ", "CMSL,2,6", "CASE", "EOF", "CASE,201", "EXIT", "ENDCM"}, "label 1\n");
  EXPECT_EQ(r.last("error"), "Zad ERROR\t引数無し( 3)\\rCASE");
  // Lines that are no commands are passed over without running.
  r = playScript({"CMST,2,＊Ａ＊Ｂ", "CMSL,2,7", "FOO", "CASE,200", "EOF", "CASE,201", "EXIT", "ENDCM"}, "label 1\n");
  EXPECT_EQ(r.last("end"), "EXIT");
}

TEST(Menu, NestedCmslReplacesTheEndLine) {
  // The inner menu's end line (12) also ends the outer block: the outer CASE,201 line after the
  // inner construct leads to line 12, EXIT, not to the outer ENDCM.
  Played r = playScript({"CMST,1,＊A＊B",   // 1
                         "CMST,2,＊C",      // 2
                         "CMSL,1,13",       // 3
                         "CASE,100",        // 4
                         "CMSL,2,11",       // 5
                         "CASE,200",        // 6
                         "DO",              // 7
                         "ENDCM",           // 8
                         "CASE,101",        // 9: ends the outer block 100: continue at MenuEndLine
                         "EOF",             // 10
                         "EXIT",            // 11
                         "FOO",             // 12
                         "ENDCM"},          // 13
                        "label 0\nlabel 0\n");
  EXPECT_EQ(r.of("menu"), (std::vector<std::string>{"A|B||", "C|||"}));
  EXPECT_EQ(r.last("end"), "EXIT");
}

TEST(Menu, LimitsBrokenByTheScriptAreReported) {
  EXPECT_EQ(playScript({"CMST,10,＊A"}).last("error"), "Zad ERROR\tメニュー範囲外( 1)\\rCMST,10,＊A");
  EXPECT_EQ(playScript({"CMST,0,＊A＊B＊C＊D＊E"}).last("error"), "Zad ERROR\t項目範囲外( 1)\\rCMST,0,＊A＊B＊C＊D＊E");
  EXPECT_EQ(playScript({"CMST,0,A＊B"}).last("error"), "Zad ERROR\tメニュー文字列( 1)\\rCMST,0,A＊B");
  EXPECT_EQ(playScript({"ADDCM,0,4,＊A"}).last("error"), "Zad ERROR\t項目範囲外( 1)\\rADDCM,0,4,＊A");
  EXPECT_EQ(playScript({"DELCM,-1,0"}).last("error"), "Zad ERROR\tメニュー範囲外( 1)\\rDELCM,-1,0");
  EXPECT_EQ(playScript({"CMSL,12,3"}).last("error"), "Zad ERROR\tメニュー範囲外( 1)\\rCMSL,12,3");
  // A search that never meets ENDCM stops at the end of the store.
  EXPECT_EQ(playScript({"CMST,2,＊Ａ", "CMSL,2,3"}, "label 0\n").last("error"), "Zad ERROR\t行範囲外( 1000)\\r");
}

TEST(Menu, LabelsHideAfterTheChoice) {
  GameDir dir;
  dir.script(menuScript({"CMST,2,＊Ａ"}, "CMSL,2", 200, 201));
  std::ostringstream out;
  HeadlessHost host(events("label 0\n"), out);
  Vunt game(host, dir.path());
  EXPECT_EQ(host.run(game), 0);
  for (Control* label : game.Label1) {
    EXPECT_FALSE(label->visible());
    EXPECT_FALSE(label->enabled());
  }
  EXPECT_FALSE(game.LBcm.visible());
  EXPECT_EQ(game.script.menu.MenuState, 0);
}

TEST(Menu, ChoicesInMenuZeroSetF0AndPrintTheItemTextFirst) {
  // Every choice in menu 0, whatever its mark, sets F0 and prints its item text; menu 1's do not.
  Played r = playScript(menuScript({"ITMS,0,鍵だ。￥", "ITMS,1,地図だ。￥", "CMST,0,＊鍵１地図", "CMST,1,＊戻る"},
                                   "CMSL,0", 0, 100),
                        "label 1\nclick\nlabel 0\n");
  EXPECT_EQ(r.of("menu"), (std::vector<std::string>{"鍵|地図||", "戻る|||"}));
  EXPECT_EQ(r.of("page"), std::vector<std::string>{"　　　　　地図だ。"});
  EXPECT_EQ(r.last("end"), "EXIT");
  EXPECT_EQ(r.last("flags").substr(0, 2), "1 ");
}
