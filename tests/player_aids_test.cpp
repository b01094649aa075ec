// The player aids: the backlog store, the settings file, skip and auto mode, the aids' screens,
// and above all that none of them changes what the script sees: the same pages, menus, flags and
// end, with or without them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "aids/overlay.hpp"
#include "aids/screen_layout.hpp"
#include "aids/player_aids.hpp"
#include "platform/frame_composer.hpp"
#include "platform/game_files.hpp"
#include "platform/picture.hpp"
#include "session.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

Backlog::Page page(std::u32string text) { return {std::move(text)}; }

TEST(Backlog, KeepsTheLastHundredPagesAndSkipsEmptyOnes) {
  Backlog log;
  log.add({U"", U""});
  log.add({});
  EXPECT_TRUE(log.empty());
  for (int i = 0; i < 130; ++i) log.add({U"page " + std::u32string(1, char32_t(U'0' + i % 10)), U""});
  ASSERT_EQ(log.size(), Backlog::kCapacity);
  EXPECT_EQ(log.back(0), (Backlog::Page{U"page 9"}));  // page 129; its empty last row dropped
  EXPECT_EQ(log.back(99), (Backlog::Page{U"page 0"}));  // page 30
}

TEST(Backlog, ViewScrollsWithinThePagesAndClosesPastTheNewest) {
  Backlog log;
  BacklogView view;
  EXPECT_FALSE(view.openAt(log));  // nothing to read back
  for (auto t : {U"a", U"b", U"c"}) log.add(page(t));
  ASSERT_TRUE(view.openAt(log));
  EXPECT_EQ(view.position(), 0u);
  view.scroll(log, 5);
  EXPECT_EQ(view.position(), 2u);  // the oldest page, no further
  view.scroll(log, -2);
  EXPECT_TRUE(view.open());
  EXPECT_EQ(view.position(), 0u);
  view.scroll(log, -1);
  EXPECT_FALSE(view.open());
}

TEST(Settings, FileRoundTripAndBadValues) {
  Settings s;
  s.delayStep = 5;
  s.volume = 30;
  s.hover = false;
  std::vector<std::string> warnings;
  EXPECT_EQ(parseSettings(formatSettings(s), warnings), s);
  EXPECT_TRUE(warnings.empty());

  Settings read = parseSettings("[vunt]\r\ntyping_delay = 0.25\r\nvolume=101\nhover = maybe\nfuture = 1\nnonsense\n", warnings);
  EXPECT_EQ(read.delayPercent(), 25);
  EXPECT_EQ(read.volume, 100);  // kept at the default
  EXPECT_TRUE(read.hover);
  ASSERT_EQ(warnings.size(), 3u);  // volume, hover, the line without '='; unknown keys pass
  EXPECT_EQ(warnings[0], "settings.ini:3: volume is 0 to 100: volume=101");
}

TEST(Settings, WindowSizeAndFullScreenAreKept) {
  Settings s;
  std::vector<std::string> warnings;
  for (int scale : {Settings::kAutoScale, 1, 3, 16, Settings::kFitScale})
    for (bool full : {false, true}) {
      s.scale = scale;
      s.fullScreen = full;
      EXPECT_EQ(parseSettings(formatSettings(s), warnings), s) << scale << full;
    }
  EXPECT_TRUE(warnings.empty());
  const Settings bad = parseSettings("scale = 17\nfullscreen = maybe\nscale = 0\n", warnings);
  EXPECT_EQ(bad.scale, Settings::kAutoScale);
  EXPECT_FALSE(bad.fullScreen);
  EXPECT_EQ(warnings.size(), 3u);

  // The settings screen offers automatic, each whole scale the display takes, then fit; the
  // window is told at once, and full screen chosen by its key is saved at once.
  GameDir dir;
  PlayerAids aids;
  aids.setLargestScale(2);
  std::vector<Settings> told;
  aids.onDisplay = [&](const Settings& d) { told.push_back(d); };
  aids.persistTo(dir.path() / "settings.ini");
  aids.key(aidkey::F2, true, false);
  for (int i = 0; i < PlayerAids::ScaleRow; ++i) aids.key(40, true, false);
  for (int i = 0; i < 5; ++i) aids.key(39, true, false);
  ASSERT_EQ(told.size(), 5u);
  EXPECT_EQ(told[0].scale, 1);
  EXPECT_EQ(told[1].scale, 2);
  EXPECT_EQ(told[2].scale, Settings::kFitScale);
  EXPECT_EQ(told[4].scale, Settings::kFitScale);
  aids.key(27, true, false);
  aids.fullScreenChanged(true);
  const Settings saved = loadSettings(dir.path() / "settings.ini", warnings);
  EXPECT_EQ(saved.scale, Settings::kFitScale);
  EXPECT_TRUE(saved.fullScreen);
}

TEST(Settings, ScaledTypingDelay) {
  Settings s;
  EXPECT_EQ(s.scaledDelay(50), 50);
  s.delayStep = 4;  // very fast: a quarter of the delay
  EXPECT_EQ(s.scaledDelay(50), 12);
  EXPECT_EQ(s.scaledDelay(2), 1);  // scaled down, still a delay
  s.delayStep = 0;                 // very slow: four times the delay
  EXPECT_EQ(s.scaledDelay(990), 3960);
  EXPECT_EQ(s.scaledDelay(20000), 32767);  // never beyond what the wait can take
  EXPECT_EQ(s.scaledDelay(0), 0);
  s.delayStep = 5;  // instant
  EXPECT_EQ(s.scaledDelay(990), 0);
}

TEST(Settings, PathFollowsXdgConfigHome) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = oldConfig ? oldConfig : "";
  setenv("XDG_CONFIG_HOME", "/tmp/vunt-config-test", 1);
  EXPECT_EQ(settingsPath(), fs::path("/tmp/vunt-config-test/vunt/settings.ini"));
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // ignored, as the XDG rules say
  setenv("HOME", "/home/player", 1);
  EXPECT_EQ(settingsPath(), fs::path("/home/player/.config/vunt/settings.ini"));
  if (oldConfig) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}

TEST(PlayerAids, SettingsScreenChangesAndSavesOnClose) {
  GameDir dir;
  PlayerAids aids;
  int volume = -1;
  aids.onVolume = [&](int v) { volume = v; };
  aids.persistTo(dir.path() / "cfg" / "settings.ini");
  EXPECT_TRUE(aids.key(aidkey::F2, true, false));
  EXPECT_EQ(aids.screen(), AidScreen::Settings);
  EXPECT_TRUE(aids.key(39, true, false));  // right: faster text, half the delay
  EXPECT_TRUE(aids.key(40, true, false));  // down: volume
  EXPECT_TRUE(aids.key(37, true, false));
  EXPECT_EQ(volume, 90);
  EXPECT_TRUE(aids.key(32, true, false));  // Space is the settings screen's, not a click of the game
  EXPECT_EQ(volume, 100);
  EXPECT_TRUE(aids.key(37, true, false));
  EXPECT_FALSE(fs::exists(dir.path() / "cfg"));  // saved only when the screen closes
  EXPECT_TRUE(aids.key(27, true, false));
  EXPECT_EQ(aids.screen(), AidScreen::None);
  std::vector<std::string> warnings;
  Settings saved = loadSettings(dir.path() / "cfg" / "settings.ini", warnings);
  EXPECT_EQ(saved.delayPercent(), 50);  // faster: half the delay
  EXPECT_EQ(saved.volume, 90);
  EXPECT_TRUE(warnings.empty());
  // A click on a row's value: left of its middle lowers it, right of it raises it.
  aids.key(aidkey::F2, true, false);
  aids.click(kSettingsValueMiddle + 10, kSettingsFirstRowY + kSettingsRowHeight + 5);
  EXPECT_EQ(volume, 100);
  aids.click(5, 5);  // outside the panel: closes
  EXPECT_EQ(aids.screen(), AidScreen::None);
}

// The text speed goes from slow to fast with Right, ending at instant text, and is named the
// same in the key help as on the settings screen.
TEST(PlayerAids, TextSpeedRunsSlowToFastUnderOneName) {
  PlayerAids aids;
  aids.key(aidkey::F2, true, false);
  ASSERT_EQ(aids.settingsRow(), PlayerAids::DelayRow);
  int last = aids.settings().scaledDelay(1000);
  EXPECT_EQ(last, 1000);
  for (int i = 0; i < 3; ++i) {
    aids.key(39, true, false);
    const int now = aids.settings().scaledDelay(1000);
    EXPECT_LT(now, last) << "step " << i;
    last = now;
  }
  EXPECT_EQ(last, 0);  // instant, the fastest, is the end
  aids.key(39, true, false);
  EXPECT_EQ(aids.settings().scaledDelay(1000), 0);
  for (int i = 0; i < 10; ++i) aids.key(37, true, false);
  EXPECT_EQ(aids.settings().scaledDelay(1000), 4000);  // the slowest
  EXPECT_NE(textSpeedName(0), textSpeedName(5));
  bool named = false;
  for (std::u32string_view line : keyHelpLines()) named |= line.find(kTextSpeedName) != std::u32string_view::npos;
  EXPECT_TRUE(named);
}

TEST(PlayerAids, SkipAndAutoAnswerOnlyTheScriptsPages) {
  PlayerAids aids;
  aids.pageWaitBegins(1000, 20, PageKind::Script);
  EXPECT_EQ(aids.pageAnswerIn(1000), std::nullopt);  // the player's to answer
  EXPECT_TRUE(aids.key(aidkey::A, true, false));
  EXPECT_EQ(aids.pageAnswerIn(1000), autoPageDelayMs(20));
  EXPECT_EQ(aids.pageAnswerIn(1000 + autoPageDelayMs(20)), 0u);
  aids.key(aidkey::Control, true, false);
  EXPECT_EQ(aids.pageAnswerIn(1010), kSkipPageMs - 10);
  EXPECT_TRUE(aids.skipping());
  aids.pageWaitBegins(0xFFFFFFF0u, 20, PageKind::Script);  // across the clock's wrap
  EXPECT_EQ(aids.pageAnswerIn(0x10), kSkipPageMs - 0x20);
  aids.pageWaitBegins(5000, 20, PageKind::Puzzle);
  EXPECT_EQ(aids.pageAnswerIn(9000000), std::nullopt);
  aids.pageWaitBegins(5000, 20, PageKind::Script);
  aids.key(aidkey::F1, true, false);  // a screen is open: nothing answers meanwhile
  EXPECT_EQ(aids.pageAnswerIn(9000000), std::nullopt);
  EXPECT_FALSE(aids.skipping());
  EXPECT_GT(autoPageDelayMs(100), autoPageDelayMs(10));
  EXPECT_EQ(autoPageDelayMs(100000), 10000u);
}

TEST(PlayerAids, PictureWindowKeepsItsKeys) {
  PlayerAids aids;
  EXPECT_FALSE(aids.key(aidkey::A, true, true));
  EXPECT_FALSE(aids.key(aidkey::F2, true, true));
  EXPECT_FALSE(aids.wheel(1, true));
  EXPECT_TRUE(aids.key(aidkey::F12, true, true));
  EXPECT_TRUE(aids.debugOverlay());
  EXPECT_TRUE(aids.key(aidkey::Control, true, true));
  EXPECT_FALSE(aids.autoMode());
}

// A game of five pages, a menu with a typing delay, and flags set on either side of it.
const std::vector<std::string> kGame = {
    "MES,＃05＆0ナギサ：0あいうえおかきくけこ￥さしすせそ￥",
    "LET,3,7",
    "MES,たちつてと＾なにぬねの￥",
    "CMST,1,＊はい＊いいえ",
    "CMSL,1,11",
    "CASE,100",
    "LET,4,1",
    "CASE,101",
    "LET,4,2",
    "LET,5,9",
    "ENDCM",
    "MES,はひふへほ￥まみむめも￥",
    "EOF",
};
const char* kPlain = "click\nclick\nclick\nlabel 1\nclick\nclick\n";

Played playGame(const std::string& input) {
  GameDir dir;
  dir.script(kGame);
  return play(dir, input);
}

TEST(PlayerAidsHeadless, TranscriptIsTheSameWithEveryAid) {
  const Played plain = playGame(kPlain);
  ASSERT_EQ(plain.status, 0) << plain.transcript;
  ASSERT_EQ(plain.of("page").size(), 5u) << plain.transcript;
  ASSERT_EQ(plain.last("flags"), "0 0 0 7 2 9 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0") << plain.transcript;
  const std::pair<const char*, const char*> runs[] = {
      // Ctrl held skips the pages but stops at the menu, and goes on after it.
      {"skip", "ctrl-down\nlabel 1\n"},
      {"skip released at the menu", "ctrl-down\nctrl-up\nlabel 1\nclick\nclick\n"},
      // Auto mode answers the pages; turned off at the menu, the player clicks again.
      {"auto", "auto\nauto\nlabel 1\nclick\nclick\n"},
      // The backlog takes the wheel, PageUp and the click that closes it.
      {"backlog", "click\nwheel-up\nwheel-up\npage-up\nwheel-down\nclick\nclick\nclick\nlabel 1\nwheel-up\nlabel 0\n"
                  "click\nclick\n"},
      // The settings screen takes the keys and clicks meant for it, and the help screen a click.
      {"settings and help", "f2\nright\nspace\nesc\nclick\nf1\nlabel 2\nclick\nf12\nclick\nlabel 1\nf12\nclick\n"
                            "wheel-down\npage-down\nclick\n"},
      // The slowest and the instant typing delay.
      {"typing delay", "f2\nleft\nleft\nesc\nclick\nf2\nright\nright\nright\nright\nright\nesc\nclick\nclick\nlabel 1\n"
                       "click\nclick\n"},
      // Enter and the arrows, the message area hidden and shown again, and a game controller.
      {"keys and pad", "enter\npad a\nhide\nclick\nenter\ndown\ndown\nenter\npad y\npad b\npad a\npad rb\n"},
  };
  for (auto [name, input] : runs) {
    Played r = playGame(input);
    EXPECT_EQ(r.transcript, plain.transcript) << name;
    EXPECT_EQ(r.status, 0) << name;
  }
}

TEST(PlayerAidsHeadless, SkipTypesAtOnceAndAutoWaitsLongerForLongerPages) {
  // The virtual clock tells the time each run took: typing at 50 ms a character, skipping none.
  auto timeOf = [](const std::string& input) {
    GameDir dir;
    dir.script({"MES,＃05あいうえお￥", "MES,あいうえおかきくけこさしすせそたちつてとなにぬねの￥", "EOF"});
    std::ostringstream out;
    HeadlessHost host(events(input), out);
    Vunt game(host, dir.path());
    EXPECT_EQ(host.run(game), 0) << out.str();
    return host.tickCount();
  };
  const std::uint32_t plain = timeOf("click\nclick\n");
  EXPECT_GE(plain, 25u * 50u);  // the second message types at 50 ms a character
  EXPECT_LT(timeOf("ctrl-down\n"), 3u * kSkipPageMs);
  const std::uint32_t automatic = timeOf("auto\n");
  EXPECT_GE(automatic, plain + autoPageDelayMs(5) + autoPageDelayMs(25) - 2);
}

TEST(PlayerAidsHeadless, InputNamesAreRejectedWhenMisspelt) {
  std::string error;
  EXPECT_FALSE(parseInputEvents("ctrl-dwn\n", error));
  EXPECT_EQ(error, "input line 1: unknown event: ctrl-dwn");
  auto ok = parseInputEvents("ctrl-down\nctrl-up\nwheel-up\nwheel-down\npage-up\npage-down\nauto\nf1\nf2\nf12\n", error);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->size(), 10u);
}

TEST(PlayerAidsHeadless, BacklogHoldsThePagesRead) {
  GameDir dir;
  dir.script(kGame);
  Session s(dir, kPlain);
  s.run();
  const Backlog& log = s.game.aids.backlog();
  ASSERT_EQ(log.size(), 5u);  // every page, each cleared after its click
  EXPECT_EQ(log.back(0), (Backlog::Page{U"　　　　　まみむめも"}));
  EXPECT_EQ(log.back(2), (Backlog::Page{U"　　　　　たちつてと", U"　　　　　なにぬねの"}));
  EXPECT_EQ(log.back(4), (Backlog::Page{U"「ナギサ」あいうえおかきくけこ"}));
}

// Counts the pixels of one colour in a rectangle.
int pixelsOf(const Surface& f, Rect r, Colour c) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) n += f.pixel(x, y) == c;
  return n;
}

TEST(PlayerAidsOverlay, PageMarkBacklogWithTheCurrentPageAndHiddenText) {
  GameDir dir;
  dir.script(kGame);
  Session s(dir, "click\n");  // the input runs out at the second page's wait
  s.run();
  Vunt& g = s.game;
  const Surface game = g.mainForm().compose();
  const Rect mes = g.MES.formRect();
  // A page waits: the mark is drawn after its text, in the window only.
  ASSERT_TRUE(g.aids.pageWaiting());
  Surface frame = game;
  g.aidsOverlay().draw(frame);
  const Colour mark = rgb(200, 40, 40);
  EXPECT_GT(pixelsOf(frame, mes, mark), 4);
  EXPECT_EQ(pixelsOf(game, mes, mark), 0);
  EXPECT_EQ(pixelsOf(frame, {0, 0, 440, mes.y}, mark), 0);

  // The backlog ends with the page on screen, below the page read before it; drawn opaque, it
  // looks the same over any game.
  ASSERT_TRUE(g.aidKey(aidkey::PageUp, true));
  const Backlog& shown = g.aids.backlogShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown.back(0), (Backlog::Page{U"　　　　　さしすせそ"}));
  EXPECT_EQ(g.aids.backlog().size(), 1u);  // the pages read: the current one is not among them
  Surface overGame = game, overWhite(game.width(), game.height(), rgb(255, 255, 255));
  g.aidsOverlay().draw(overGame);
  g.aidsOverlay().draw(overWhite);
  EXPECT_EQ(overGame, overWhite);
  g.aidKey(27, true);

  // Hidden text: the scene as its picture alone, the message area covered; any key returns.
  ASSERT_TRUE(g.aidKey(aidkey::HideText, true));
  EXPECT_EQ(g.aids.screen(), AidScreen::HideText);
  Surface hidden = game;
  g.aidsOverlay().draw(hidden);
  Surface scene(440, 320);
  scene.paint(hidden, 0, 0, 0, 0, 440, 320);
  Surface picture(440, 320);
  picture.paint(g.Picture1.image(), 0, 0);
  EXPECT_EQ(scene, picture);
  EXPECT_EQ(pixelsOf(hidden, mes, mark), 0);
  EXPECT_EQ(pixelsOf(hidden, mes, rgb(192, 255, 255)), 0);  // none of the area's own colour
  g.aidKey(32, true);
  EXPECT_EQ(g.aids.screen(), AidScreen::None);
  // During the puzzle there is no message area to hide: the key is not the aids'.
  g.MES.setVisible(false);
  EXPECT_FALSE(g.aidKey(aidkey::HideText, true));
}

// The window composes again only the part of a frame that changed, and draws the overlay again
// only where that part meets the area it names: the page mark, the AUTO mark and a note must lie
// inside it, and the frame kept while the message area changes under them must stay the whole one.
TEST(PlayerAidsOverlay, AreaHoldsWhatItDrawsAndFramesComposedInPartsStayWhole) {
  GameDir dir;
  dir.script(kGame);
  Session s(dir, "click\n");
  s.run();
  Vunt& g = s.game;
  ASSERT_TRUE(g.aids.pageWaiting());
  g.aidKey(aidkey::A, true);
  g.aids.setNote(U"クイックセーブしました");
  const Overlay& overlay = g.aidsOverlay();
  const std::optional<Rect> area = overlay.area();
  ASSERT_TRUE(area.has_value());
  const Surface game = g.mainForm().compose();
  for (const Colour under : {rgb(0, 0, 0), rgb(255, 255, 255)}) {
    const Surface plain(game.width(), game.height(), under);
    Surface over = plain;
    overlay.draw(over);
    int changed = 0;
    for (int y = 0; y < over.height(); ++y)
      for (int x = 0; x < over.width(); ++x)
        if (over.pixel(x, y) != plain.pixel(x, y)) {
          ++changed;
          ASSERT_TRUE(area->contains(x, y)) << x << "," << y;
        }
    EXPECT_GT(changed, 100);
  }
  std::vector<Overlay*> overlays{&g.aidsOverlay()};
  FrameComposer composer;
  composer.compose(g.mainForm(), overlays);
  for (int i = 0; i < 12; ++i) {
    g.MES.print(U"ぬ");
    if (i == 6) g.aidKey(aidkey::A, true);  // the mark goes
    composer.compose(g.mainForm(), overlays);
    Surface whole = g.mainForm().compose();
    overlay.draw(whole);
    ASSERT_EQ(composer.frame(), whole) << i;
  }
  // A screen over the game: the whole frame.
  ASSERT_TRUE(g.aidKey(aidkey::PageUp, true));
  EXPECT_EQ(overlay.area(), std::nullopt);
}

TEST(PlayerAidsOverlay, DrawsOnlyOnTheFrameItIsGiven) {
  GameDir dir;
  dir.script(kGame);
  Session s(dir, "click\nclick\nf12\nwheel-up\nf2\n");
  s.run();
  const Surface before = s.game.mainForm().compose();
  Surface frame = before;
  s.game.aidsOverlay().draw(frame);
  EXPECT_NE(frame, before);
  EXPECT_EQ(s.game.mainForm().compose(), before);
}

// With VUNT_OVERLAY_SHOTS naming a folder, the aids' screens over the bundled game are saved there
// as PNG files, to look at.
TEST(PlayerAidsOverlay, Pictures) {
  const char* shots = std::getenv("VUNT_OVERLAY_SHOTS");
  if (!shots) GTEST_SKIP() << "VUNT_OVERLAY_SHOTS is not set";
  const std::pair<const char*, const char*> screens[] = {
      {"backlog", "click\nclick\nclick\nwheel-up\n"},
      {"settings", "click\nf2\nright\ndown\nleft\n"},
      {"help", "click\nf1\n"},
      {"debug", "click\nclick\nlabel 0\nf12\n"},
      {"page-mark", "click\nclick\n"},
      {"hidden-text", "click\nclick\nhide\n"},
      {"menu-keys", "click\nclick\nlabel 0\nclick\nclick\nclick\ndown\ndown\n"},
  };
  for (auto [name, input] : screens) {
    std::ostringstream out;
    HeadlessHost host(events(input), out);
    Vunt game(host, VUNT_GAME_DIR);
    host.run(game);
    Surface frame = game.mainForm().compose();
    game.aidsOverlay().draw(frame);
    EXPECT_TRUE(savePng(frame, fs::path(shots) / (std::string(name) + ".png")));
  }
}

}  // namespace
