// The main window's controls against the design table: names, indices, parents, rectangles and
// start properties, and the input routing that depends on them.
#include <gtest/gtest.h>

#include <sstream>

#include "harness.hpp"
#include "shell/layout.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

struct Expected {
  const char* name;
  int index;
  const char* parent;
  Rect rect;
  bool visible, enabled;
  Colour back;
  Colour fore;
  const char32_t* caption;
};

}  // namespace

TEST(Layout, ControlsMatchTheDesignTableInCreationOrder) {
  const Expected table[] = {
      {"Picture1", -1, nullptr, {0, 0, 440, 320}, true, true, rgb(64, 64, 64), rgb(0, 0, 0), U""},
      {"Label1", 0, "Picture1", {16, 296, 97, 17}, true, false, rgb(64, 64, 64), rgb(255, 255, 0), U""},
      {"Label1", 1, "Picture1", {120, 296, 97, 17}, true, false, rgb(64, 64, 64), rgb(255, 255, 0), U""},
      {"Label1", 2, "Picture1", {224, 296, 97, 17}, true, false, rgb(64, 64, 64), rgb(255, 255, 0), U""},
      {"Label1", 3, "Picture1", {328, 296, 97, 17}, true, false, rgb(64, 64, 64), rgb(255, 255, 0), U""},
      {"LBcm", -1, "Picture1", {40, 304, 57, 9}, false, false, rgb(0, 128, 0), rgb(0, 255, 0), U""},
      {"MES", -1, nullptr, {0, 320, 440, 64}, true, true, rgb(192, 255, 255), rgb(0, 0, 0), U""},
      {"panel", -1, nullptr, {454, 40, 160, 160}, false, true, rgb(0, 0, 0), rgb(0, 0, 0), U""},
      {"Label3", -1, nullptr, {384, 232, 57, 17}, true, true, rgb(255, 128, 255), rgb(0, 0, 0), U"ステージ"},
      {"Label2", -1, nullptr, {384, 152, 57, 17}, true, true, rgb(255, 128, 255), rgb(0, 0, 0), U"チャンス"},
      {"LBHG", 2, nullptr, {384, 248, 57, 41}, true, true, rgb(255, 255, 128), rgb(0, 0, 255), U"0"},
      {"LBHG", 1, nullptr, {384, 168, 57, 41}, true, true, rgb(255, 255, 128), rgb(255, 0, 0), U"0"},
      {"LBHG", 0, nullptr, {56, 96, 257, 105}, true, true, rgb(0, 0, 0), rgb(255, 0, 0), U"失敗"},
  };
  Form form(mainWindowDesign(), mainWindowControls());
  EXPECT_EQ(form.caption(), U"Vunt");
  EXPECT_EQ(form.width(), 440);
  EXPECT_EQ(form.height(), 384);
  EXPECT_EQ(form.back(), rgb(128, 128, 255));
  ASSERT_EQ(form.controls().size(), std::size(table));
  for (std::size_t i = 0; i < std::size(table); ++i) {
    const Expected& e = table[i];
    const Control& c = *form.controls()[i];
    SCOPED_TRACE(std::string(e.name) + "(" + std::to_string(e.index) + ")");
    EXPECT_EQ(c.name(), e.name);
    EXPECT_EQ(c.index(), e.index);
    EXPECT_EQ(c.parent() ? c.parent()->name() : std::string(), e.parent ? e.parent : "");
    EXPECT_EQ(c.rect().x, e.rect.x);
    EXPECT_EQ(c.rect().y, e.rect.y);
    EXPECT_EQ(c.rect().w, e.rect.w);
    EXPECT_EQ(c.rect().h, e.rect.h);
    EXPECT_EQ(c.visible(), e.visible);
    EXPECT_EQ(c.enabled(), e.enabled);
    if (!c.transparent()) {
      EXPECT_EQ(c.back(), e.back);
    }
    EXPECT_EQ(c.fore(), e.fore);
    EXPECT_EQ(c.caption(), e.caption);
  }
  EXPECT_TRUE(form.control("LBHG", 0).transparent());
  EXPECT_TRUE(form.control("LBHG", 0).font().underline);
  EXPECT_EQ(form.control("LBHG", 0).font().points, 72);
  EXPECT_EQ(form.control("Label1", 2).font().name, U"ＭＳ 明朝");
  EXPECT_TRUE(form.control("Label1", 2).font().bold);
  EXPECT_EQ(form.control("MES").units(), Units::Points);
  EXPECT_EQ(form.control("MES").mouseIcon(), PointerImage::Keyboard);
  EXPECT_EQ(form.control("Picture1").mouseIcon(), PointerImage::Click);
}

TEST(Layout, MessageAreaIsThirtyThreeCellsByFourRowsAtTenPoints) {
  Form form(mainWindowDesign(), mainWindowControls());
  Control& mes = form.control("MES");
  mes.setFontSize(10);
  EXPECT_EQ(int(mes.scaleWidth() / mes.font().points), 33);
  EXPECT_EQ(int(mes.scaleHeight() / mes.font().points) - 1, 3);
}

TEST(Layout, ScriptModeCoversTheWindowsOwnLabels) {
  Form form(mainWindowDesign(), mainWindowControls());
  Surface frame = form.compose();
  // Where LBHG(1) and Label2 lie, Picture1's grey shows.
  EXPECT_EQ(frame.pixel(390, 180), rgb(64, 64, 64));
  EXPECT_EQ(frame.pixel(5, 5), rgb(64, 64, 64));
  EXPECT_EQ(frame.pixel(5, 330), rgb(192, 255, 255));
  form.control("Picture1").setVisible(false);
  form.control("MES").setVisible(false);
  frame = form.compose();
  EXPECT_EQ(frame.pixel(386, 170), rgb(255, 255, 128));  // LBHG(1)'s background
  EXPECT_EQ(frame.pixel(5, 5), rgb(128, 128, 255));      // the bare window
}

TEST(Input, ClicksGoToTheTopmostEnabledControl) {
  GameDir dir;
  dir.script({"EOF"});
  std::ostringstream out;
  HeadlessHost host({}, out);
  Vunt game(host, dir.path());
  Rect label = game.Label1[1]->formRect();
  int lx = label.x + label.w / 2, ly = label.y + label.h / 2;

  // A disabled menu label passes the click to Picture1: a click, not a choice.
  game.script.menu.MenuChoice = 99;
  game.script.message.ClickFlag = 0;
  game.click(lx, ly);
  EXPECT_EQ(game.script.menu.MenuChoice, 99);
  EXPECT_EQ(game.script.message.ClickFlag, 2);

  game.Label1[1]->setEnabled(true);
  game.script.message.ClickFlag = 0;
  game.click(lx, ly);
  EXPECT_EQ(game.script.menu.MenuChoice, 1);
  EXPECT_EQ(game.script.message.ClickFlag, 0);

  game.click(10, 350);  // MES
  EXPECT_EQ(game.script.message.ClickFlag, 2);

  // Space counts as a click outside the puzzle; other keys never do.
  game.script.message.ClickFlag = 0;
  game.keyDown(vk::Return, 0);
  game.keyDown(vk::Left, 0);
  EXPECT_EQ(game.script.message.ClickFlag, 0);
  game.keyDown(vk::Space, 0);
  EXPECT_EQ(game.script.message.ClickFlag, 2);
  game.script.message.ClickFlag = 0;
  game.puzzle.PuzzleActive = 1;
  game.keyDown(vk::Space, 0);
  EXPECT_EQ(game.script.message.ClickFlag, 0);

  // With Picture1 and MES hidden, the bare window takes the click.
  game.puzzle.PuzzleActive = 0;
  game.Picture1.setVisible(false);
  game.MES.setVisible(false);
  game.click(10, 350);
  EXPECT_EQ(game.script.message.ClickFlag, 2);
}

TEST(Input, ClosingTheWindowEndsTheProgramWithoutRunningMoreLines) {
  GameDir dir;
  dir.script({"EOF"});
  std::ostringstream out;
  HeadlessHost host({}, out);
  Vunt game(host, dir.path());
  try {
    game.close();
    FAIL() << "close returned";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.how, "close");
    EXPECT_EQ(end.status, 0);
  }
}
