// Playing without the mouse: Enter ends a page as Space does, the arrows move a highlight over a
// waiting menu's labels and Enter chooses as a click on the label would (and --record writes that
// click), a game controller's buttons are those keys, and F1 works over the picture window.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "harness.hpp"
#include "platform/pad_axes.hpp"
#include "shell/input_record.hpp"
#include "shell/pad_keys.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

HostInput key(int code, char32_t character = 0) {
  HostInput in{HostInput::Kind::KeyDown};
  in.key = code;
  in.character = character;
  in.atPlayerWait = true;
  return in;
}
HostInput pad(PadButton b, bool down = true) {
  HostInput in{down ? HostInput::Kind::PadDown : HostInput::Kind::PadUp};
  in.pad = b;
  in.atPlayerWait = true;
  return in;
}

// A window's input, one event at each wait for the player (several at once where a list of them
// is given), until the list runs out.
class WindowHost : public HeadlessHost {
 public:
  WindowHost(std::deque<std::vector<HostInput>> script, std::ostream& out)
      : HeadlessHost({}, out), script_(std::move(script)) {}
  int run(Application& app) override {
    app_ = &app;
    return HeadlessHost::run(app);
  }
  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Player && app_ && !script_.empty()) {
      std::vector<HostInput> now = std::move(script_.front());
      script_.pop_front();
      for (const HostInput& in : now) app_->input(in);
      return;
    }
    HeadlessHost::doEvents(kind, maxMs);
  }

 private:
  Application* app_ = nullptr;
  std::deque<std::vector<HostInput>> script_;
};

const std::vector<std::string> kMenuGame{
    "MES,はじめ￥", "CMST,1,＊Ａ＊Ｂ＊Ｃ", "CMSL,1,13", "CASE,100", "LET,1,1", "EOF", "CASE,101", "LET,1,2",
    "EOF", "CASE,102", "LET,1,3", "EOF", "ENDCM"};

}  // namespace

TEST(KeyboardPlay, EnterEndsAPageAndTheArrowsAndEnterChooseAsAClickWould) {
  GameDir dir;
  dir.script(kMenuGame);
  std::ostringstream out, record;
  // The page: Enter. The menu: down (the first label), down, up, up (back round to the last),
  // then Enter chooses it; a page that a key the game ignores does not end stays.
  WindowHost host({{key(vk::Return, U'\r')}, {key(vk::Down), key(vk::Down), key(vk::Up), key(vk::Up)},
                   {key(vk::Return, U'\r')}},
                  out);
  Vunt game(host, dir.path());
  InputRecorder rec(record);
  game.setRecorder(&rec);
  host.run(game);
  EXPECT_EQ(game.script.Flags[1], 3) << out.str();
  // Recorded as the play without the keys: a Space at the page, the click on label 2.
  EXPECT_EQ(record.str(), "space\nlabel 2\n");
  // The recorded play replays to the same end.
  EXPECT_EQ(play(dir, record.str()).last("flags"), play(dir, "click\nlabel 2\n").last("flags"));
}

TEST(KeyboardPlay, EnterHeldThroughThePagesNeverChoosesInTheMenu) {
  GameDir dir;
  dir.script(kMenuGame);
  std::ostringstream out;
  HostInput held = key(vk::Return, U'\r');
  held.repeat = true;
  // The page ends at the held key's repeat; at the menu the repeats neither highlight nor choose.
  WindowHost host({{held}, {held, held, held}}, out);
  Vunt game(host, dir.path());
  host.run(game);
  EXPECT_EQ(game.script.Flags[1], 0) << out.str();
  EXPECT_EQ(game.highlightedLabel(), -1);
  EXPECT_NE(out.str().find("menu\t"), std::string::npos) << out.str();
}

TEST(KeyboardPlay, InputFileKeysKeepTheirMeaningAndEnterIsNew) {
  GameDir dir;
  dir.script(kMenuGame);
  // key 13 is still the game's bare key, which ends no page; enter is the player's Enter.
  EXPECT_EQ(play(dir, "key 13\n").last("end"), "input-exhausted");
  EXPECT_EQ(play(dir, "key 13\n").of("menu").size(), 0u);
  // Enter with no label highlighted highlights the first; the next Enter chooses it. The arrows
  // of the input file move the highlight too, over the enabled labels only.
  EXPECT_EQ(play(dir, "enter\nenter\nenter\n").last("flags").substr(0, 4), "0 1 ");
  EXPECT_EQ(play(dir, "enter\nright\nright\nright\nright\nenter\n").last("flags").substr(0, 4), "0 1 ");
  EXPECT_EQ(play(dir, "enter\nleft\nenter\n").last("flags").substr(0, 4), "0 3 ");
  // The same through a game controller.
  EXPECT_EQ(play(dir, "pad a\npad down\npad down\npad a\n").last("flags").substr(0, 4), "0 2 ");
  std::string error;
  EXPECT_FALSE(parseInputEvents("pad z\n", error));
  EXPECT_NE(error.find("pad needs a button"), std::string::npos);
}

TEST(KeyboardPlay, MenuHighlightSkipsDisabledLabelsAndLeavesTheTranscriptAlone) {
  GameDir dir;
  // Two entries: labels 2 and 3 are disabled.
  dir.script({"CMST,1,＊Ａ＊Ｂ", "CMSL,1,9", "CASE,100", "LET,1,1", "EOF", "CASE,101", "LET,1,2", "EOF", "ENDCM"});
  const Played arrows = play(dir, "down\ndown\ndown\nenter\n");
  EXPECT_EQ(arrows.last("flags").substr(0, 4), "0 1 ");  // wrapped past B back to A
  // The highlight is the aids' alone: the transcript is the click's.
  const Played clicked = play(dir, "label 0\n");
  EXPECT_EQ(arrows.transcript, clicked.transcript);
}

TEST(PadPlay, ButtonsAreTheKeysAndSkipIsHeldWhileItsButtonIs) {
  EXPECT_EQ(padKey(PadButton::A).key, vk::Return);
  EXPECT_EQ(padKey(PadButton::B).key, vk::Escape);
  EXPECT_EQ(padKey(PadButton::Left).key, vk::Left);
  EXPECT_EQ(padKey(PadButton::Start).key, aidkey::F2);
  EXPECT_EQ(padKey(PadButton::Guide).key, 0);
  GameDir dir;
  dir.script({"MES,あ￥", "MES,い￥", "EOF"});
  std::ostringstream out;
  HeadlessHost host({}, out);
  Vunt game(host, dir.path());
  game.input(pad(PadButton::RightShoulder));
  EXPECT_TRUE(game.aids.controlHeld());
  game.input(pad(PadButton::RightShoulder, false));
  EXPECT_FALSE(game.aids.controlHeld());
  // Start opens the settings, B leaves them; X is auto mode.
  game.input(pad(PadButton::Start));
  EXPECT_EQ(game.aids.screen(), AidScreen::Settings);
  game.input(pad(PadButton::B));
  EXPECT_EQ(game.aids.screen(), AidScreen::None);
  game.input(pad(PadButton::X));
  EXPECT_TRUE(game.aids.autoMode());
}

TEST(PadPlay, SticksAndTriggersPressOnceAcrossTheirGap) {
  PadAxes axes;
  std::vector<std::pair<PadButton, bool>> c;
  axes.move(PadAxes::LeftX, -20000, c);
  axes.move(PadAxes::LeftX, -12000, c);  // still held: between release and press
  axes.move(PadAxes::LeftX, -20000, c);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0], std::make_pair(PadButton::Left, true));
  axes.move(PadAxes::LeftX, 30000, c);  // straight across: left released, right pressed
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[1], std::make_pair(PadButton::Left, false));
  EXPECT_EQ(c[2], std::make_pair(PadButton::Right, true));
  axes.move(PadAxes::LeftY, 32767, c);  // down the screen is down
  EXPECT_EQ(c.back(), std::make_pair(PadButton::Down, true));
  axes.move(PadAxes::RightTrigger, 32767, c);
  EXPECT_EQ(c.back(), std::make_pair(PadButton::RightTrigger, true));
  axes.move(PadAxes::RightX, 32767, c);  // the right stick does nothing
  EXPECT_EQ(c.size(), 5u);
}

TEST(KeyboardPlay, KeyHelpOverThePictureWindowThenItsKeysAgain) {
  const std::string gif("GIF89a\1\0\1\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\1\0\1\0\0\2\2D\1\0;", 35);
  GameDir dir;
  dir.write("pic.szg", gif);
  dir.script({"GHGD,pic", "LET,1,1", "EOF"});
  // In the window: F1 over the picture opens the key help; the next key closes the help and not
  // the picture, which still waits when the input runs out.
  {
    std::ostringstream out;
    WindowHost host({{key(aidkey::F1)}, {key('X', U'x')}}, out);
    Vunt game(host, dir.path());
    host.run(game);
    EXPECT_EQ(game.script.Flags[1], 0) << out.str();
    EXPECT_TRUE(game.picDai.shown());
    EXPECT_EQ(game.aids.screen(), AidScreen::None);
  }
  {
    std::ostringstream out;
    WindowHost host({{key(aidkey::F1)}, {key('X', U'x')}, {key(vk::Return, U'\r')}}, out);
    Vunt game(host, dir.path());
    host.run(game);
    EXPECT_EQ(game.script.Flags[1], 1) << out.str();
  }
  // The input file: the help takes the next click, the picture the one after; the transcript is
  // the one a single click gives.
  const Played withHelp = play(dir, "f1\nclick\nclick\n");
  EXPECT_EQ(withHelp.transcript, play(dir, "click\n").transcript);
  EXPECT_EQ(play(dir, "f1\nclick\n").last("end"), "input-exhausted");
}
