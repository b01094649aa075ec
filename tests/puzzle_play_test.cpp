// The puzzle through the headless host: BEED, moves, traps, failed attempts, cleared stages, the
// end of the puzzle, stage-file faults, and the board as painted on the window.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "harness.hpp"
#include "platform/text.hpp"
#include "platform/tile_sheet.hpp"
#include "stage_builder.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

// Plays with F20 (the attempts) and F21 set before start-up, then lets the test look at the game.
Played playPuzzle(const GameDir& dir, const std::string& input, int attempts,
                  const std::function<void(Vunt&)>& after = {}, int f21 = 0) {
  std::ostringstream out;
  HeadlessHost host(events(input), out);
  Vunt game(host, dir.path());
  game.Flags[20] = i16(attempts);
  game.Flags[21] = i16(f21);
  Played r;
  r.status = host.run(game);
  r.transcript = out.str();
  if (after) after(game);
  return r;
}

void prepare(const GameDir& dir, const std::vector<std::string>& script, const std::vector<StagePicture>& stages) {
  dir.script(script);
  dir.write("vunt.pdt", stageFile(stages));
}

std::size_t count(const std::vector<std::string>& v, const std::string& s) {
  return std::size_t(std::count(v.begin(), v.end(), s));
}

std::string flagsLine(const Played& r) { return r.last("flags"); }
int flagOf(const Played& r, int i) {
  std::istringstream in(flagsLine(r));
  int v = 0;
  for (int k = 0; k <= i; ++k) in >> v;
  return v;
}

// One stage per move direction: right, left, down, up each put the piece on its goal plate.
const std::vector<StagePicture> kFourStages = {
    {"1a"},
    {".a1"},
    {"2", "b"},
    {"3", "", "", "", "", "", "", "", "", "", "", "c"},  // up, across the top edge
};

}  // namespace

TEST(Beed, PlaysTheStagesInOrderThenResumesAfterTheLine) {
  GameDir dir;
  prepare(dir, {"BEED,1,4", "EOF"}, kFourStages);
  Played r = playPuzzle(dir, "right\nspace\nleft\nspace\ndown\nspace\nup\nspace\n", 5, [](Vunt& g) {
    EXPECT_TRUE(g.Picture1.visible());
    EXPECT_TRUE(g.MES.visible());
    EXPECT_TRUE(g.Timer1Enabled);
    EXPECT_EQ(g.PuzzleActive, 0);
    EXPECT_EQ(g.form_.mouseIcon(), PointerImage::Click);
    EXPECT_EQ(g.LBHG[0]->caption(), U"勝利");
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("stage"), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(flagOf(r, 20), 5);
  EXPECT_EQ(flagOf(r, 21), 1);
  std::vector<std::string> captions = r.of("caption");
  EXPECT_EQ(count(captions, "LBHG(0)\t成功"), 3u);
  EXPECT_EQ(count(captions, "LBHG(0)\t勝利"), 1u);
  EXPECT_EQ(count(captions, "LBHG(2)\t4"), 1u);
  // Each load clears the status word, then shows attempts and stage.
  std::vector<std::string> first(captions.begin(), captions.begin() + 3);
  EXPECT_EQ(first, (std::vector<std::string>{"LBHG(0)\t", "LBHG(1)\t5", "LBHG(2)\t1"}));
  std::vector<std::string> sounds = r.of("sound");
  EXPECT_EQ(count(sounds, "A-PUZ1.wav\t9"), 4u);
  EXPECT_EQ(count(sounds, "A-CLEAR.wav\t1"), 4u);
}

TEST(Beed, KeypadKeysMoveAndOtherKeysAndSpaceDoNothingWhilePlaying) {
  GameDir dir;
  prepare(dir, {"BEED,1,4", "EOF"}, kFourStages);
  Played r = playPuzzle(dir,
                        "space\nkey 65\nkey 13\nkey 102\nspace\n"
                        "key 100\nspace\nkey 98\nspace\nspace\nkey 104\nspace\n",
                        5);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("stage"), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(flagOf(r, 21), 1);
}

TEST(Beed, AStageWithoutPiecesIsClearedByTheFirstMove) {
  GameDir dir;
  prepare(dir, {"BEED,1,1", "EOF"}, {{"#ax"}});
  Played r = playPuzzle(dir, "up\nspace\n", 3);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(flagOf(r, 21), 1);
  EXPECT_EQ(count(r.of("caption"), "LBHG(0)\t勝利"), 1u);
}

TEST(Beed, StagesUpTo40PlayTheFirstMusicAndLaterOnesTheSecond) {
  std::vector<StagePicture> stages(41, StagePicture{"1a"});
  GameDir dir;
  prepare(dir, {"BEED,40,41", "EOF"}, stages);
  Played r = playPuzzle(dir, "right\nspace\nright\nspace\n", 1);
  EXPECT_EQ(r.of("stage"), (std::vector<std::string>{"40", "41"}));
  std::vector<std::string> sounds = r.of("sound");
  ASSERT_GE(sounds.size(), 3u);
  EXPECT_EQ(sounds[0], "A-PUZ1.wav\t9");
  EXPECT_EQ(sounds[1], "A-CLEAR.wav\t1");
  EXPECT_EQ(sounds[2], "A-PUZ2.wav\t9");
}

TEST(Traps, TwoTrappedPiecesBlinkBothAndCostOneAttempt) {
  GameDir dir;
  prepare(dir, {"BEED,1,1", "EOF"}, {{"1x", "2x"}});
  Played r = playPuzzle(dir, "right\nspace\n", 3, [](Vunt& g) {
    // The stage starts again from its starting cells and takes moves.
    EXPECT_EQ(g.PuzzleActive, 1);
    EXPECT_EQ(g.PieceX[1], 0);
    EXPECT_EQ(g.PieceX[2], 0);
    EXPECT_FALSE(g.Timer1Enabled);
  });
  EXPECT_EQ(r.status, 3);  // still playing when the input ran out
  EXPECT_EQ(flagOf(r, 20), 2);
  std::vector<std::string> sounds = r.of("sound");
  EXPECT_EQ(count(sounds, "L-batu.wav\t0"), 12u);  // three blinks of two plays, for each piece
  EXPECT_EQ(count(sounds, "L-MISS.wav\t1"), 1u);
  EXPECT_EQ(count(r.of("caption"), "LBHG(0)\t失敗"), 1u);
  EXPECT_EQ(r.of("stage"), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(r.of("caption").back(), "LBHG(2)\t1");
  EXPECT_EQ(count(r.of("caption"), "LBHG(1)\t2"), 1u);
}

TEST(Traps, AGoalAndATrapInOneStepFailTheAttempt) {
  GameDir dir;
  prepare(dir, {"BEED,1,1", "EOF"}, {{"1a", "2x"}});
  Played r = playPuzzle(dir, "right\nspace\n", 3);
  EXPECT_EQ(flagOf(r, 20), 2);
  EXPECT_EQ(count(r.of("sound"), "A-CLEAR.wav\t1"), 0u);
  EXPECT_EQ(count(r.of("caption"), "LBHG(0)\t失敗"), 1u);
  EXPECT_EQ(count(r.of("caption"), "LBHG(0)\t勝利"), 0u);
}

TEST(FailedAttempts, EscGivesUpWithoutBlinkingAndTheLastAttemptEndsThePuzzle) {
  GameDir dir;
  prepare(dir, {"BEED,1,1", "EOF"}, {{"1a"}});
  // F21 is cleared by BEED; F20 counts 2, 1, then ends the puzzle and is reset to 9.
  Played r = playPuzzle(dir, "esc\nspace\nesc\nspace\n", 2, [](Vunt& g) {
    EXPECT_TRUE(g.Timer1Enabled);
    EXPECT_TRUE(g.Picture1.visible());
  }, 1);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(flagOf(r, 20), 9);
  EXPECT_EQ(flagOf(r, 21), 0);
  EXPECT_EQ(count(r.of("sound"), "L-batu.wav\t0"), 0u);
  EXPECT_EQ(count(r.of("sound"), "L-MISS.wav\t1"), 2u);
  EXPECT_EQ(r.of("stage").size(), 2u);  // reloaded once, after the first
  EXPECT_EQ(count(r.of("caption"), "LBHG(1)\t1"), 1u);
}

TEST(FailedAttempts, NoAttemptsLeftAtTheStartEndsAtTheFirstFailure) {
  for (int attempts : {1, 0, -5, -32768}) {
    GameDir dir;
  prepare(dir, {"BEED,1,1", "EOF"}, {{"1x"}});
    Played r = playPuzzle(dir, "right\nspace\n", attempts);
    EXPECT_EQ(r.last("end"), "EOF") << attempts;
    EXPECT_EQ(flagOf(r, 20), 9) << attempts;
    EXPECT_EQ(flagOf(r, 21), 0) << attempts;
    EXPECT_EQ(r.of("stage").size(), 1u) << attempts;
  }
}

TEST(Waits, KeysDoNothingWhileAStatusWordWaitsAndSpaceOrAClickEndsIt) {
  GameDir dir;
  prepare(dir, {"BEED,1,2", "EOF"}, {{"1a"}, {"1.a"}});
  // Stage 1 cleared; the arrows and Esc during "成功" are ignored; stage 2 then needs two moves.
  Played r = playPuzzle(dir, "right\nleft\nesc\nkey 98\nspace\nright\nright\nclick-form\n", 4);
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(flagOf(r, 20), 4);
  EXPECT_EQ(flagOf(r, 21), 1);
  EXPECT_EQ(r.of("page").size(), 2u);  // one wait for each status word
  EXPECT_EQ(count(r.of("sound"), "L-MISS.wav\t1"), 0u);
}

namespace {

// A headless host that lets a test look at the game whenever a sound starts or the player is
// waited for.
class WatchingHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  std::function<void(std::string)> onSound;
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

}  // namespace

TEST(Waits, TheBoardTakesNoMovesWhileATrappedPieceBlinksOrAStatusWordWaits) {
  GameDir dir;
  prepare(dir, {"BEED,1,1", "EOF"}, {{"1x"}});
  std::ostringstream out;
  WatchingHost host(events("right\nspace\nesc\nspace\n"), out);
  Vunt game(host, dir.path());
  game.Flags[20] = 2;
  const Surface& trap = tileSheet();
  std::vector<std::string> seen;
  host.onSound = [&](const std::string& name) {
    if (name != "L-batu.wav" && name != "L-MISS.wav") return;
    // Whether the trapped piece shows on its square: the trap's own frame means it does not.
    Surface square(32, 32);
    square.paint(game.form_.surface(), 0, 0, 32, 0, 32, 32);
    Surface frame(32, 32);
    frame.paint(trap, 0, 0, 128, 128, 32, 32);
    seen.push_back(name + (square == frame ? " trap " : " piece ") + std::to_string(game.PuzzleActive));
  };
  std::vector<std::string> waits;
  host.onPlayerWait = [&] {
    waits.push_back(toUtf8(game.LBHG[0]->caption()) + " " + std::to_string(game.PuzzleActive));
  };
  EXPECT_EQ(host.run(game), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"L-batu.wav trap 0", "L-batu.wav piece 0", "L-batu.wav trap 0",
                                            "L-batu.wav piece 0", "L-batu.wav trap 0", "L-batu.wav piece 0",
                                            "L-MISS.wav piece 0", "L-MISS.wav trap 0"}));
  // Waits for a move with the board active, waits on a status word with it inactive.
  EXPECT_EQ(waits, (std::vector<std::string>{" 1", "失敗 0", " 1", "失敗 0"}));
}

TEST(StageFile, FaultsAreReportedBeforeAnythingIsDrawn) {
  struct Case {
    std::string beed;
    std::string file;  // "" : no stage file at all
    std::string error;
  };
  std::string tooMany = stageFile({{"111111111111", "222222222222", "3333333"}});
  std::string badCode = stageFile({{"1a"}});
  badCode[32 + 77] = 26;
  const std::vector<Case> cases = {
      {"BEED,1,1", "", "ステージファイル無し"},
      {"BEED,2,2", stageFile({{"1a"}}), "ステージ無し"},
      {"BEED,1,1", std::string(175, '\0'), "ステージ無し"},
      {"BEED,0,1", stageFile({{"1a"}}), "ステージ範囲外"},
      {"BEED,205,205", stageFile({{"1a"}}), "ステージ範囲外"},
      {"BEED,1,205", stageFile({{"1a"}}), "ステージ範囲外"},
      {"BEED,2,1", stageFile({{"1a"}, {"1a"}}), "ステージ範囲外"},
      {"BEED,1,1", tooMany, "駒数超過"},
      {"BEED,1,1", badCode, "ステージ不正"},
  };
  for (const Case& c : cases) {
    GameDir dir;
    dir.script({"DO", c.beed, "EOF"});
    if (!c.file.empty()) dir.write("vunt.pdt", c.file);
    Played r = playPuzzle(dir, "", 3, [&](Vunt& g) {
      EXPECT_EQ(g.PieceCount, 0) << c.beed;
      const Surface& s = g.form_.surface();
      EXPECT_EQ(s, Surface(s.width(), s.height(), g.form_.back())) << c.beed;
    });
    EXPECT_EQ(r.status, 1) << c.beed;
    EXPECT_EQ(r.last("error"), "Zad ERROR\t" + c.error + "( 2)\\r" + c.beed);
    EXPECT_TRUE(r.of("stage").empty()) << c.beed;
  }
}

TEST(StageFile, IsOpenedReadOnlySoAMissingFileStaysMissing) {
  GameDir dir;
  dir.script({"BEED,1,1", "EOF"});
  playPuzzle(dir, "", 3);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "vunt.pdt"));
}

TEST(StageFile, AStageMissingDuringPlayIsReportedAtTheBeedLine) {
  GameDir dir;
  prepare(dir, {"DO", "BEED,1,2", "EOF"}, {{"1a"}});
  Played r = playPuzzle(dir, "right\nspace\n", 3);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\tステージ無し( 2)\\rBEED,1,2");
}

TEST(StageFile, BeedWithoutItsLastStageIsAMissingField) {
  GameDir dir;
  prepare(dir, {"BEED,1", "EOF"}, {{"1a"}});
  Played r = playPuzzle(dir, "", 3);
  EXPECT_EQ(r.last("error"), "Zad ERROR\t引数無し( 1)\\rBEED,1");
}

// --- The board on the window ---

namespace {

// The frame layout of the tile sheet, as the game's design fixes it.
struct Frame {
  int x, y;
};
Frame frameOf(int n) {
  if (n == 0 || n == 25) return {0, 0};
  if (n <= 5) return {32, 32 * (n - 1)};
  if (n <= 10) return {64, 32 * (n - 6)};
  if (n == 11) return {128, 128};
  if (n <= 15) return {0, 32 * (n - 11)};
  if (n <= 19) return {128, 32 * (n - 16)};
  return {96, 32 * (n - 20)};
}

Colour sheetPixel(int frame, int x, int y) {
  Frame f = frameOf(frame);
  return tileSheet().pixel(f.x + x, f.y + y);
}

bool squareShowsFrame(const Surface& s, int c, int r, int frame) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (s.pixel(32 * c + x, 32 * r + y) != sheetPixel(frame, x, y)) return false;
  return true;
}

// A piece of kind k over a cell showing frame `under`: its image where the mask is black, the
// cell's own picture where the mask is white.
bool squareShowsPieceOver(const Surface& s, int c, int r, int kind, int under) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      bool shape = sheetPixel(kind + 19, x, y) == 0;
      Colour want = shape ? sheetPixel(kind, x, y) : sheetPixel(under, x, y);
      if (s.pixel(32 * c + x, 32 * r + y) != want) return false;
    }
  return true;
}

// A game started up (frame table, script) but not run, for calling the puzzle's procedures. With
// no player, a step must not reach a wait (a trap or a cleared stage).
struct Board {
  GameDir dir;
  std::ostringstream out;
  HeadlessHost host{{}, out};
  Vunt game{host, dir.path()};
  explicit Board(const std::vector<StagePicture>& stages) : Board(stageFile(stages)) {}
  explicit Board(const std::string& stageFileBytes) {
    dir.script({"EOF"});
    dir.write("vunt.pdt", stageFileBytes);
    game.start();
    game.Stage = 1;
    game.LoadStage();
    game.PuzzleActive = 1;
  }
};

}  // namespace

TEST(TileSheet, FramesFollowTheImageAndMaskConventions) {
  const Surface& sheet = tileSheet();
  ASSERT_EQ(sheet.width(), 160);
  ASSERT_EQ(sheet.height(), 160);
  std::set<Colour> colours(sheet.data(), sheet.data() + 160 * 160);
  EXPECT_LE(colours.size(), 16u);
  for (int kind = 1; kind <= 5; ++kind) {
    int shape = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        Colour mask = sheetPixel(kind + 19, x, y);
        ASSERT_TRUE(mask == 0 || mask == 0xFFFFFF) << "kind " << kind;
        if (mask == 0xFFFFFF) {
          EXPECT_EQ(sheetPixel(kind, x, y), 0u) << "kind " << kind << " at " << x << "," << y;
        }
        shape += mask == 0;
      }
    EXPECT_GT(shape, 200) << "kind " << kind;
    EXPECT_LT(shape, 32 * 32 - 100) << "kind " << kind;
  }
}

TEST(BoardDrawing, LoadStageDrawsEveryCellFromItsFrameAndPiecesOverTheirCells) {
  // Codes 6..25 fill row 0 and the start of row 1; pieces of the five kinds stand in row 2.
  std::string cells = stageCells({"", "", "1.a2b3c4d5e."});
  for (int code = 6; code <= 25; ++code) cells[std::size_t(code - 6)] = char(code);
  Board b(std::string(32, '\0') + cells + std::string(16, '\0'));
  const Surface& s = b.game.form_.surface();
  for (int code = 6; code <= 24; ++code)
    EXPECT_TRUE(squareShowsFrame(s, (code - 6) % 12, (code - 6) / 12, code)) << "code " << code;
  EXPECT_TRUE(squareShowsFrame(s, 7, 1, 0));  // code 25 shows the chequered floor
  EXPECT_TRUE(squareShowsFrame(s, 11, 1, 0));
  // Pieces 1..5 start on plain floor at columns 0, 3, 5, 7, 9 of row 2: the floor shows around them.
  for (int kind = 1; kind <= 5; ++kind)
    EXPECT_TRUE(squareShowsPieceOver(s, kind == 1 ? 0 : 2 * kind - 1, 2, kind, 0)) << "kind " << kind;
  EXPECT_TRUE(squareShowsFrame(s, 2, 2, 6));
  EXPECT_TRUE(squareShowsFrame(s, 11, 11, 0));
  // The strip beyond the board is not painted.
  EXPECT_EQ(s.pixel(400, 10), b.game.form_.back());
}

TEST(BoardDrawing, APieceOnAGoalPlateShowsThePlateAroundItsRing) {
  // Pieces are stepped directly, without a player: no step may end in a wait, so one piece stays
  // off the plates and none meets a trap.
  Board b({{"1a2b", "3c4d5e", "1"}});
  b.game.PuzzleStep(2);  // right: every piece but the last onto the plate beside it
  const Surface& s = b.game.form_.surface();
  EXPECT_TRUE(squareShowsPieceOver(s, 1, 0, 1, 6));
  EXPECT_TRUE(squareShowsPieceOver(s, 3, 0, 2, 7));
  EXPECT_TRUE(squareShowsPieceOver(s, 1, 1, 3, 8));
  EXPECT_TRUE(squareShowsPieceOver(s, 3, 1, 4, 9));
  EXPECT_TRUE(squareShowsPieceOver(s, 5, 1, 5, 10));
  // The plate's colours, not black, around the ring.
  EXPECT_EQ(s.pixel(32 + 5, 5), sheetPixel(6, 5, 5));
  EXPECT_NE(s.pixel(32 + 5, 5), 0u);
}

TEST(BoardDrawing, AStepRepaintsOnlyTheSquaresOfMovingPiecesAndPlatesReappear) {
  Board b({{".a1..2#", "", "...3"}});
  b.game.PuzzleStep(1);  // left: piece 1 onto the plate, 2 away from the wall, 3 one cell
  const Surface before = b.game.form_.surface();
  b.game.PuzzleStep(2);  // right: 1 leaves the plate, 2 back to the wall, 3 back
  const Surface& after = b.game.form_.surface();
  std::set<std::pair<int, int>> changed;
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 440; ++x)
      if (before.pixel(x, y) != after.pixel(x, y)) changed.insert({x / 32, y / 32});
  EXPECT_EQ(changed, (std::set<std::pair<int, int>>{{1, 0}, {2, 0}, {4, 0}, {5, 0}, {2, 2}, {3, 2}}));
  EXPECT_TRUE(squareShowsFrame(after, 1, 0, 6));
  EXPECT_TRUE(squareShowsPieceOver(after, 2, 0, 1, 0));
  EXPECT_EQ(b.game.PieceX[2], 5);
  // Next to the wall piece 2 stays and its square is not painted again.
  const Surface third = after;
  b.game.PuzzleStep(2);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(b.game.form_.surface().pixel(5 * 32 + x, y), third.pixel(5 * 32 + x, y));
}

TEST(BoardDrawing, LoadingTheSameStageTwiceGivesTheSameBoardAndPicture) {
  Board b({{"1a2b", ".#~x", "...5"}});
  b.game.PuzzleStep(0);
  b.game.LoadStage();
  const Surface first = b.game.form_.surface();
  auto board = b.game.Board;
  auto occupied = b.game.Occupied;
  b.game.LoadStage();
  EXPECT_EQ(b.game.form_.surface(), first);
  EXPECT_EQ(b.game.Board, board);
  EXPECT_EQ(b.game.Occupied, occupied);
  EXPECT_EQ(b.game.PieceX[1], 0);
}
