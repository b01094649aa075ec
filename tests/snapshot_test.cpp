// The whole-game snapshot: its bytes read back as written, damage and other scripts refused, and
// the bundled game's walkthroughs resumed from every wait for the player to the same transcript
// and the same window: from raw snapshots at start-up, from save slots loaded in a running game,
// and by going back to every wait of a play.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "harness.hpp"
#include "puzzle/solver.hpp"
#include "puzzle/stage.hpp"
#include "shell/snapshot_format.hpp"
#include "aids/slot_file.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::uint64_t frameHash(const Surface& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (int i = 0; i < s.width() * s.height(); ++i) h = (h ^ s.data()[i]) * 1099511628211ull;
  return h;
}

GameSnapshot sample() {
  GameSnapshot s;
  s.scriptHash = 0x0123456789abcdefull;
  s.reg = {12, 40, 7, 99};
  s.flags[0] = -3, s.flags[30] = 32767, s.flags[20] = -32768;
  s.menu.MenuItems[9][3] = U"○戻る";
  s.menu.MenuChoice = -1, s.menu.MenuState = 2;
  s.message.SpeakerNames[15] = U"タエ婆";
  s.message.CharDelay = 50;
  s.items.ItcgTexts[2] = U"煮干し";
  s.puzzle.board.PieceCount = 1;
  s.puzzle.board.PieceX[1] = 11, s.puzzle.board.PieceY[1] = 4, s.puzzle.board.PieceKind[1] = 5;
  s.puzzle.board.Board[3][4] = 25;
  s.puzzle.Stage = 7, s.puzzle.PuzzleActive = 1, s.puzzle.PuzzleLine = 300;
  s.window.controls = {{U"コマンド", true, false, 0x123456, 10.5}, {U"", false, true, 0, 9}};
  s.window.mousePointer = 99;
  s.window.scenePicture = U"港.szg";
  s.window.mes = {{MesStep::SetColour, 0xff0000, {}}, {MesStep::Print, 0, U"「タエ婆」"}, {MesStep::NewLine, 0, {}}};
  s.window.mesRows[7] = U"最後の行";
  s.window.loopSound = U"wind.wav", s.window.loopFlags = 9;
  s.unit = GameSnapshot::PuzzleMove, s.move = 2;
  s.answers = {{WaitAnswer::Page, 0, 0}, {WaitAnswer::Menu, 3, 1}};
  return s;
}

TEST(SnapshotFormat, ReadsBackWhatItWroteAndRefusesEveryDamage) {
  const GameSnapshot s = sample();
  const std::string bytes = writeSnapshot(s);
  std::string error;
  std::optional<GameSnapshot> back = readSnapshot(bytes, error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(writeSnapshot(*back), bytes);
  EXPECT_EQ(back->window, s.window);
  EXPECT_EQ(back->answers, s.answers);
  EXPECT_EQ(back->message.SpeakerNames, s.message.SpeakerNames);

  // Any changed byte, and any cut, is caught.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string damaged = bytes;
    damaged[i] = char(damaged[i] ^ 0x20);
    EXPECT_FALSE(readSnapshot(damaged, error)) << "byte " << i;
  }
  for (std::size_t n : {std::size_t(0), std::size_t(8), bytes.size() / 2, bytes.size() - 1})
    EXPECT_FALSE(readSnapshot(bytes.substr(0, n), error)) << n;
  EXPECT_FALSE(readSnapshot(bytes + "x", error));
}

TEST(SnapshotFormat, NamesAnotherVersionAndRefusesStateOutsideItsTables) {
  std::string error;
  // A well-formed snapshot of another version: the check is made again over the changed bytes.
  auto reseal = [](const std::string& b) { return withCheckMadeRight(b); };
  std::string other = writeSnapshot(sample());
  other[8] = 2;
  EXPECT_FALSE(readSnapshot(reseal(other), error));
  EXPECT_NE(error.find("version 2"), std::string::npos) << error;

  GameSnapshot bad = sample();
  bad.reg.CurLine = 1001;
  EXPECT_FALSE(readSnapshot(writeSnapshot(bad), error));
  bad = sample();
  bad.puzzle.board.PieceX[1] = 12;
  EXPECT_FALSE(readSnapshot(writeSnapshot(bad), error));
  bad = sample();
  bad.puzzle.board.Occupied[0][0] = 31;
  EXPECT_FALSE(readSnapshot(writeSnapshot(bad), error));
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
}

// A headless host that takes a snapshot at every wait for the player, with what a resumed game
// must reproduce: the transcript from there on and the window as shown.
class SnapshotHost : public HeadlessHost {
 public:
  struct Taken {
    std::string bytes;
    std::size_t eventsUsed;
    std::size_t transcriptSize;
    std::optional<std::string> saveFile;
    std::uint64_t frame;
  };
  SnapshotHost(std::vector<InputEvent> events, std::ostringstream& out, const GameDir& dir)
      : HeadlessHost(std::move(events), out), out_(out), dir_(dir) {}
  Vunt* game = nullptr;
  bool take = true;
  // Each snapshot is taken through save slot 1 (the bytes are the slot file's) instead of raw.
  bool inSlot = false;
  // The first wait of a fresh game loads slot 1 instead of taking an event; the transcript's size
  // then is kept, and firstFrame is the window at the first wait after the load.
  bool loadFirst = false;
  std::optional<std::size_t> loadedAt;
  std::vector<Taken> taken;
  std::optional<std::uint64_t> firstFrame;

  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Player && game && loadFirst && !loadedAt) {
      loadedAt = out_.str().size();
      game->aidRequest({AidRequest::Load, 1});
      HeadlessHost::doEvents(WaitKind::Timed, maxMs);
      return;
    }
    if (kind == WaitKind::Player && game) {
      const std::uint64_t frame = frameHash(game->form_.compose());
      if (!firstFrame) firstFrame = frame;
      if (take) {
        std::string bytes = game->snapshot();
        if (inSlot) {
          game->aidRequest({AidRequest::Save, 1});
          bytes = readWholeFile(slotPath(dir_.path() / "data", 1)).value_or("");
        }
        taken.push_back({bytes, eventsDelivered(), out_.str().size(), readWholeFile(dir_.path() / "VUNT.DAT"), frame});
      }
    }
    HeadlessHost::doEvents(kind, maxMs);
  }

 private:
  std::ostringstream& out_;
  const GameDir& dir_;
};

// A walkthrough's input with its "solve N" lines turned into the solver's keys for stage N.
std::string expandedInput(const std::filesystem::path& input, const std::string& stageFile) {
  std::ifstream in(input);
  std::string out;
  const std::regex solve("solve ([0-9]+)");
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, solve)) {
      out += line + "\n";
      continue;
    }
    PuzzleBoard board;
    EXPECT_EQ(decodeStage(stageFile, std::stoi(m[1]), board), StageError::None);
    const SolveResult solved = solveStage(board);
    EXPECT_EQ(solved.status, SolveResult::Solved) << line;
    for (char k : solved.moves)
      out += k == 'L' ? "left\n" : k == 'R' ? "right\n" : k == 'U' ? "up\n" : "down\n";
  }
  return out;
}

void copyGame(const GameDir& dir) {
  for (const auto& e : std::filesystem::directory_iterator(VUNT_GAME_DIR))
    if (e.is_regular_file() && e.path().filename() != "VUNT.DAT")
      std::filesystem::copy_file(e.path(), dir.path() / e.path().filename());
}

std::vector<std::string> walkthroughs() {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(VUNT_TEST_DATA) / "game"))
    if (e.path().extension() == ".txt") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The walkthrough is played once with a snapshot at every wait; each snapshot is resumed in a
// fresh engine and played on for the next kWindow inputs (to the end for the last ones), which
// must give the transcript and the first window the first play gave from there. Through slots,
// every wait is saved in slot 1, and the fresh engine loads it at its own first wait.
class WalkthroughSnapshots : public testing::TestWithParam<std::string> {
 protected:
  void resumeEveryWait(bool inSlot);
};

void WalkthroughSnapshots::resumeEveryWait(bool inSlot) {
  // Slots play on for fewer inputs: their long plays are the raw snapshots' already.
  const std::size_t kWindow = inSlot ? 16 : 40;
  // Under the address sanitizer every fourth wait is resumed, which keeps the test within its time
  // limit; the plain build resumes every one.
#if defined(__SANITIZE_ADDRESS__)
  constexpr std::size_t kStride = 4;
#else
  constexpr std::size_t kStride = 1;
#endif
  GameDir dir;
  copyGame(dir);
  const std::filesystem::path input = std::filesystem::path(VUNT_TEST_DATA) / "game" / (GetParam() + ".txt");
  const std::vector<InputEvent> all = events(expandedInput(input, readFile(dir.path() / "vunt.pdt")));
  std::ostringstream out;
  SnapshotHost host(all, out, dir);
  Vunt game(host, dir.path());
  game.useDataFolder(dir.path() / "data");
  host.game = &game;
  host.inSlot = inSlot;
  host.run(game);
  const std::string transcript = out.str();
  ASSERT_GT(host.taken.size(), 10u);

  GameDir again;
  copyGame(again);
  for (std::size_t k = 0; k < host.taken.size(); k += kStride) {
    const SnapshotHost::Taken& t = host.taken[k];
    SCOPED_TRACE("snapshot before event " + std::to_string(t.eventsUsed + 1));
    const bool toTheEnd = k + kWindow >= host.taken.size();
    const std::size_t stop = toTheEnd ? all.size() : host.taken[k + kWindow].eventsUsed;
    std::filesystem::remove(again.path() / "VUNT.DAT");
    if (t.saveFile) again.write("VUNT.DAT", *t.saveFile);
    std::ostringstream out2;
    SnapshotHost host2({all.begin() + std::ptrdiff_t(t.eventsUsed), all.begin() + std::ptrdiff_t(stop)}, out2, again);
    host2.take = false;
    Vunt resumed(host2, again.path());
    host2.game = &resumed;
    if (inSlot) {
      std::filesystem::create_directories(again.path() / "data");
      again.write("data/slot-01.vsav", t.bytes);
      resumed.useDataFolder(again.path() / "data");
      host2.loadFirst = true;
    } else {
      std::string error;
      ASSERT_TRUE(resumed.resumeFrom(t.bytes, error)) << error;
    }
    host2.run(resumed);
    ASSERT_EQ(host2.firstFrame, t.frame);
    const std::string played = out2.str().substr(host2.loadedAt.value_or(0));
    if (toTheEnd) {
      ASSERT_EQ(played, transcript.substr(t.transcriptSize));
    } else {
      // Cut short where the first play took snapshot k + kWindow: the same lines up to there.
      const std::size_t end = played.rfind("end\tinput-exhausted\n");
      ASSERT_NE(end, std::string::npos) << played;
      ASSERT_EQ(played.substr(0, end),
                transcript.substr(t.transcriptSize, host.taken[k + kWindow].transcriptSize - t.transcriptSize));
    }
  }
}

TEST_P(WalkthroughSnapshots, EveryWaitResumesToTheSameTranscriptAndWindow) { resumeEveryWait(false); }

TEST_P(WalkthroughSnapshots, EveryWaitSavedInASlotLoadsToTheSameTranscriptAndWindow) { resumeEveryWait(true); }

// Plays the input events itself, so that going back to a wait gives them again from there.
class RollbackHost : public HeadlessHost {
 public:
  struct Wait {
    std::size_t next;        // the events delivered before it
    std::size_t transcript;  // the transcript's size when it began
    std::uint64_t backlogAdded;
    bool page;
  };
  RollbackHost(std::vector<InputEvent> all, std::ostringstream& out)
      : HeadlessHost({}, out), all_(std::move(all)), out_(out) {}
  Vunt* game = nullptr;
  bool goBack = false;
  std::vector<Wait> timeline;  // the waits of the play as it stands now
  // Each return: the wait gone back to, and the transcript from there to the next wait.
  std::vector<std::pair<std::size_t, std::string>> replays;
  std::size_t backlogReturns = 0;

  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    HeadlessHost::doEvents(WaitKind::Timed, maxMs);
    if (kind != WaitKind::Player || !game) return;
    const RollbackHistory& h = game->rollbackHistory();
    if (h.takenCount() != seen_) {
      seen_ = h.takenCount();
      if (newWait(h[h.size() - 1])) return;
    }
    if (next_ >= all_.size()) throw ProgramEnd{3, "input-exhausted"};
    game->scriptedInput(all_[next_++]);
  }

 private:
  // Returns whether it went back from this wait.
  bool newWait(const RollbackHistory::Entry& e) {
    const std::size_t now = out_.str().size();
    if (target_) {
      // Back at the wait gone back to: its events come again.
      next_ = timeline[*target_].next;
      timeline.resize(*target_ + 1);
      replayOf_ = *target_;
      replayFrom_ = now;
      target_.reset();
      return false;
    }
    timeline.push_back({next_, now, e.backlogAdded, e.page});
    const std::size_t k = timeline.size() - 1;
    if (replayOf_ && k == *replayOf_ + 1) {
      replays.emplace_back(*replayOf_, out_.str().substr(replayFrom_));
      replayOf_.reset();
    }
    if (!goBack || k == 0 || (goneBackFrom_ && k <= *goneBackFrom_)) return false;
    goneBackFrom_ = k;
    // Every wait goes one step back; every seventh goes back further, to a page of the backlog.
    const std::uint64_t added = game->aids.backlog().added();
    if (k % 7 == 0 && k >= 4 && timeline[k - 4].page && added - timeline[k - 4].backlogAdded <= game->aids.backlog().size()) {
      for (std::size_t j = k; j-- > 0;)
        if (timeline[j].page && timeline[j].backlogAdded == timeline[k - 4].backlogAdded) {
          target_ = j;
          break;
        }
      ++backlogReturns;
      game->aidRequest({AidRequest::BacklogPage, int(added - 1 - timeline[k - 4].backlogAdded)});
    } else {
      target_ = k - 1;
      game->aidRequest({AidRequest::StepBack});
    }
    return true;
  }
  std::vector<InputEvent> all_;
  std::ostringstream& out_;
  std::size_t next_ = 0;
  std::uint64_t seen_ = 0;
  std::optional<std::size_t> target_, replayOf_, goneBackFrom_;
  std::size_t replayFrom_ = 0;
};

// The walkthrough goes back from every wait, one step or to an earlier page of the backlog, and
// plays on: from each wait returned to, the transcript is the first play's up to the next wait,
// and the play ends as the first did.
TEST_P(WalkthroughSnapshots, GoingBackFromEveryWaitReplaysTheSameTranscript) {
  GameDir dir;
  copyGame(dir);
  const std::filesystem::path input = std::filesystem::path(VUNT_TEST_DATA) / "game" / (GetParam() + ".txt");
  const std::vector<InputEvent> all = events(expandedInput(input, readFile(dir.path() / "vunt.pdt")));
  auto play = [&](bool goBack, std::ostringstream& out) {
    std::filesystem::remove(dir.path() / "VUNT.DAT");
    auto host = std::make_unique<RollbackHost>(all, out);
    Vunt game(*host, dir.path());
    host->game = &game;
    host->goBack = goBack;
    game.keepWaitHistory(true);
    host->run(game);
    return host;
  };
  std::ostringstream first, second;
  const auto straight = play(false, first);
  const auto back = play(true, second);
  const std::string& t = first.str();
  ASSERT_GT(straight->timeline.size(), 10u);
  EXPECT_GE(back->replays.size() + 1, straight->timeline.size());
  EXPECT_GT(back->backlogReturns, 0u);
  for (const auto& [wait, replay] : back->replays) {
    SCOPED_TRACE("back to wait " + std::to_string(wait));
    ASSERT_LT(wait + 1, straight->timeline.size());
    ASSERT_EQ(replay, t.substr(straight->timeline[wait].transcript,
                               straight->timeline[wait + 1].transcript - straight->timeline[wait].transcript));
  }
  const std::size_t last = straight->timeline.back().transcript;
  ASSERT_GE(second.str().size(), t.size() - last);
  EXPECT_EQ(second.str().substr(second.str().size() - (t.size() - last)), t.substr(last));
}

INSTANTIATE_TEST_SUITE_P(Game, WalkthroughSnapshots, testing::ValuesIn(walkthroughs()),
                         [](const testing::TestParamInfo<std::string>& p) { return p.param; });

// A line that may wait keeps the state from its start in the storage of the previous line's. A
// game resumed at any wait (inside a line, after a page answered there; at a menu) takes at that
// wait and every later one the very snapshots the uninterrupted play took.
TEST(Snapshot, AResumedPlayTakesTheSameSnapshotsAtEveryLaterWait) {
  GameDir dir;
  dir.script({"MES,＆1ミサキ：1one￥two￥", "CMST,1,＊Ａ＊Ｂ", "CMSL,1,10", "CASE,100", "MES,three￥", "EOF", "CASE,101",
              "MES,four￥", "EOF", "ENDCM"});
  const std::vector<InputEvent> all = events("click\nclick\nlabel 1\nclick\n");
  std::ostringstream out;
  SnapshotHost host(all, out, dir);
  Vunt game(host, dir.path());
  host.game = &game;
  host.run(game);
  ASSERT_EQ(host.taken.size(), 4u) << out.str();
  ASSERT_NE(out.str().find("four"), std::string::npos) << out.str();
  for (std::size_t k = 0; k < host.taken.size(); ++k) {
    SCOPED_TRACE("resumed at wait " + std::to_string(k + 1));
    std::ostringstream out2;
    SnapshotHost host2({all.begin() + std::ptrdiff_t(host.taken[k].eventsUsed), all.end()}, out2, dir);
    Vunt resumed(host2, dir.path());
    host2.game = &resumed;
    std::string error;
    ASSERT_TRUE(resumed.resumeFrom(host.taken[k].bytes, error)) << error;
    host2.run(resumed);
    ASSERT_EQ(host2.taken.size(), host.taken.size() - k);
    for (std::size_t j = 0; j < host2.taken.size(); ++j) EXPECT_EQ(host2.taken[j].bytes, host.taken[k + j].bytes) << j;
  }
}

TEST(Snapshot, RefusesAnotherScriptAndADamagedSnapshotWithAClearMessage) {
  GameDir dir;
  dir.script({"MES,one￥", "MES,two￥", "EOF"});
  std::ostringstream out;
  SnapshotHost host(events("click\nclick\n"), out, dir);
  Vunt game(host, dir.path());
  host.game = &game;
  host.run(game);
  ASSERT_EQ(host.taken.size(), 2u);
  const std::string bytes = host.taken[1].bytes;
  // With VUNT_FUZZ_SEEDS naming a directory, these snapshots become seeds of the snapshot fuzzer.
  if (const char* seeds = std::getenv("VUNT_FUZZ_SEEDS"))
    for (std::size_t i = 0; i < host.taken.size(); ++i)
      std::ofstream(std::filesystem::path(seeds) / ("snapshot-" + std::to_string(i)), std::ios::binary)
          << host.taken[i].bytes;

  std::string error;
  {
    std::ostringstream o;
    HeadlessHost h({}, o);
    Vunt fresh(h, dir.path());
    EXPECT_TRUE(fresh.resumeFrom(bytes, error)) << error;
  }
  dir.script({"MES,one￥", "MES,TWO￥", "EOF"});
  std::ostringstream o;
  HeadlessHost h({}, o);
  Vunt other(h, dir.path());
  EXPECT_FALSE(other.resumeFrom(bytes, error));
  EXPECT_NE(error.find("another script"), std::string::npos) << error;
  EXPECT_FALSE(other.resumeFrom(bytes.substr(0, bytes.size() - 1), error));
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
}

}  // namespace
