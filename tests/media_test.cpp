// Pictures, the picture window, item texts, LBHG captions and sounds.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "session.hpp"
#include "platform/sound_channel.hpp"
#include "text/text.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// A 24-bit Windows bitmap, written byte by byte (rows bottom-up, padded to 4 bytes).
std::string bitmap(int w, int h, const std::function<Colour(int, int)>& colour) {
  int row = (w * 3 + 3) / 4 * 4;
  std::string b = "BM";
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b += char((v >> (8 * i)) & 0xFF);
  };
  for (auto [v, n] : {std::pair{54 + row * h, 4}, {0, 4}, {54, 4}, {40, 4}, {w, 4}, {h, 4}, {1, 2}, {24, 2},
                      {0, 4}, {row * h, 4}, {2835, 4}, {2835, 4}, {0, 4}, {0, 4}})
    put(std::uint32_t(v), n);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) put(colour(x, y), 3);
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
  Played r = s.run();
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
  // Pictures made with ImageMagick: red left, blue right (GIF 30 x 20, JPEG 32 x 16); a yellow
  // 16 x 16 icon. The JPEG is lossy, hence the tolerance.
  struct Case { const char* name; int w; std::vector<std::pair<std::pair<int, int>, Colour>> pixels; int tolerance; };
  Case cases[] = {
      {"two-colours-gif", 30, {{{0, 0}, rgb(255, 0, 0)}, {{14, 19}, rgb(255, 0, 0)}, {{15, 0}, rgb(0, 0, 255)}}, 0},
      {"two-colours-jpeg", 32, {{{4, 8}, rgb(255, 0, 0)}, {{27, 8}, rgb(0, 0, 255)}}, 24},
      {"yellow-icon", 16, {{{8, 8}, rgb(255, 255, 0)}}, 0},
  };
  GameDir dir;
  for (const Case& c : cases) {
    copyTestPicture(dir, std::string(c.name) + ".szg");
    dir.script({std::string("GHG,") + c.name, "EOF"});
    Session s(dir);
    EXPECT_EQ(s.run().last("end"), "EOF") << c.name;
    const Surface& image = s.game.Picture1.image();
    for (auto [at, colour] : c.pixels)
      EXPECT_TRUE(near(image.pixel(at.first, at.second), colour, c.tolerance)) << c.name << " " << std::hex << image.pixel(at.first, at.second);
    EXPECT_EQ(image.pixel(c.w, 0), kPictureBack) << c.name;
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
  Played r = s.run();
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
  s.game.script.Flags[20] = 7;
  s.game.script.Flags[3] = 2;
  Played r = s.run();
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
  s.game.script.Flags[1] = 2;
  s.run();
  EXPECT_EQ(s.game.script.items.ItemTexts[0], U"＠04鍵を拾った￥");
  EXPECT_EQ(s.game.script.items.ItemTexts[2], U"日記");
  EXPECT_EQ(s.game.script.items.ItcgTexts[3], U"地図");

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
  s.game.script.Flags[2] = 1;
  Played r = s.run();
  EXPECT_EQ(r.of("sound"), (std::vector<std::string>{"bell.wav\t9", "music\\intro.wav\t1"}));

  for (const char* line : {"SOUND,bell,4", "SOUND,bell,-1"}) {
    r = playScript({line, "EOF"});
    EXPECT_EQ(r.last("error"), std::string("Zad ERROR\tサウンドフラグ不正( 1)\\r") + line);
    EXPECT_TRUE(r.of("sound").empty());
  }
}

// A sound device that records what it is asked to do; each sound lasts three waits.
struct RecordingDevice : SoundBackend {
  std::vector<std::string> log;
  std::string loaded;
  int remaining = 0;
  bool looping = false;
  bool load(const std::filesystem::path& f) override {
    loaded = f.string();
    return f.string() != "none.wav";
  }
  bool loadAlert() override { return loaded = "alert", true; }
  bool start(bool loop) override {
    log.push_back("start " + loaded + (loop ? " looping" : ""));
    return remaining = 3, looping = loop, true;
  }
  bool playing() override { return remaining > 0; }
  void halt() override {
    if (remaining > 0) log.push_back("halt");
    remaining = 0;
  }
};

struct SoundFixture : ::testing::Test {
  RecordingDevice device;
  SoundChannel channel{device};
  int waits = 0;
  std::function<void()> wait = [this] {
    ++waits;
    if (!device.looping) --device.remaining;
  };
};

TEST_F(SoundFixture, SynchronousWaitsForTheEndAndOneChannelIsShared) {
  EXPECT_TRUE(channel.play("a.wav", 0, wait));
  EXPECT_EQ(waits, 3);
  EXPECT_FALSE(device.playing());
  EXPECT_TRUE(channel.play("a.wav", 8, wait));  // loop only with 1: plays once and waits
  EXPECT_EQ(waits, 6);
  EXPECT_TRUE(channel.play("a.wav", 9, wait));
  EXPECT_FALSE(channel.play("b.wav", 17, wait));  // do not interrupt: refused while one plays
  EXPECT_TRUE(device.playing());
  EXPECT_TRUE(channel.play("b.wav", 1, wait));  // cuts the looping sound off, returns at once
  channel.stop();
  EXPECT_FALSE(device.playing());
  EXPECT_TRUE(channel.play("a.wav", 16, wait));  // nothing playing: 16 plays
  EXPECT_EQ(waits, 9);
  EXPECT_EQ(device.log, (std::vector<std::string>{"start a.wav", "start a.wav", "start a.wav looping", "halt",
                                                  "start b.wav", "halt", "start a.wav"}));
}

TEST_F(SoundFixture, MissingFilePlaysTheAlertUnlessBitTwo) {
  EXPECT_TRUE(channel.play("a.wav", 9, wait));
  EXPECT_FALSE(channel.play("none.wav", 3, wait));  // silent, but still stops the music
  EXPECT_FALSE(device.playing());
  EXPECT_FALSE(channel.play("none.wav", 9, wait));  // the alert plays once, never looping
  EXPECT_FALSE(channel.play("none.wav", 0, wait));  // synchronously with flags 0
  EXPECT_EQ(waits, 3);
  EXPECT_EQ(device.log, (std::vector<std::string>{"start a.wav looping", "halt", "start alert", "halt", "start alert"}));
}
