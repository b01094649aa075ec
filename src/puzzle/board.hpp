#pragma once
// The puzzle board model: a 12 x 12 grid of cell codes, a grid of occupied cells and up to 30
// pieces numbered from 1. The main window holds these as its own members; PuzzleBoard holds the
// same tables for decoding a stage and for tests, and BoardRef lets the rules work on either.
#include <array>
#include <cstdint>

namespace vunt {

constexpr int kBoardSize = 12;
constexpr int kMaxPieces = 30;

// Cell codes of a stage.
constexpr int kFirstPieceCode = 1;   // 1..5: starting cell of a piece of that kind (plain floor)
constexpr int kLastPieceCode = 5;
constexpr int kGoalOffset = 5;       // 6..10: goal plate of kind code - 5
constexpr int kTrapCode = 11;
constexpr int kFirstWallCode = 16;   // 16 and up block pieces
constexpr int kLastCellCode = 25;    // the last code with a frame in the tile sheet

using Grid = std::array<std::array<std::int16_t, kBoardSize>, kBoardSize>;  // [column][row]
using PieceTable = std::array<std::int16_t, kMaxPieces + 1>;                 // entry 0 unused

// The tables the rules read and change, wherever they are kept.
struct BoardRef {
  const Grid& Board;
  Grid& Occupied;
  PieceTable& PieceX;
  PieceTable& PieceY;
  const PieceTable& PieceKind;
  int PieceCount;
};

struct PuzzleBoard {
  Grid Board{};
  Grid Occupied{};
  PieceTable PieceX{}, PieceY{}, PieceKind{};
  std::int16_t PieceCount = 0;

  BoardRef ref() { return {Board, Occupied, PieceX, PieceY, PieceKind, PieceCount}; }
};

}  // namespace vunt
