// Closing the main window in every kind of wait ends the program at once: no further script line
// runs and nothing more is shown. Player waits take the headless "close" event; the timed waits
// (the typing delay, a synchronous sound, the blinking of a trapped puzzle piece) close through a
// host that closes the window at its n-th timed wait, as a player may at any moment.
#include <gtest/gtest.h>

#include <filesystem>

#include "harness.hpp"
#include "platform/sound_channel.hpp"
#include "script_checks.hpp"
#include "stage_builder.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// A sound device whose every sound plays for a fixed number of polls.
class LongSound : public SoundBackend {
 public:
  bool load(const std::filesystem::path&) override { return true; }
  bool loadAlert() override { return true; }
  bool start(bool) override {
    left_ = 50;
    return true;
  }
  bool playing() override { return left_ > 0 && left_--; }
  void halt() override { left_ = 0; }

 private:
  int left_ = 0;
};

// The headless host, but the player closes the window at the n-th timed wait, and synchronous
// sounds take time: they wait on the sound channel as the real window's sounds do.
class ClosingHost : public HeadlessHost {
 public:
  ClosingHost(const std::string& input, std::ostream& out, int closeAtTimedWait)
      : HeadlessHost(events(input), out), closeAt_(closeAtTimedWait) {}
  int run(Application& app) override {
    app_ = &app;
    return HeadlessHost::run(app);
  }
  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Timed && ++timedWaits_ == closeAt_) app_->input({HostInput::Kind::Close});
    HeadlessHost::doEvents(kind, maxMs);
  }
  bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) override {
    HeadlessHost::playSound(file, name, flags);
    return channel_.play(file, flags, [this] { doEvents(WaitKind::Timed, 10); });
  }
  void stopSound() override { channel_.stop(); }
  int timedWaits() const { return timedWaits_; }

 private:
  Application* app_ = nullptr;
  int closeAt_;
  int timedWaits_ = 0;
  LongSound sound_;
  SoundChannel channel_{sound_};
};

struct Closed {
  Played played;
  int timedWaits = 0;
};

Closed playAndClose(const GameDir& dir, const std::string& input, int closeAtTimedWait = -1) {
  std::ostringstream out;
  ClosingHost host(input, out, closeAtTimedWait);
  Vunt game(host, dir.path());
  Closed c;
  c.played.status = host.run(game);
  c.played.transcript = out.str();
  c.timedWaits = host.timedWaits();
  return c;
}

// The run ended by the close, right after `shown` (the transcript line of the wait, or nothing),
// and the line after the waiting one (LET,1,1) never ran.
void expectClosedAfter(const Played& r, const std::string& shown) {
  const std::vector<std::string> lines = r.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(lines[lines.size() - 2], "end\tclose");
  if (shown.empty()) EXPECT_EQ(lines.size(), 2u) << r.transcript;
  else EXPECT_EQ(lines[lines.size() - 3], shown) << r.transcript;
  EXPECT_EQ(finalFlags(r).at(1), 0);
}

}  // namespace

TEST(CloseInAWait, ClickWaitMenuAndPictureWindow) {
  GameDir dir;
  dir.script({"MES,あ￥", "LET,1,1", "EOF"});
  expectClosedAfter(play(dir, "close\n"), "page\t　　　　　あ");

  dir.script({"CMST,0,＊A＊B", "CMSL,0,7", "CASE,0", "LET,1,1", "CASE,1", "LET,1,1", "ENDCM", "LET,1,1", "EOF"});
  expectClosedAfter(play(dir, "close\n"), "menu\tA|B||");

  std::filesystem::copy_file(std::filesystem::path(VUNT_TEST_DATA) / "yellow-icon.szg", dir.path() / "icon.szg");
  dir.script({"GHGD,icon", "LET,1,1", "EOF"});
  expectClosedAfter(play(dir, "close\n"), "picture-window\ticon.szg");
}

TEST(CloseInAWait, TypingDelay) {
  // Each slow character waits 50 ms, one timed wait per virtual millisecond: the 70th wait lies
  // in the delay after the second character.
  GameDir dir;
  dir.script({"MES,＃05", "MES,あいう", "LET,1,1", "EOF"});
  Closed c = playAndClose(dir, "", 70);
  expectClosedAfter(c.played, "");
  EXPECT_EQ(c.timedWaits, 70);
}

TEST(CloseInAWait, SynchronousSound) {
  GameDir dir;
  dir.script({"SOUND,chime,0", "LET,1,1", "EOF"});
  Closed c = playAndClose(dir, "", 3);
  expectClosedAfter(c.played, "sound\tchime.wav\t0");
  EXPECT_EQ(c.timedWaits, 3);
  // Without the close the sound plays to its end and the script goes on.
  c = playAndClose(dir, "", -1);
  EXPECT_EQ(c.played.last("end"), "EOF");
  EXPECT_EQ(finalFlags(c.played).at(1), 1);
  EXPECT_EQ(c.timedWaits, 50);
}

TEST(CloseInAWait, PuzzleBlinkingAndResultWaits) {
  // A piece of kind 1 with a trap to its right and its goal plate below it.
  GameDir dir;
  dir.write("vunt.pdt", stageFile({{"1x", "a"}}));
  dir.script({"LET,20,3", "BEED,1,1", "LET,1,1", "EOF"});
  // The blinking yields to the window system (1st timed wait) and plays a sound that holds the
  // game while it lasts (the waits after it).
  Closed c = playAndClose(dir, "right\n", 1);
  expectClosedAfter(c.played, "sound\tA-PUZ1.wav\t9");
  c = playAndClose(dir, "right\n", 2);
  expectClosedAfter(c.played, "sound\tL-batu.wav\t0");
  // The failed attempt and the cleared stage wait for the player.
  expectClosedAfter(play(dir, "right\nclose\n"), "page\t");
  Played r = play(dir, "down\nclose\n");
  expectClosedAfter(r, "page\t");
  EXPECT_EQ(r.of("caption").back(), "LBHG(0)\t勝利");
}
