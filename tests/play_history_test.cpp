// Saving in slots, going back to earlier waits and remembering read pages, in a small game played
// headless: what a slot or a return brings back plays on as the first play did, a damaged slot or
// one of another script is refused with nothing lost, and skip passes only pages read before.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "acting_host.hpp"
#include "aids/read_lines.hpp"
#include "aids/rollback.hpp"
#include "aids/slot_file.hpp"
#include "text/text.hpp"

using namespace vunt;
using namespace vunt::test;
namespace fs = std::filesystem;

namespace {

// Four pages; F1 changes between them, so a restore that loses the flags shows.
const std::vector<std::string> kStory = {"MES,first￥", "LET,1,5",  "MES,second￥", "LET,1,9",
                                         "MES,third￥", "MES,fourth￥", "EOF"};

struct Outcome {
  std::string transcript;
  int status = 0;
};

// Plays dir's game with its data folder in dir/data; act runs at every wait for the player.
Outcome playActing(const GameDir& dir, const std::string& input, std::function<bool(Vunt&)> act,
               const Settings* settings = nullptr) {
  std::ostringstream out;
  ActingHost host(events(input), out);
  Vunt game(host, dir.path());
  game.useDataFolder(dir.path() / "data");
  game.keepWaitHistory(true);
  if (settings) game.aids.useSettings(*settings);
  host.game = &game;
  host.act = std::move(act);
  Outcome r;
  r.status = host.run(game);
  game.flushReadLines();
  r.transcript = out.str();
  return r;
}

// An act that does `what` once, at the wait whose page reads `page`.
std::function<bool(Vunt&)> atPage(const std::string& page, std::function<void(Vunt&)> what) {
  auto done = std::make_shared<bool>(false);
  return [=](Vunt& g) {
    if (*done || g.script.reg.CurLine < 1) return false;
    std::string shown;
    for (const auto& row : g.MesRows) shown += toUtf8(row);
    if (shown.find(page) == std::string::npos) return false;
    *done = true;
    what(g);
    return true;
  };
}

TEST(SaveSlots, ASlotLoadedLaterPlaysOnAsTheGameDidFromThere) {
  GameDir dir;
  dir.script(kStory);
  // Saved at "second", loaded at "fourth": the game returns to "second" with F1 = 5.
  auto act = [saved = false, loaded = false](Vunt& g) mutable {
    std::string shown;
    for (const auto& row : g.MesRows) shown += toUtf8(row);
    if (!saved && shown.find("second") != std::string::npos) {
      g.aidRequest({AidRequest::Save, 3});
      return saved = true;
    }
    if (!loaded && shown.find("fourth") != std::string::npos) {
      EXPECT_EQ(g.script.Flags[1], 9);
      g.aidRequest({AidRequest::Load, 3});
      return loaded = true;
    }
    return false;
  };
  const Outcome r = playActing(dir, "click\nclick\nclick\nclick\nclick\nclick\n", act);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.transcript,
            "page\t　　　　　first\npage\t　　　　　second\npage\t　　　　　third\npage\t　　　　　fourth\n"
            "page\t　　　　　third\npage\t　　　　　fourth\nend\tEOF\nflags\t0 9 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
            "0 0 0 0 0 0 0 0 0 0 0\n");
  std::string error;
  std::optional<SlotFile> slot = readSlotFile(dir.path() / "data", 3, error);
  ASSERT_TRUE(slot) << error;
  EXPECT_EQ(slot->info.words, U"second");
  EXPECT_EQ(slot->info.thumb.rgb.size(), std::size_t(kThumbWidth * kThumbHeight * 3));
  EXPECT_FALSE(fs::exists(dir.path() / "VUNT.DAT"));  // the game's own save is another thing
}

TEST(SaveSlots, ADamagedSlotOrOneOfAnotherScriptIsRefusedAndNothingIsLost) {
  GameDir other;
  other.script({"MES,another story￥", "EOF"});
  playActing(other, "click\n", atPage("another", [](Vunt& g) { g.aidRequest({AidRequest::Save, 2}); }));
  GameDir dir;
  dir.script(kStory);
  playActing(dir, "click\nclick\nclick\nclick\n", atPage("second", [](Vunt& g) { g.aidRequest({AidRequest::Save, 1}); }));
  const fs::path data = dir.path() / "data";
  const std::string good = *readWholeFile(slotPath(data, 1));
  std::string damaged = good;
  damaged[damaged.size() / 2] ^= 1;
  dir.write("data/slot-05.vsav", damaged);
  fs::copy_file(slotPath(other.path() / "data", 2), slotPath(data, 2));

  for (int slot : {5, 2}) {
    SCOPED_TRACE(slot);
    const Outcome r = playActing(dir, "click\nclick\nclick\nclick\n",
                             atPage("second", [slot](Vunt& g) { g.aidRequest({AidRequest::Load, slot}); }));
    // The box says why, and the game goes on from where it stood.
    EXPECT_NE(r.transcript.find(slot == 5 ? "壊れています" : "別の版のシナリオ"), std::string::npos) << r.transcript;
    EXPECT_NE(r.transcript.find("page\t　　　　　third\npage\t　　　　　fourth\nend\tEOF"), std::string::npos);
  }
  EXPECT_EQ(readSlotEntry(data, 5).state, SlotEntry::Damaged);
  EXPECT_EQ(*readWholeFile(slotPath(data, 1)), good);
}

std::string shownPage(const Vunt& g) {
  std::string shown;
  for (const auto& row : g.MesRows) shown += toUtf8(row);
  return shown;
}

TEST(Rollback, GoingBackReturnsToTheEarlierWaitAndForgetsWhatFollowed) {
  GameDir dir;
  dir.script(kStory);
  // Backspace pressed twice at "fourth" (held: two presses before the game moves) goes back to
  // "second".
  int stepped = 0;
  std::size_t backlogThen = 0;
  auto act = [&](Vunt& g) {
    const std::string shown = shownPage(g);
    if (stepped == 0 && shown.find("fourth") != std::string::npos) {
      ++stepped;
      g.aidRequest({AidRequest::StepBack});
      g.aidRequest({AidRequest::StepBack});
      return true;
    }
    if (stepped == 1) {
      ++stepped;
      EXPECT_NE(shown.find("second"), std::string::npos) << shown;
      backlogThen = g.aids.backlog().size();
      EXPECT_EQ(g.script.Flags[1], 5);
    }
    return false;
  };
  const Outcome r = playActing(dir, "click\nclick\nclick\nclick\nclick\nclick\n", act);
  EXPECT_EQ(r.status, 0) << r.transcript;
  EXPECT_EQ(stepped, 2);
  EXPECT_EQ(backlogThen, 1u);  // only "first" is still behind "second"
  EXPECT_NE(r.transcript.find("page\t　　　　　fourth\npage\t　　　　　third\npage\t　　　　　fourth\nend\tEOF"),
            std::string::npos)
      << r.transcript;
}

TEST(PlayerAidsKeys, SlotScreensThePlayersMenuAndTheQuickKeysAskTheWindow) {
  constexpr int kReturn = 13, kDown = 40;
  GameDir dir;
  std::string error;
  SlotFile file;
  file.info.savedAt = 100;
  ASSERT_TRUE(writeSlotFile(dir.path(), 2, file, error)) << error;
  dir.write("slot-04.vsav", "VUNTSLOT broken");
  PlayerAids aids;
  aids.slotsIn(dir.path());
  std::vector<std::pair<AidRequest::Kind, int>> asked;
  aids.onRequest = [&](const AidRequest& r) { asked.emplace_back(r.kind, r.value); };

  // At the picture window F5 still saves; S is a key of the picture window's.
  EXPECT_TRUE(aids.key(aidkey::F5, true, true));
  EXPECT_FALSE(aids.key(aidkey::S, true, true));
  // The load screen opens at the newest save and tells a damaged slot.
  aids.key(aidkey::L, true, false);
  ASSERT_EQ(aids.screen(), AidScreen::Slots);
  EXPECT_EQ(aids.slotScreen().selected(), 1);
  EXPECT_EQ(aids.slotScreen().entries()[3].state, SlotEntry::Damaged);
  aids.key(kReturn, true, false);
  EXPECT_EQ(aids.screen(), AidScreen::None);
  // The save screen opens at the first free slot; a click on slot 6 saves there.
  aids.key(aidkey::S, true, false);
  EXPECT_EQ(aids.slotScreen().selected(), 0);
  const Rect six = slotRect(5);
  aids.click(six.x + 5, six.y + 5);
  // The player's menu: "back one wait" is its third entry; a right click closes it.
  aids.openMenu();
  aids.key(kDown, true, false);
  aids.key(kDown, true, false);
  aids.key(kReturn, true, false);
  aids.openMenu();
  aids.rightClick(0, 0);
  EXPECT_EQ(aids.screen(), AidScreen::None);
  // Enter in the backlog returns to the page shown, one page back here.
  aids.pageCleared({U"a"});
  aids.pageCleared({U"b"});
  aids.key(aidkey::PageUp, true, false);
  aids.key(aidkey::PageUp, true, false);
  aids.key(kReturn, true, false);
  const std::vector<std::pair<AidRequest::Kind, int>> expected = {{AidRequest::QuickSave, 0},
                                                                  {AidRequest::Load, 2},
                                                                  {AidRequest::Save, 6},
                                                                  {AidRequest::StepBack, 0},
                                                                  {AidRequest::BacklogPage, 1}};
  EXPECT_EQ(asked, expected);

  // Tab's skip stops at an unread page, unless unread pages may be skipped.
  aids.key(aidkey::Tab, true, false);
  aids.pageWaitBegins(0, 10, PageKind::Script);
  EXPECT_EQ(aids.pageAnswerIn(40), std::optional<std::uint32_t>(0));
  aids.pageRead(false);
  EXPECT_FALSE(aids.skipping());
  EXPECT_FALSE(aids.pageAnswerIn(40));
  Settings s;
  s.skipUnread = true;
  aids.useSettings(s);
  aids.key(aidkey::Tab, true, false);
  aids.pageWaitBegins(0, 10, PageKind::Script);
  aids.pageRead(false);
  EXPECT_EQ(aids.pageAnswerIn(40), std::optional<std::uint32_t>(0));
  std::vector<std::string> warnings;
  EXPECT_TRUE(parseSettings(formatSettings(s), warnings).skipUnread);
}

TEST(RollbackHistory, ReachesAsFarBackAsTheBacklogAndFindsPages) {
  RollbackHistory h(3);
  for (std::uint64_t page = 0; page < 6; ++page) {
    h.taken({"menu", page, false});
    h.taken({"page" + std::to_string(page), page, true});
  }
  // Pages 2 to 5 are within three pages of the sixth: their waits stay, the older ones go.
  ASSERT_EQ(h.size(), 8u);
  EXPECT_EQ(h[0].backlogAdded, 2u);
  EXPECT_EQ(h.forPage(4), std::optional<std::size_t>(5));
  EXPECT_FALSE(h.forPage(1));
  EXPECT_EQ(h.stepBack(true), std::optional<std::size_t>(6));
  EXPECT_EQ(h.stepBack(false), std::optional<std::size_t>(7));
  EXPECT_EQ(h.takeBack(5).snapshot, "page4");
  EXPECT_EQ(h.size(), 5u);
  // Waits without pages are bounded too.
  for (int i = 0; i < 100; ++i) h.taken({"menu", 5, false});
  EXPECT_EQ(h.size(), 12u);
}

TEST(SlotFile, ReadsBackWhatItWroteAndRefusesDamageAndOtherVersions) {
  SlotFile s;
  s.info.savedAt = 1'700'000'000;
  s.info.words = firstWords(U"　　　　　灯台の|　　　　　下で", 5);
  EXPECT_EQ(s.info.words, U"灯台の下で");
  s.info.thumb = makeThumbnail(Surface(440, 384, rgb(10, 20, 30)));
  EXPECT_EQ(s.info.thumb.rgb[3 * 100 + 2], 30);
  s.snapshot = std::string("VUNTSNAP\0\1", 10);
  const std::string bytes = writeSlot(s);
  std::string error;
  std::optional<SlotFile> back = readSlot(bytes, error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->info, s.info);
  EXPECT_EQ(back->snapshot, s.snapshot);
  for (std::size_t i = 0; i < bytes.size(); i += 7) {
    std::string d = bytes;
    d[i] ^= 4;
    EXPECT_FALSE(readSlot(d, error)) << i;
  }
  EXPECT_FALSE(readSlot(bytes.substr(0, bytes.size() - 3), error));
  EXPECT_FALSE(readSlot("", error));
}

TEST(ReadPages, SkipPassesReadPagesAndStopsAtTheFirstUnreadOne) {
  GameDir dir;
  dir.script(kStory);
  // First play: the first page is read, the second shown, then the window closes.
  EXPECT_EQ(playActing(dir, "click\nclose\n", nullptr).status, 0);
  // Ctrl held: "first" and "second" (read: shown at its wait) go by, "third" waits for a click,
  // "fourth" for another.
  Outcome r = playActing(dir, "ctrl-down\nclick\n", nullptr);
  EXPECT_EQ(r.status, 3) << r.transcript;
  EXPECT_NE(r.transcript.find("page\t　　　　　fourth\nend\tinput-exhausted"), std::string::npos) << r.transcript;
  // All four are read now; Tab toggles skip on and it plays to the end without another event.
  std::ostringstream out;
  HeadlessHost host({{InputEvent::AidKeyDown, aidkey::Tab}}, out);
  Vunt game(host, dir.path());
  game.useDataFolder(dir.path() / "data");
  EXPECT_EQ(host.run(game), 0) << out.str();
  // Allowed to skip unread pages, skip passes a new game folder's pages too.
  GameDir fresh;
  fresh.script(kStory);
  Settings s;
  s.skipUnread = true;
  EXPECT_EQ(playActing(fresh, "ctrl-down\n", nullptr, &s).status, 0);
}

TEST(ReadPages, TheRecordSurvivesAKillWhileItIsWritten) {
  const GameDir dir;
  const fs::path file = dir.path() / "read-lines";
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Writes ever larger records (pages 0..n-1) until killed.
      ReadLines record;
      std::string error;
      for (std::uint64_t n = 0;; ++n) {
        record.mark(ReadLines::pageKey(int(n % 1000), n / 1000, "page"));
        if (n % 50 == 0 && !record.save(file, error)) _exit(1);
      }
    }
    usleep(useconds_t(20000 + round * 3000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself";
    ReadLines back;
    std::string error;
    ASSERT_TRUE(back.load(file, error)) << "kill " << round << ": " << error;
    EXPECT_EQ(back.size() % 50, 1u) << back.size();  // one whole record of 50 n + 1 pages
  }
}

}  // namespace
