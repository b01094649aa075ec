// Pictures, the picture window, item texts, LBHG captions and sounds.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "harness.hpp"
#include "platform/sound_channel.hpp"
#include "platform/text.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// One game run whose game object can be prepared before and inspected after the run.
struct Session {
  std::ostringstream out;
  HeadlessHost host;
  Vunt game;
  Played played;
  explicit Session(const GameDir& dir, const std::string& input = "") : host(events(input), out), game(host, dir.path()) {}
  Played& run() {
    played.status = host.run(game);
    played.transcript = out.str();
    return played;
  }
};

// A 24-bit Windows bitmap, written byte by byte.
std::string bitmap(int w, int h, const std::function<Colour(int, int)>& colour) {
  int row = (w * 3 + 3) / 4 * 4;
  std::string b;
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b += char((v >> (8 * i)) & 0xFF);
  };
  b += "BM";
  put(std::uint32_t(54 + row * h), 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(std::uint32_t(w), 4);
  put(std::uint32_t(h), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(std::uint32_t(row * h), 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = h - 1; y >= 0; --y) {  // bottom-up
    for (int x = 0; x < w; ++x) {
      Colour c = colour(x, y);
      b += char(c & 0xFF);
      b += char((c >> 8) & 0xFF);
      b += char((c >> 16) & 0xFF);
    }
    b.append(std::size_t(row - w * 3), '\0');
  }
  return b;
}

Colour gradient(int x, int y) { return rgb(x % 256, y % 256, (x + y) % 7 * 30); }
constexpr Colour kOrange = rgb(250, 120, 10);
constexpr Colour kPictureBack = rgb(64, 64, 64);
constexpr Colour kMesBack = rgb(192, 255, 255);
constexpr Colour kWhite = rgb(255, 255, 255);

void copyTestPicture(const GameDir& dir, const std::string& name) {
  std::filesystem::copy_file(std::filesystem::path(VUNT_TEST_DATA) / name, dir.path() / name);
}

bool near(Colour a, Colour b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > tolerance) return false;
  return true;
}

}  // namespace

TEST(Picture, LargePictureIsClippedAtTheSceneArea) {
  GameDir dir;
  dir.write("scene.SZG", bitmap(500, 400, gradient));  // the name's case does not matter
  dir.script({"GHG,Scene", "EOF"});
  Session s(dir);
  Played& r = s.run();
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("picture"), std::vector<std::string>{"Scene.szg"});
  Surface frame = s.game.form_.compose();
  for (auto [x, y] : {std::pair{0, 0}, {439, 0}, {200, 150}, {439, 319}, {0, 295}})
    EXPECT_EQ(frame.pixel(x, y), gradient(x, y)) << x << "," << y;
  // Below the scene area the message area is untouched by the picture.
  EXPECT_EQ(frame.pixel(0, 320), kMesBack);
  EXPECT_EQ(frame.pixel(439, 383), kMesBack);
}

TEST(Picture, SmallPictureLeavesTheBackgroundAndClearsTheMessageArea) {
  GameDir dir;
  dir.write("small.szg", bitmap(100, 50, [](int, int) { return kOrange; }));
  dir.script({"GHG,small", "EOF"});
  Session s(dir);
  s.game.MES.print(U"あいうえお");
  s.run();
  Surface frame = s.game.form_.compose();
  EXPECT_EQ(frame.pixel(0, 0), kOrange);
  EXPECT_EQ(frame.pixel(99, 49), kOrange);
  EXPECT_EQ(frame.pixel(100, 0), kPictureBack);
  EXPECT_EQ(frame.pixel(0, 50), kPictureBack);
  EXPECT_EQ(frame.pixel(439, 250), kPictureBack);
  EXPECT_EQ(s.game.MES.image(), Surface(440, 64, kMesBack));
  EXPECT_EQ(s.game.MES.printX(), 0);
}

TEST(Picture, FormatComesFromTheContent) {
  GameDir dir;
  for (const char* name : {"two-colours-gif.szg", "two-colours-jpeg.szg", "yellow-icon.szg"}) copyTestPicture(dir, name);
  {
    dir.script({"GHG,two-colours-gif", "EOF"});
    Session s(dir);
    s.run();
    const Surface& image = s.game.Picture1.image();
    EXPECT_EQ(image.pixel(0, 0), rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(14, 19), rgb(255, 0, 0));
    EXPECT_EQ(image.pixel(15, 0), rgb(0, 0, 255));
    EXPECT_EQ(image.pixel(29, 19), rgb(0, 0, 255));
    EXPECT_EQ(image.pixel(30, 0), kPictureBack);
  }
  {
    dir.script({"GHG,two-colours-jpeg", "EOF"});
    Session s(dir);
    s.run();
    const Surface& image = s.game.Picture1.image();
    EXPECT_TRUE(near(image.pixel(4, 8), rgb(255, 0, 0), 24)) << std::hex << image.pixel(4, 8);
    EXPECT_TRUE(near(image.pixel(27, 8), rgb(0, 0, 255), 24)) << std::hex << image.pixel(27, 8);
    EXPECT_EQ(image.pixel(32, 0), kPictureBack);
  }
  {
    dir.script({"GHG,yellow-icon", "EOF"});
    Session s(dir);
    s.run();
    EXPECT_EQ(s.game.Picture1.image().pixel(8, 8), rgb(255, 255, 0));
    EXPECT_EQ(s.game.Picture1.image().pixel(16, 0), kPictureBack);
  }
}

TEST(Picture, MissingOrUnreadablePictureEndsWithAReportNamingTheFile) {
  GameDir dir;
  dir.write("text.szg", "this is no picture");
  dir.write("drawing.szg", std::string("\xD7\xCD\xC6\x9A\0\0\0\0\0\0\0\0\0\0", 14) + std::string(40, '\0'));
  for (auto [line, file] : {std::pair{"GHG,nothing", "nothing.szg"}, {"GHGD,text", "text.szg"}, {"GHG,drawing", "drawing.szg"}}) {
    dir.script({line, "EOF"});
    Played r = play(dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.last("error"), std::string("Zad ERROR\t画像が読込めません\\r\\n") + file + "( 1)\\r" + line);
    EXPECT_EQ(r.of("picture").size() + r.of("picture-window").size(), 0u);
  }
}

TEST(PictureWindow, WaitsForAClickOrACharacterKeyOnly) {
  GameDir dir;
  dir.write("half.szg", bitmap(320, 200, [](int, int) { return kOrange; }));
  dir.script({"GHGD,half", "EOF"});
  // Arrows, function keys and clicks on the main window's places leave it open.
  Played r = play(dir, "left\nkey 112\nclick-picture\nclick-form\nlabel 0\nrclick\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.of("picture-window"), std::vector<std::string>{"half.szg"});
  for (const char* closing : {"click", "char a", "space", "key 13", "esc", "key 98"}) {
    r = play(dir, std::string("left\n") + closing + "\n");
    EXPECT_EQ(r.last("end"), "EOF") << closing;
  }
  // Closing the main window ends the program from inside the wait.
  dir.script({"GHGD,half", "FOO"});
  r = play(dir, "close\n");
  EXPECT_EQ(r.last("end"), "close");
  EXPECT_EQ(r.status, 0);
}

TEST(PictureWindow, ShowsThePictureAtItsOwnSizeAndIsReused) {
  GameDir dir;
  dir.write("half.szg", bitmap(320, 200, [](int, int) { return kOrange; }));
  dir.write("wide.szg", bitmap(700, 450, gradient));
  dir.script({"GHGD,wide", "GHGD,half", "EOF"});
  Session s(dir, "click\nclick\n");
  Played& r = s.run();
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("picture-window"), (std::vector<std::string>{"wide.szg", "half.szg"}));
  const Form& window = s.game.picDai.form();
  EXPECT_EQ(window.width(), 640);
  EXPECT_EQ(window.height(), 400);
  Surface frame = window.compose();
  // The second picture fills the top-left quarter; nothing of the first remains.
  EXPECT_EQ(frame.pixel(0, 0), kOrange);
  EXPECT_EQ(frame.pixel(319, 199), kOrange);
  EXPECT_EQ(frame.pixel(320, 0), kWhite);
  EXPECT_EQ(frame.pixel(0, 200), kWhite);
  EXPECT_EQ(frame.pixel(639, 399), kWhite);
  EXPECT_TRUE(s.game.picDai.loaded());
  EXPECT_FALSE(s.game.picDai.shown());
}

TEST(Labels, CaptionsFromTextNumbersAndFlags) {
  GameDir dir;
  dir.script({"LBHGV,1,F20", "LBHGV,2,-5", "LBHGA,0,", "LBHGA,F3,成功", "EOF"});
  Session s(dir);
  s.game.Flags[20] = 7;
  s.game.Flags[3] = 2;
  Played& r = s.run();
  EXPECT_EQ(r.of("caption"), (std::vector<std::string>{"LBHG(1)\t7", "LBHG(2)\t-5", "LBHG(0)\t", "LBHG(2)\t成功"}));
  EXPECT_EQ(s.game.LBHG[1]->caption(), U"7");
  EXPECT_EQ(s.game.LBHG[0]->caption(), U"");
  EXPECT_EQ(s.game.LBHG[2]->caption(), U"成功");
}

TEST(Labels, IndexOutsideTheLabelsIsReportedAndWritesNothing) {
  for (const char* line : {"LBHGA,3,x", "LBHGV,-1,5", "LBHGA,3"}) {
    Played r = playScript({line, "EOF"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.last("error"), std::string("Zad ERROR\tラベル範囲外( 1)\\r") + line);
    EXPECT_TRUE(r.of("caption").empty());
  }
}

TEST(Items, TextsGoToTheirSlots) {
  GameDir dir;
  dir.script({"ITMS,0,＠04鍵を拾った￥", "ITCG,3,地図", "ITMS,F1,日記,x", "EOF"});
  Session s(dir);
  s.game.Flags[1] = 2;
  s.run();
  EXPECT_EQ(s.game.ItemTexts[0], U"＠04鍵を拾った￥");
  EXPECT_EQ(s.game.ItemTexts[2], U"日記");
  EXPECT_EQ(s.game.ItcgTexts[3], U"地図");

  Played r = playScript({"ITMS,4,x", "EOF"});
  EXPECT_EQ(r.last("error"), "Zad ERROR\tスロット範囲外( 1)\\rITMS,4,x");
  // Field 3 is read first, so a missing text is reported before the slot.
  r = playScript({"ITCG,9", "EOF"});
  EXPECT_EQ(r.last("error"), "Zad ERROR\t引数無し( 1)\\rITCG,9");
}

TEST(Sound, RequestsAreRecordedAndBitFourIsRefused) {
  GameDir dir;
  dir.script({"SOUND,bell,9", "SOUND,music\\intro,F2", "EOF"});
  Session s(dir);
  s.game.Flags[2] = 1;
  Played& r = s.run();
  EXPECT_EQ(r.of("sound"), (std::vector<std::string>{"bell.wav\t9", "music\\intro.wav\t1"}));

  for (const char* line : {"SOUND,bell,4", "SOUND,bell,-1"}) {
    r = playScript({line, "EOF"});
    EXPECT_EQ(r.last("error"), std::string("Zad ERROR\tサウンドフラグ不正( 1)\\r") + line);
    EXPECT_TRUE(r.of("sound").empty());
  }
}

// A sound device that records what it is asked to do; each sound lasts three waits.
struct RecordingDevice : SoundBackend {
  std::set<std::string> files;
  std::vector<std::string> log;
  std::string loaded;
  int remaining = 0;
  bool looping = false;
  bool load(const std::filesystem::path& f) override {
    if (!files.count(f.string())) return false;
    loaded = f.string();
    return true;
  }
  bool loadAlert() override {
    loaded = "alert";
    return true;
  }
  bool start(bool loop) override {
    log.push_back("start " + loaded + (loop ? " looping" : ""));
    remaining = 3;
    looping = loop;
    return true;
  }
  bool playing() override { return remaining > 0; }
  void halt() override {
    if (remaining > 0) log.push_back("halt " + loaded);
    remaining = 0;
  }
  void step() {
    if (remaining > 0 && !looping) --remaining;
  }
};

struct SoundFixture : ::testing::Test {
  RecordingDevice device;
  SoundChannel channel{device};
  int waits = 0;
  std::function<void()> wait = [this] {
    ++waits;
    device.step();
  };
  void SetUp() override { device.files = {"a.wav", "b.wav"}; }
};

TEST_F(SoundFixture, SynchronousWaitsUntilTheEndAsynchronousReturnsAtOnce) {
  EXPECT_TRUE(channel.play("a.wav", 0, wait));
  EXPECT_EQ(waits, 3);
  EXPECT_FALSE(device.playing());
  EXPECT_TRUE(channel.play("b.wav", 1, wait));
  EXPECT_EQ(waits, 3);
  EXPECT_TRUE(device.playing());
  // Loop only with asynchronous play; 8 alone plays once and waits.
  EXPECT_TRUE(channel.play("a.wav", 8, wait));
  EXPECT_EQ(waits, 6);
  EXPECT_EQ(device.log, (std::vector<std::string>{"start a.wav", "start b.wav", "halt b.wav", "start a.wav"}));
}

TEST_F(SoundFixture, OneChannelNewRequestCutsOffAndSixteenRefuses) {
  EXPECT_TRUE(channel.play("a.wav", 9, wait));
  EXPECT_FALSE(channel.play("b.wav", 17, wait));  // do not interrupt: refused while one plays
  EXPECT_TRUE(device.playing());
  EXPECT_TRUE(channel.play("b.wav", 1, wait));  // cuts the looping sound off
  EXPECT_EQ(device.log, (std::vector<std::string>{"start a.wav looping", "halt a.wav", "start b.wav"}));
  channel.stop();
  EXPECT_FALSE(device.playing());
  EXPECT_TRUE(channel.play("a.wav", 17, wait));  // nothing playing: 16 plays
  EXPECT_EQ(waits, 0);
}

TEST_F(SoundFixture, MissingFilePlaysTheAlertUnlessBitTwo) {
  EXPECT_TRUE(channel.play("a.wav", 9, wait));
  EXPECT_FALSE(channel.play("none.wav", 3, wait));  // silent, but still stops the music
  EXPECT_FALSE(device.playing());
  EXPECT_FALSE(channel.play("none.wav", 9, wait));  // the alert plays once, never looping
  EXPECT_FALSE(channel.play("none.wav", 0, wait));  // synchronously with flags 0
  EXPECT_EQ(waits, 3);
  EXPECT_EQ(device.log, (std::vector<std::string>{"start a.wav looping", "halt a.wav", "start alert", "halt alert",
                                                  "start alert"}));
}

TEST(Sound, AlertIsAShortWaveFile) {
  std::string w = alertWave();
  ASSERT_GT(w.size(), 44u);
  EXPECT_EQ(w.substr(0, 4), "RIFF");
  EXPECT_EQ(w.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(w.substr(36, 4), "data");
  auto u32 = [&](std::size_t at) {
    return std::uint32_t(std::uint8_t(w[at])) | std::uint32_t(std::uint8_t(w[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(w[at + 2])) << 16 | std::uint32_t(std::uint8_t(w[at + 3])) << 24;
  };
  EXPECT_EQ(u32(4), w.size() - 8);
  EXPECT_EQ(u32(40), w.size() - 44);
  double seconds = double(u32(40)) / u32(28);
  EXPECT_GT(seconds, 0.1);
  EXPECT_LT(seconds, 0.5);
  int peak = 0;
  for (std::size_t i = 44; i + 1 < w.size(); i += 2)
    peak = std::max(peak, std::abs(int(std::int16_t(std::uint8_t(w[i]) | std::uint8_t(w[i + 1]) << 8))));
  EXPECT_GT(peak, 3000);
}
