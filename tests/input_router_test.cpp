// The input router: window input reaches the aids before the game, --record writes only what the
// game consumed at a wait, and the window's input and the headless file's reach the same handlers.
#include <gtest/gtest.h>

#include <sstream>

#include "harness.hpp"
#include "shell/input_record.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {
HostInput key(int code, char32_t character = 0, bool repeat = false, bool atWait = true) {
  HostInput in{HostInput::Kind::KeyDown};
  in.key = code;
  in.character = character;
  in.repeat = repeat;
  in.atPlayerWait = atWait;
  return in;
}
HostInput pointer(HostInput::Kind kind, std::pair<int, int> at, MouseButton button = MouseButton::Left,
                  bool atWait = true) {
  HostInput in{kind};
  in.x = at.first;
  in.y = at.second;
  in.button = button;
  in.atPlayerWait = atWait;
  return in;
}
std::pair<int, int> centre(const Control& c) {
  Rect r = c.formRect();
  return {r.x + r.w / 2, r.y + r.h / 2};
}
}  // namespace

TEST(InputRouter, WindowInputAidsFirstAndRecordedOnlyAtWaits) {
  GameDir dir;
  dir.script({"EOF"});
  std::ostringstream sink, record;
  HeadlessHost host({}, sink);
  Vunt game(host, dir.path());
  InputRecorder rec(record);
  game.setRecorder(&rec);

  // A held A toggles auto mode once; the aids take it, so the game and the record never see it.
  game.input(key('A', U'a'));
  game.input(key('A', U'a', true));
  EXPECT_TRUE(game.aids.autoMode());
  // A key the aids leave goes to the game, recorded at a wait only.
  game.input(key(vk::Space, U' '));
  game.input(key(vk::Left, 0, false, false));
  EXPECT_EQ(game.script.message.ClickFlag, 2);
  // Clicks: the left button's release on a place of the window; a right release is no click.
  game.input(pointer(HostInput::Kind::PointerUp, centre(game.MES)));
  game.input(pointer(HostInput::Kind::PointerUp, centre(game.MES), MouseButton::Right));
  game.input(pointer(HostInput::Kind::PointerUp, centre(game.MES), MouseButton::Left, false));
  // Without a menu of the game's a right press opens the player's menu: the aids' input, unrecorded.
  game.input(pointer(HostInput::Kind::PointerDown, centre(game.Picture1), MouseButton::Right));
  EXPECT_EQ(game.aids.screen(), AidScreen::Menu);
  game.input(key(vk::Escape));
  EXPECT_FALSE(game.aidScreenOpen());
  // With the settings screen open a click is the aids': not recorded.
  game.input(key(vk::F2));
  ASSERT_TRUE(game.aidScreenOpen());
  game.input(pointer(HostInput::Kind::PointerUp, {5, 5}));
  EXPECT_FALSE(game.aidScreenOpen());
  EXPECT_EQ(record.str(), "space\nclick\n");

  // A close from a message box ends the game unrecorded; the window's close is recorded.
  EXPECT_THROW(game.input({HostInput::Kind::CloseAtBox}), ProgramEnd);
  EXPECT_EQ(record.str(), "space\nclick\n");
  EXPECT_THROW(game.input({HostInput::Kind::Close}), ProgramEnd);
  EXPECT_EQ(record.str(), "space\nclick\nclose\n");
}

TEST(InputRouter, WindowAndInputFileReachTheSameMenuLabel) {
  GameDir dir;
  dir.script({"CMST,1,＊A＊B＊C", "CMSL,1,12", "CASE,100", "LET,1,1", "EOF", "CASE,101", "LET,1,2", "EOF", "CASE,102",
              "LET,1,3", "EOF", "ENDCM"});
  std::istringstream flags(play(dir, "label 2\n").last("flags"));
  int f0 = 0, f1 = 0;
  flags >> f0 >> f1;
  EXPECT_EQ(f1, 3);
  // The same choice through the window's input: a release over label 2 at the menu's wait.
  class WindowHost : public HeadlessHost {
   public:
    using HeadlessHost::HeadlessHost;
    int run(Application& app) override {
      app_ = &app;
      return HeadlessHost::run(app);
    }
    void doEvents(WaitKind kind, std::uint32_t maxMs) override {
      if (kind == WaitKind::Player && app_ && !clicked_) {
        clicked_ = true;
        Vunt& game = static_cast<Vunt&>(*app_);
        game.input(pointer(HostInput::Kind::PointerUp, centre(*game.Label1[2])));
        return;  // the click is this wait's input
      }
      HeadlessHost::doEvents(kind, maxMs);
    }

   private:
    Application* app_ = nullptr;
    bool clicked_ = false;
  };
  std::ostringstream out;
  WindowHost host({}, out);
  Vunt game(host, dir.path());
  host.run(game);
  EXPECT_EQ(game.script.Flags[1], 3) << out.str();
}
