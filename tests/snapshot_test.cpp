// The whole-game snapshot: its bytes read back as written, damage and other scripts refused, and
// the bundled game's walkthroughs resumed from every wait for the player to the same transcript
// and the same window.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "harness.hpp"
#include "puzzle/solver.hpp"
#include "puzzle/stage.hpp"
#include "shell/snapshot_format.hpp"

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
  std::vector<Taken> taken;
  std::optional<std::uint64_t> firstFrame;

  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Player && game) {
      const std::uint64_t frame = frameHash(game->form_.compose());
      if (!firstFrame) firstFrame = frame;
      if (take)
        taken.push_back({game->snapshot(), eventsDelivered(), out_.str().size(),
                         readWholeFile(dir_.path() / "VUNT.DAT"), frame});
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
// must give the transcript and the first window the first play gave from there.
class WalkthroughSnapshots : public testing::TestWithParam<std::string> {};

TEST_P(WalkthroughSnapshots, EveryWaitResumesToTheSameTranscriptAndWindow) {
  constexpr std::size_t kWindow = 40;
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
  host.game = &game;
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
    std::string error;
    ASSERT_TRUE(resumed.resumeFrom(t.bytes, error)) << error;
    host2.run(resumed);
    ASSERT_EQ(host2.firstFrame, t.frame);
    if (toTheEnd) {
      ASSERT_EQ(out2.str(), transcript.substr(t.transcriptSize));
    } else {
      // Cut short where the first play took snapshot k + kWindow: the same lines up to there.
      const std::string played = out2.str();
      const std::size_t end = played.rfind("end\tinput-exhausted\n");
      ASSERT_NE(end, std::string::npos) << played;
      ASSERT_EQ(played.substr(0, end),
                transcript.substr(t.transcriptSize, host.taken[k + kWindow].transcriptSize - t.transcriptSize));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Game, WalkthroughSnapshots, testing::ValuesIn(walkthroughs()),
                         [](const testing::TestParamInfo<std::string>& p) { return p.param; });

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
