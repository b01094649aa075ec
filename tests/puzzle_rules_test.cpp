// The stage decoding and the move rule as pure functions on the board model.
#include <gtest/gtest.h>

#include <random>

#include "puzzle/rules.hpp"
#include "stage_builder.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

constexpr MoveDelta kDown{0, 1}, kLeft{-1, 0}, kRight{1, 0}, kUp{0, -1};

// Row r of the board as a picture: '#' for a wall, the kind of a piece standing there, else '.';
// trailing floor left out.
std::string row(const PuzzleBoard& b, int r) {
  std::string s(12, '.');
  for (int c = 0; c < 12; ++c) {
    if (b.Board[c][r] >= 16) s[std::size_t(c)] = '#';
    if (int i = b.Occupied[c][r]; i != 0) s[std::size_t(c)] = char('0' + b.PieceKind[i]);
  }
  return s.substr(0, s.find_last_not_of('.') + 1);
}

std::string afterMove(const std::string& row0, MoveDelta d, int* passes = nullptr) {
  PuzzleBoard b = decoded({row0});
  MoveResult r = movePieces(b.ref(), d);
  if (passes) *passes = r.passes;
  return row(b, 0);
}

}  // namespace

TEST(StageDecoding, LayoutNumberingAndFaults) {
  std::string file = stageFile({{"1"}, {"..3.1", "", "#a...5", "", "", "", "", "", "", "", "", "x..........2"}});
  PuzzleBoard b;
  ASSERT_EQ(decodeStage(file, 2, b), StageError::None);
  ASSERT_EQ(b.PieceCount, 4);  // numbered row by row, left to right, standing on plain floor
  EXPECT_EQ(std::vector<int>({b.PieceX[1], b.PieceY[1], b.PieceKind[1], b.Board[2][0], b.Occupied[2][0]}),
            std::vector<int>({2, 0, 3, 0, 1}));
  EXPECT_EQ(std::vector<int>({b.PieceX[4], b.PieceY[4], b.PieceKind[4], b.Occupied[11][11]}),
            std::vector<int>({11, 11, 2, 4}));
  EXPECT_EQ(std::vector<int>({b.Board[0][2], b.Board[1][2], b.Board[0][11], b.Occupied[0][2]}),
            std::vector<int>({16, 6, 11, 0}));
  // The file may end right after the stage's cells, not a byte earlier.
  file.resize(stageOffset(2) + 144);
  EXPECT_EQ(decodeStage(file, 2, b), StageError::None);
  file.pop_back();
  EXPECT_EQ(decodeStage(file, 2, b), StageError::NotInFile);
  EXPECT_EQ(decodeStage("", 1, b), StageError::NotInFile);
  std::string big = stageFile(std::vector<StagePicture>(205, StagePicture{"1"}));
  EXPECT_EQ(decodeStage(big, 204, b), StageError::None);
  for (int s : {0, -1, 205, -32768}) EXPECT_EQ(decodeStage(big, s, b), StageError::OutOfRange) << s;
  // Thirty pieces, the last in scan order numbered 30; one more is too many.
  StagePicture full{"111111111111", "222222222222", "333333"};
  ASSERT_EQ(decodeStage(stageFile({full}), 1, b), StageError::None);
  EXPECT_EQ(std::vector<int>({b.PieceCount, b.PieceX[30], b.PieceY[30]}), std::vector<int>({30, 5, 2}));
  full[2] += "4";
  EXPECT_EQ(decodeStage(stageFile({full}), 1, b), StageError::TooManyPieces);
  // Code 25 is the last valid code; a fault leaves the board as it was.
  file = stageFile({{"1~"}});
  ASSERT_EQ(decodeStage(file, 1, b), StageError::None);
  EXPECT_EQ(b.Board[1][0], 25);
  for (int code : {26, 255}) {
    file[32 + 143] = char(code);
    EXPECT_EQ(decodeStage(file, 1, b), StageError::BadCellCode);
    EXPECT_EQ(b.Board[1][0], 25);
  }
}

TEST(MoveRule, EdgeCases) {
  int passes = 0;
  // Three in a row all move, whatever their numbers: at once when the front piece has the lowest
  // number, one pass each when it has the highest.
  EXPECT_EQ(afterMove("....123", kLeft, &passes), "...123");
  EXPECT_EQ(passes, 1);
  EXPECT_EQ(afterMove("....123", kRight, &passes), ".....123");
  EXPECT_EQ(passes, 3);
  // A full row of twelve has no free cell to move into.
  EXPECT_EQ(afterMove("123451234512", kRight), "123451234512");
  EXPECT_EQ(afterMove("123451234512", kLeft), "123451234512");
  // Left and right across the edges, also into the cell another piece leaves; a wall there stops.
  EXPECT_EQ(afterMove("1..........2", kLeft), "..........21");
  EXPECT_EQ(afterMove("1..........2", kRight), "21");
  EXPECT_EQ(afterMove("1..........#", kLeft), "1..........#");
  // A wall stops the piece ahead of it and the piece behind that; a gap lets the rear one close up.
  EXPECT_EQ(afterMove("...12#", kRight), "...12#");
  EXPECT_EQ(afterMove("#12", kLeft), "#12");
  EXPECT_EQ(afterMove(".1.2#", kRight), "..12#");
  // Codes 16 to 25 block; traps, goals and floors do not.
  EXPECT_EQ(afterMove("1~", kRight), "1#");
  EXPECT_EQ(afterMove("1x2e", kRight), ".1.2");
  // Up and down across the edges.
  PuzzleBoard b = decoded({"3"});
  movePieces(b.ref(), kUp);
  EXPECT_EQ(row(b, 11), "3");
  movePieces(b.ref(), kDown);
  EXPECT_EQ(row(b, 0), "3");
}

TEST(CheckPhase, GoalsTrapsAndClearing) {
  auto check = [](const StagePicture& rows) {
    PuzzleBoard b = decoded(rows);
    movePieces(b.ref(), kRight);
    CheckResult c = checkPieces(b.ref());
    return std::vector<int>({c.trappedCount, c.trappedCount ? c.trapped[0] : 0, c.onOwnGoal,
                             c.cleared(b.PieceCount) ? 1 : 0});
  };
  EXPECT_EQ(check({"1a", "5e"}), std::vector<int>({0, 0, 2, 1}));
  EXPECT_EQ(check({"1a", "2a"}), std::vector<int>({0, 0, 1, 0}));  // another kind's plate counts not
  EXPECT_EQ(check({"", "1x", "2x.4d"}), std::vector<int>({2, 1, 1, 0}));
  EXPECT_EQ(check({"1a", "2x"}), std::vector<int>({1, 2, 1, 0}));  // a goal and a trap: not cleared
  EXPECT_EQ(check({"#a"}), std::vector<int>({0, 0, 0, 1}));        // no pieces: cleared at once
}

namespace {

// The move phase as the rules state it: done marks, a settled count and PieceCount passes, each
// trying every piece not yet done. Returns the pieces in the order they moved.
std::vector<int> referenceMove(PuzzleBoard& b, MoveDelta d) {
  std::vector<int> order;
  std::array<int, 31> done{};
  int settled = 0;
  for (int pass = 1; pass <= b.PieceCount; ++pass) {
    for (int i = 1; i <= b.PieceCount; ++i) {
      if (done[i] != 0) continue;
      int tx = b.PieceX[i] + d.dx, ty = b.PieceY[i] + d.dy;
      tx = tx == -1 ? 11 : tx == 12 ? 0 : tx;
      ty = ty == -1 ? 11 : ty == 12 ? 0 : ty;
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
    StagePicture rows(12, std::string(12, '.'));
    int pieces = 0;
    for (auto& r : rows)
      for (char& c : r) {
        int roll = int(random() % 100);
        if (roll < 12) c = '#';
        else if (roll < 70 && pieces < 30) c = char('1' + random() % 5), ++pieces;
      }
    PuzzleBoard mine = decoded(rows), ref = mine;
    for (int step = 0; step < 8; ++step) {
      MoveDelta d = deltas[random() % 4];
      MoveResult r = movePieces(mine.ref(), d);
      std::vector<int> order;
      for (int k = 0; k < r.count; ++k) order.push_back(r.moves[std::size_t(k)].piece);
      ASSERT_EQ(order, referenceMove(ref, d)) << "round " << round << " step " << step;
      ASSERT_EQ(mine.PieceX, ref.PieceX);
      ASSERT_EQ(mine.PieceY, ref.PieceY);
      for (int c = 0; c < 12; ++c)
        for (int y = 0; y < 12; ++y) ASSERT_EQ(mine.Occupied[c][y] != 0, ref.Occupied[c][y] != 0);
    }
  }
}
