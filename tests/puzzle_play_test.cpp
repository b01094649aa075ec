// The puzzle through the headless host: BEED, moves, traps, failed attempts, cleared stages, the
// end of the puzzle, stage-file faults, and the board as painted on the window.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "harness.hpp"
#include "platform/tile_sheet.hpp"
#include "stage_builder.hpp"
#include "text/text.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// A headless host that lets a test look at the game whenever a sound starts or the player is
// waited for.
class WatchingHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  std::function<void(const std::string&)> onSound;
  std::function<void()> onPlayerWait;
  bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) override {
    if (onSound) onSound(toUtf8(name));
    return HeadlessHost::playSound(file, name, flags);
  }
  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Player && onPlayerWait) onPlayerWait();
    HeadlessHost::doEvents(kind, maxMs);
  }
};

// A game directory with a script and a stage file, played with F20 and F21 set before start-up.
struct Puzzle {
  GameDir dir;
  std::ostringstream out;
  WatchingHost host;
  Vunt game;
  Puzzle(const std::vector<std::string>& script, const std::vector<StagePicture>& stages, const std::string& input,
         int f20, int f21 = 0)
      : host(events(input), out), game(host, dir.path()) {
    dir.script(script);
    dir.write("vunt.pdt", stageFile(stages));
    writeFuzzSeed(dir, input);
    game.script.Flags[20] = i16(f20);
    game.script.Flags[21] = i16(f21);
  }
  Played play() {
    Played r;
    r.status = host.run(game);
    r.transcript = out.str();
    return r;
  }
};

std::size_t count(const std::vector<std::string>& v, const std::string& s) {
  return std::size_t(std::count(v.begin(), v.end(), s));
}

std::string f20f21(const Played& r) {
  std::string flags = r.last("flags");
  std::istringstream in(flags);
  std::vector<std::string> f{std::istream_iterator<std::string>(in), {}};
  return f.size() == 31 ? f[20] + " " + f[21] : flags;
}

}  // namespace

TEST(Beed, PlaysTheStagesInOrderThenResumesAfterTheLine) {
  // Right, left, down and up (across the top edge) each clear a stage; the last has no pieces.
  Puzzle p({"BEED,1,5", "EOF"}, {{"1a"}, {".a1"}, {"2", "b"}, {"3", "", "", "", "", "", "", "", "", "", "", "c"}, {}},
           "space\nkey 65\nright\nspace\nkey 100\nleft\nspace\nkey 98\nclick-form\nup\nspace\nkey 104\nspace\n", 5);
  Played r = p.play();
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("stage"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(f20f21(r), "5 1");
  std::vector<std::string> captions = r.of("caption");
  EXPECT_EQ(std::vector<std::string>(captions.begin(), captions.begin() + 3),
            (std::vector<std::string>{"LBHG(0)\t", "LBHG(1)\t5", "LBHG(2)\t1"}));
  EXPECT_EQ(count(captions, "LBHG(0)\t成功"), 4u);
  EXPECT_EQ(captions.back(), "LBHG(0)\t勝利");
  EXPECT_EQ(count(r.of("sound"), "A-CLEAR.wav\t1"), 5u);
  EXPECT_EQ(r.of("page").size(), 5u);  // one wait for each status word
  EXPECT_TRUE(p.game.Picture1.visible() && p.game.MES.visible() && p.game.Timer1Enabled);
  EXPECT_EQ(p.game.puzzle.PuzzleActive, 0);
  EXPECT_EQ(p.game.form_.mouseIcon(), PointerImage::Click);
}

TEST(Beed, StagesUpTo40PlayTheFirstMusicAndLaterOnesTheSecond) {
  Puzzle p({"BEED,40,41", "EOF"}, std::vector<StagePicture>(41, {"1a"}), "right\nspace\nright\nspace\n", 1);
  std::vector<std::string> sounds = p.play().of("sound");
  EXPECT_EQ(std::vector<std::string>(sounds.begin(), sounds.begin() + 3),
            (std::vector<std::string>{"A-PUZ1.wav\t9", "A-CLEAR.wav\t1", "A-PUZ2.wav\t9"}));
}

TEST(FailedAttempts, TrapsBlinkCostOneAttemptPerStepAndTheLastAttemptEndsThePuzzle) {
  // Two pieces fall into traps while the third reaches its goal; then Esc gives up the last attempt.
  Puzzle p({"BEED,1,1", "EOF"}, {{"1x", "2x", "3c"}}, "right\nleft\nspace\nesc\nspace\n", 2, 1);
  std::string blinks;  // at each trap sound, how many trap squares show no piece, and PuzzleActive
  p.host.onSound = [&](const std::string& name) {
    if (name != "L-batu.wav") return;
    int bare = 0;
    for (int r = 0; r < 2; ++r) {
      Surface square(32, 32), trap(32, 32);
      square.paint(p.game.form_.surface(), 0, 0, 32, 32 * r, 32, 32);
      trap.paint(tileSheet(), 0, 0, 128, 128, 32, 32);
      bare += square == trap;
    }
    blinks += std::to_string(bare) + std::to_string(p.game.puzzle.PuzzleActive) + " ";
  };
  std::vector<std::string> waits;  // the status word and PuzzleActive at each wait for the player
  p.host.onPlayerWait = [&] { waits.push_back(toUtf8(p.game.LBHG[0]->caption()) + std::to_string(p.game.puzzle.PuzzleActive)); };
  Played r = p.play();
  EXPECT_EQ(blinks, "10 00 10 00 10 00 10 00 10 00 10 00 ");
  // The arrow key during the first "失敗" ends no wait and moves nothing; Space does.
  EXPECT_EQ(waits, (std::vector<std::string>{"1", "失敗0", "失敗0", "1", "失敗0"}));
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(f20f21(r), "9 0");  // 2, 1, then reset to 9 at the end; F21 cleared by BEED
  EXPECT_EQ(count(r.of("sound"), "L-MISS.wav\t1"), 2u);
  EXPECT_EQ(count(r.of("sound"), "A-CLEAR.wav\t1"), 0u);
  EXPECT_EQ(r.of("stage").size(), 2u);
  EXPECT_EQ(count(r.of("caption"), "LBHG(1)\t1"), 1u);
  EXPECT_TRUE(p.game.Timer1Enabled);
}

TEST(FailedAttempts, NoAttemptsLeftAtTheStartEndsAtTheFirstFailure) {
  for (int attempts : {1, 0, -5, -32768}) {
    Puzzle p({"BEED,1,1", "EOF"}, {{"1x"}}, "right\nspace\n", attempts);
    Played r = p.play();
    EXPECT_EQ(r.last("end"), "EOF") << attempts;
    EXPECT_EQ(f20f21(r), "9 0") << attempts;
  }
}

TEST(StageFile, FaultsAreReportedBeforeAnythingIsDrawnAndTheFileIsOnlyRead) {
  std::string badCode = stageFile({{"1a"}});
  badCode[32 + 77] = 26;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"BEED,1,1", "ステージファイル無し"}, {"BEED,2,2", "ステージ無し"},  {"BEED,0,1", "ステージ範囲外"},
      {"BEED,205,205", "ステージ範囲外"},   {"BEED,1,205", "ステージ範囲外"}, {"BEED,2,1", "ステージ範囲外"},
      {"BEED,1,1", "駒数超過"},             {"BEED,1,1", "ステージ不正"}};
  for (const auto& [beed, error] : cases) {
    Puzzle p({"DO", beed, "EOF"}, {{"1a"}, {"1a"}}, "", 3);
    if (error == "ステージファイル無し") std::filesystem::remove(p.dir.path() / "vunt.pdt");
    if (error == "ステージ無し") p.dir.write("vunt.pdt", stageFile({{"1a"}}));
    if (error == "駒数超過") p.dir.write("vunt.pdt", stageFile({{"111111111111", "222222222222", "3333333"}}));
    if (error == "ステージ不正") p.dir.write("vunt.pdt", badCode);
    Played r = p.play();
    EXPECT_EQ(r.last("error"), "Zad ERROR\t" + error + "( 2)\\r" + beed);
    EXPECT_TRUE(r.of("stage").empty()) << beed;
    const Surface& s = p.game.form_.surface();
    EXPECT_EQ(s, Surface(s.width(), s.height(), p.game.form_.back())) << beed;
  }
  Puzzle missing({"BEED,1,1", "EOF"}, {}, "", 3);
  std::filesystem::remove(missing.dir.path() / "vunt.pdt");
  missing.play();
  EXPECT_FALSE(std::filesystem::exists(missing.dir.path() / "vunt.pdt"));
  // A stage missing when play reaches it is reported at the BEED line, not the line after it.
  Puzzle short2({"DO", "BEED,1,2", "EOF"}, {{"1a"}}, "right\nspace\n", 3);
  EXPECT_EQ(short2.play().last("error"), "Zad ERROR\tステージ無し( 2)\\rBEED,1,2");
}

// --- The board on the window ---

namespace {

// The frame layout of the tile sheet, as the game's design fixes it.
Colour sheetPixel(int n, int x, int y) {
  const int fx = n == 0 || n == 25 ? 0 : n <= 5 ? 32 : n <= 10 ? 64 : n == 11 ? 128 : n <= 15 ? 0 : n <= 19 ? 128 : 96;
  const int fy = n == 0 || n == 25 ? 0 : n <= 5 ? n - 1 : n <= 10 ? n - 6 : n == 11 ? 4 : n <= 15 ? n - 11
               : n <= 19 ? n - 16 : n - 20;
  return tileSheet().pixel(fx + x, 32 * fy + y);
}

// Square (c, r) shows frame `under`, with a piece of kind k over it when kind is not 0: the piece's
// image where its mask is black, the frame where the mask is white.
bool shows(const Surface& s, int c, int r, int under, int kind = 0) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool piece = kind != 0 && sheetPixel(kind + 19, x, y) == 0;
      if (s.pixel(32 * c + x, 32 * r + y) != (piece ? sheetPixel(kind, x, y) : sheetPixel(under, x, y))) return false;
    }
  return true;
}

// A game started up but not run, for calling the puzzle's procedures directly. With no player,
// no step may reach a wait (a trap or a cleared stage).
struct Board : Puzzle {
  explicit Board(const std::string& stageFileBytes) : Puzzle({"EOF"}, {}, "", 3) {
    dir.write("vunt.pdt", stageFileBytes);
    game.start();
    game.puzzle.Stage = 1;
    game.LoadStage();
  }
};

}  // namespace

TEST(TileSheet, FramesFollowTheImageAndMaskConventions) {
  const Surface& sheet = tileSheet();
  ASSERT_EQ(sheet.width(), 160);
  ASSERT_EQ(sheet.height(), 160);
  EXPECT_LE(std::set<Colour>(sheet.data(), sheet.data() + 160 * 160).size(), 16u);
  for (int kind = 1; kind <= 5; ++kind) {
    int shape = 0, stray = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const Colour mask = sheetPixel(kind + 19, x, y);
        ASSERT_TRUE(mask == 0 || mask == 0xFFFFFF) << kind;
        shape += mask == 0;
        stray += mask != 0 && sheetPixel(kind, x, y) != 0;  // the image must be black around the piece
      }
    EXPECT_EQ(stray, 0) << kind;
    EXPECT_TRUE(shape > 200 && shape < 900) << kind;
  }
}

TEST(BoardDrawing, LoadStageDrawsEveryCellAndPieceFromItsFrames) {
  // Codes 6..25 fill row 0 and the start of row 1; pieces of the five kinds stand in row 2.
  std::string cells = stageCells({"", "", "1.a2b3c4d5e"});
  for (int code = 6; code <= 25; ++code) cells[std::size_t(code - 6)] = char(code);
  Board b(std::string(32, '\0') + cells + std::string(16, '\0'));
  const Surface& s = b.game.form_.surface();
  for (int code = 6; code <= 25; ++code) EXPECT_TRUE(shows(s, (code - 6) % 12, (code - 6) / 12, code)) << code;
  EXPECT_TRUE(shows(s, 0, 2, 0, 1) && shows(s, 3, 2, 0, 2) && shows(s, 9, 2, 0, 5) && shows(s, 2, 2, 6));
  EXPECT_TRUE(shows(s, 11, 11, 0));
  EXPECT_EQ(s.pixel(400, 10), b.game.form_.back());  // nothing beyond the board
}

TEST(BoardDrawing, PiecesOnPlatesAndAStepRepaintsOnlyTheSquaresThatChange) {
  Board b(stageFile({{"1a2b..3#", "4d5e", "", "...3"}}));
  b.game.PuzzleStep(2);  // right: four pieces onto their plates, the 3 of row 0 stops at the wall
  const Surface before = b.game.form_.surface();
  EXPECT_TRUE(shows(before, 1, 0, 6, 1) && shows(before, 3, 0, 7, 2) && shows(before, 1, 1, 9, 4) &&
              shows(before, 3, 1, 10, 5));
  EXPECT_NE(before.pixel(32 + 5, 5), 0u);  // the plate's colours show around the ring
  b.game.PuzzleStep(1);  // left: off the plates again
  std::set<std::pair<int, int>> changed;
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 440; ++x)
      if (before.pixel(x, y) != b.game.form_.surface().pixel(x, y)) changed.insert({x / 32, y / 32});
  EXPECT_EQ(changed, (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {5, 0}, {6, 0}, {0, 1},
                                                     {1, 1}, {2, 1}, {3, 1}, {3, 3}, {4, 3}}));
  EXPECT_TRUE(shows(b.game.form_.surface(), 1, 0, 6) && shows(b.game.form_.surface(), 0, 0, 0, 1));
}
