// --record's lines: each input the window hands the game becomes the headless input line that
// reaches the same handler, and the record reads back as headless input.
#include <gtest/gtest.h>

#include <sstream>

#include "harness.hpp"
#include "shell/input_record.hpp"

using namespace vunt;
using namespace vunt::test;

TEST(InputRecord, EachInputBecomesTheHeadlessLineThatReachesTheSameHandler) {
  GameDir dir;
  dir.script({"EOF"});
  std::ostringstream sink;
  HeadlessHost host({}, sink);
  Vunt game(host, dir.path());
  Form& form = game.mainForm();
  game.Label1[2]->setEnabled(true);  // as while a menu waits
  auto centre = [&](const char* name, int index = -1) {
    Rect r = form.control(name, index).formRect();
    return std::pair{r.x + r.w / 2, r.y + r.h / 2};
  };
  std::ostringstream out;
  InputRecorder rec(out);
  auto [mx, my] = centre("MES");
  rec.click(form, mx, my);
  auto [lx, ly] = centre("Label1", 2);
  rec.click(form, lx, ly);
  rec.click(form, 20, 20);                               // the scene picture
  rec.click(form, 1000, 1000);                           // nothing there: the form itself
  rec.mouseDown(form, 20, 20, MouseButton::Right);
  rec.mouseDown(form, 20, 20, MouseButton::Left);        // nothing handles a left press
  for (int key : {vk::Space, vk::Escape, vk::Left, vk::Up, vk::Right, vk::Down, int('A'), 113}) rec.keyDown(key);
  rec.modalClick();
  for (char32_t c : {U' ', char32_t(27), U'\r', U'x', U'あ', char32_t(1)}) rec.modalKeyPress(c);
  rec.modalClose();
  rec.close();
  EXPECT_EQ(out.str(),
            "click\nlabel 2\nclick-picture\nclick-form\nrclick\n"
            "space\nesc\nleft\nup\nright\ndown\nkey 65\nkey 113\n"
            "click\nspace\nesc\nkey 13\nchar x\nchar あ\nclose-picture\nclose\n");
  std::string error;
  auto parsed = parseInputEvents(out.str(), error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->size(), 21u);
}

TEST(InputRecord, ClosingThePictureWindowHeadlessEndsItsWait) {
  GameDir dir;
  dir.write("p.szg", readWholeFile(std::filesystem::path(VUNT_TEST_DATA) / "plain-gif.szg").value());
  dir.script({"GHGD,p", "LET,1,1", "EOF"});
  Played r = play(dir, "close-picture\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.last("flags").substr(0, 3), "0 1");
}
