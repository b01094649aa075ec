// The stage decoding and the move rule as pure functions on the board model.
#include <gtest/gtest.h>

#include <random>

#include "puzzle/rules.hpp"
#include "stage_builder.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

constexpr MoveDelta kDown{0, 1}, kLeft{-1, 0}, kRight{1, 0}, kUp{0, -1};

struct Cell {
  int x, y;
  bool operator==(const Cell&) const = default;
};

Cell at(const PuzzleBoard& b, int piece) { return {b.PieceX[piece], b.PieceY[piece]}; }

// Occupied must mark exactly the cells where pieces stand.
void expectOccupiedMatchesPieces(const PuzzleBoard& b) {
  int marked = 0;
  for (int c = 0; c < 12; ++c)
    for (int r = 0; r < 12; ++r) marked += b.Occupied[c][r] != 0;
  EXPECT_EQ(marked, b.PieceCount);
  for (int i = 1; i <= b.PieceCount; ++i) EXPECT_NE(b.Occupied[b.PieceX[i]][b.PieceY[i]], 0) << "piece " << i;
}

}  // namespace

TEST(StageDecoding, PiecesAreNumberedInScanOrderOnPlainFloor) {
  PuzzleBoard b = decoded({"..3.1", "", "#a...5", "", "", "", "", "", "", "", "", "x..........2"});
  ASSERT_EQ(b.PieceCount, 4);
  EXPECT_EQ(at(b, 1), (Cell{2, 0}));
  EXPECT_EQ(b.PieceKind[1], 3);
  EXPECT_EQ(at(b, 2), (Cell{4, 0}));
  EXPECT_EQ(at(b, 3), (Cell{5, 2}));
  EXPECT_EQ(at(b, 4), (Cell{11, 11}));
  EXPECT_EQ(b.PieceKind[4], 2);
  EXPECT_EQ(b.Board[2][0], 0);
  EXPECT_EQ(b.Occupied[2][0], 1);
  EXPECT_EQ(b.Occupied[11][11], 4);
  EXPECT_EQ(b.Board[0][2], 16);
  EXPECT_EQ(b.Board[1][2], 6);
  EXPECT_EQ(b.Board[0][11], 11);
  EXPECT_EQ(b.Occupied[0][2], 0);
}

TEST(StageDecoding, StagesLieAtTheirOffsetsAndUnreadBytesDoNotMatter) {
  std::string file = stageFile({{"1"}, {".2"}, {"..3"}});
  PuzzleBoard b;
  ASSERT_EQ(decodeStage(file, 2, b), StageError::None);
  EXPECT_EQ(at(b, 1), (Cell{1, 0}));
  EXPECT_EQ(b.PieceKind[1], 2);
  ASSERT_EQ(decodeStage(file, 3, b), StageError::None);
  EXPECT_EQ(at(b, 1), (Cell{2, 0}));
  // The file ends exactly with stage 3's cells: its trailing 16 bytes are not needed.
  file.resize(stageOffset(3) + 144);
  EXPECT_EQ(decodeStage(file, 3, b), StageError::None);
  file.pop_back();
  EXPECT_EQ(decodeStage(file, 3, b), StageError::NotInFile);
  EXPECT_EQ(decodeStage(file, 4, b), StageError::NotInFile);
  EXPECT_EQ(decodeStage("", 1, b), StageError::NotInFile);
}

TEST(StageDecoding, StageNumbersOutsideOneTo204AreRejected) {
  std::string file = stageFile(std::vector<StagePicture>(205, StagePicture{"1"}));
  PuzzleBoard b;
  EXPECT_EQ(decodeStage(file, 204, b), StageError::None);
  EXPECT_EQ(decodeStage(file, 205, b), StageError::OutOfRange);
  EXPECT_EQ(decodeStage(file, 0, b), StageError::OutOfRange);
  EXPECT_EQ(decodeStage(file, -1, b), StageError::OutOfRange);
  EXPECT_EQ(decodeStage(file, -32768, b), StageError::OutOfRange);
}

TEST(StageDecoding, ThirtyPiecesLoadAndThirtyOneDoNot) {
  StagePicture full{"111111111111", "222222222222", "333333"};
  PuzzleBoard b = decoded(full);
  ASSERT_EQ(b.PieceCount, 30);
  EXPECT_EQ(at(b, 30), (Cell{5, 2}));  // the last piece cell in scan order
  full[2] += "4";
  EXPECT_EQ(decodeStage(stageFile({full}), 1, b), StageError::TooManyPieces);
}

TEST(StageDecoding, CellCodesAbove25AreRejectedAndLeaveTheBoardAlone) {
  PuzzleBoard b = decoded({"1"});
  std::string file = stageFile({{"~"}});
  PuzzleBoard c;
  EXPECT_EQ(decodeStage(file, 1, c), StageError::None);
  EXPECT_EQ(c.Board[0][0], 25);
  file[32 + 143] = 26;
  PuzzleBoard before = b;
  EXPECT_EQ(decodeStage(file, 1, b), StageError::BadCellCode);
  file[32 + 143] = char(255);
  EXPECT_EQ(decodeStage(file, 1, b), StageError::BadCellCode);
  EXPECT_EQ(b.PieceCount, before.PieceCount);
  EXPECT_EQ(b.Board, before.Board);
  EXPECT_EQ(b.Occupied, before.Occupied);
}

TEST(MoveRule, ThreeInARowAllMoveWhateverTheirNumbers) {
  // Moving left the front piece has the lowest number: one pass.
  PuzzleBoard b = decoded({"....123....."});
  MoveResult r = movePieces(b.ref(), kLeft);
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.passes, 1);
  EXPECT_EQ(at(b, 1), (Cell{3, 0}));
  EXPECT_EQ(at(b, 3), (Cell{5, 0}));
  // Moving right the front piece has the highest number: each pass frees the cell for one more.
  b = decoded({"....123....."});
  r = movePieces(b.ref(), kRight);
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.passes, 3);
  EXPECT_EQ(r.moves[0].piece, 3);
  EXPECT_EQ(r.moves[2].piece, 1);
  EXPECT_EQ(r.moves[2].fromX, 4);
  EXPECT_EQ(at(b, 1), (Cell{5, 0}));
  EXPECT_EQ(at(b, 3), (Cell{7, 0}));
  expectOccupiedMatchesPieces(b);
}

TEST(MoveRule, PiecesWrapAtAllFourEdges) {
  PuzzleBoard b = decoded({"1..........2", "", "", "", "", "", "", "", "", "", "", "...3"});
  MoveResult r = movePieces(b.ref(), kLeft);
  EXPECT_EQ(at(b, 1), (Cell{11, 0}));  // into the cell piece 2 left, in the second pass
  EXPECT_EQ(at(b, 2), (Cell{10, 0}));
  EXPECT_EQ(r.passes, 2);
  movePieces(b.ref(), kRight);
  EXPECT_EQ(at(b, 1), (Cell{0, 0}));
  EXPECT_EQ(at(b, 2), (Cell{11, 0}));
  movePieces(b.ref(), kUp);
  EXPECT_EQ(at(b, 1), (Cell{0, 11}));
  EXPECT_EQ(at(b, 3), (Cell{3, 10}));
  movePieces(b.ref(), kDown);
  EXPECT_EQ(at(b, 1), (Cell{0, 0}));
  EXPECT_EQ(at(b, 3), (Cell{3, 11}));
  movePieces(b.ref(), kDown);
  EXPECT_EQ(at(b, 3), (Cell{3, 0}));
  expectOccupiedMatchesPieces(b);
  // A wall on the other side of the edge stops the piece.
  b = decoded({"1..........#"});
  r = movePieces(b.ref(), kLeft);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(at(b, 1), (Cell{0, 0}));
}

TEST(MoveRule, AFullRowOfTwelveDoesNotMove) {
  PuzzleBoard b = decoded({"123451234512"});
  MoveResult r = movePieces(b.ref(), kRight);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.passes, 1);  // every target is occupied and stays so: no piece is tried again
  r = movePieces(b.ref(), kLeft);
  EXPECT_EQ(r.count, 0);
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(at(b, i), (Cell{i - 1, 0}));
  // Across the row, they all move.
  r = movePieces(b.ref(), kDown);
  EXPECT_EQ(r.count, 12);
  EXPECT_EQ(r.passes, 1);
}

TEST(MoveRule, AWallStopsThePieceAndThePieceBehindIt) {
  PuzzleBoard b = decoded({"...12#", "#12", ".1.2#"});
  MoveResult r = movePieces(b.ref(), kRight);
  // Row 0: 2 meets the wall, 1 waits behind it; row 1: both move; row 2: 3 moves, 4 stays.
  EXPECT_EQ(at(b, 1), (Cell{3, 0}));
  EXPECT_EQ(at(b, 2), (Cell{4, 0}));
  EXPECT_EQ(at(b, 3), (Cell{2, 1}));
  EXPECT_EQ(at(b, 4), (Cell{3, 1}));
  EXPECT_EQ(at(b, 5), (Cell{2, 2}));
  EXPECT_EQ(at(b, 6), (Cell{3, 2}));
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.passes, 2);  // piece 3 follows piece 4 in the second pass; piece 1 is never due again
  movePieces(b.ref(), kLeft);
  r = movePieces(b.ref(), kLeft);
  EXPECT_EQ(at(b, 3), (Cell{1, 1}));  // the wall at column 0 holds it, and it holds piece 4
  EXPECT_EQ(at(b, 4), (Cell{2, 1}));
  expectOccupiedMatchesPieces(b);
}

TEST(MoveRule, CodesFromSixteenUpBlockAndEverythingElseIsFloor) {
  PuzzleBoard b = decoded({"1~", "1x", "1e"});
  b.Board[1][0] = 25;
  movePieces(b.ref(), kRight);
  EXPECT_EQ(at(b, 1), (Cell{0, 0}));
  EXPECT_EQ(at(b, 2), (Cell{1, 1}));
  EXPECT_EQ(at(b, 3), (Cell{1, 2}));
  for (int code = 12; code <= 24; ++code) {
    PuzzleBoard w = decoded({"1"});
    w.Board[1][0] = std::int16_t(code);
    movePieces(w.ref(), kRight);
    EXPECT_EQ(at(w, 1).x, code >= 16 ? 0 : 1) << "code " << code;
  }
}

TEST(CheckPhase, GoalsTrapsAndClearing) {
  // Own goal counts, another kind's goal does not.
  PuzzleBoard b = decoded({".1a", ".2a"});
  movePieces(b.ref(), kRight);
  CheckResult c = checkPieces(b.ref());
  EXPECT_EQ(c.onOwnGoal, 1);
  EXPECT_FALSE(c.cleared(b.PieceCount));
  EXPECT_FALSE(c.failed());
  // Two pieces on traps in one step: both are named, in number order.
  b = decoded({"1x", "", "2x.4d"});
  movePieces(b.ref(), kRight);
  c = checkPieces(b.ref());
  ASSERT_EQ(c.trappedCount, 2);
  EXPECT_EQ(c.trapped[0], 1);
  EXPECT_EQ(c.trapped[1], 2);
  EXPECT_EQ(c.onOwnGoal, 1);
  // One piece on its goal and the last other one on a trap: failed, not cleared.
  b = decoded({"1a", "2x"});
  movePieces(b.ref(), kRight);
  c = checkPieces(b.ref());
  EXPECT_TRUE(c.failed());
  EXPECT_FALSE(c.cleared(b.PieceCount));
  // All on their own goals.
  b = decoded({"1a", "5e", "3c"});
  movePieces(b.ref(), kRight);
  EXPECT_TRUE(checkPieces(b.ref()).cleared(b.PieceCount));
  // No pieces: cleared by the first move.
  b = decoded({"#a"});
  EXPECT_EQ(movePieces(b.ref(), kUp).passes, 0);
  EXPECT_TRUE(checkPieces(b.ref()).cleared(b.PieceCount));
}

TEST(MoveCodes, TheFourDirections) {
  EXPECT_EQ(moveDelta(0)->dy, 1);
  EXPECT_EQ(moveDelta(1)->dx, -1);
  EXPECT_EQ(moveDelta(2)->dx, 1);
  EXPECT_EQ(moveDelta(3)->dy, -1);
  EXPECT_FALSE(moveDelta(kGiveUp));
  EXPECT_FALSE(moveDelta(4));
}

namespace {

// The move phase written out as the game's rules state it: done marks, a settled count and
// PieceCount passes, every pass trying every piece not yet done. Returns the pieces in the order
// they moved.
std::vector<int> referenceMove(PuzzleBoard& b, MoveDelta d) {
  std::vector<int> order;
  std::array<int, 31> done{};
  int settled = 0;
  const int passes = b.PieceCount;
  for (int pass = 1; pass <= passes; ++pass) {
    for (int i = 1; i <= b.PieceCount; ++i) {
      if (done[i] != 0) continue;
      int tx = b.PieceX[i] + d.dx, ty = b.PieceY[i] + d.dy;
      if (tx == -1) tx = 11;
      if (tx == 12) tx = 0;
      if (ty == -1) ty = 11;
      if (ty == 12) ty = 0;
      if (b.Board[tx][ty] >= 16) {
        done[i] = 1;
        settled += 1;
      } else if (b.Occupied[tx][ty] == 0) {
        b.Occupied[b.PieceX[i]][b.PieceY[i]] = 0;
        b.Occupied[tx][ty] = 1;
        b.PieceX[i] = std::int16_t(tx);
        b.PieceY[i] = std::int16_t(ty);
        done[i] = 1;
        settled += 1;
        order.push_back(i);
      }
    }
    if (settled == b.PieceCount) break;
  }
  return order;
}

}  // namespace

TEST(MoveRule, AgreesWithTheRulesAsWrittenOnRandomCrowdedBoards) {
  std::mt19937 random(20240611);
  const MoveDelta deltas[4] = {kDown, kLeft, kRight, kUp};
  for (int round = 0; round < 400; ++round) {
    // Crowded boards with walls make long chains of blocked pieces.
    StagePicture rows(12, std::string(12, '.'));
    int pieces = 0;
    for (auto& row : rows)
      for (char& c : row) {
        int roll = int(random() % 100);
        if (roll < 12) c = '#';
        else if (roll < 70 && pieces < 30) c = char('1' + random() % 5), ++pieces;
      }
    PuzzleBoard mine = decoded(rows), ref = mine;
    for (int step = 0; step < 8; ++step) {
      MoveDelta d = deltas[random() % 4];
      MoveResult r = movePieces(mine.ref(), d);
      std::vector<int> expected = referenceMove(ref, d);
      std::vector<int> order;
      for (int k = 0; k < r.count; ++k) order.push_back(r.moves[std::size_t(k)].piece);
      ASSERT_EQ(order, expected) << "round " << round << " step " << step;
      ASSERT_EQ(mine.PieceX, ref.PieceX);
      ASSERT_EQ(mine.PieceY, ref.PieceY);
      for (int c = 0; c < 12; ++c)
        for (int rr = 0; rr < 12; ++rr) ASSERT_EQ(mine.Occupied[c][rr] != 0, ref.Occupied[c][rr] != 0);
    }
  }
}
