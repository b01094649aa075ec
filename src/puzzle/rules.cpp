#include "puzzle/rules.hpp"

#include <bit>

namespace vunt {

std::optional<MoveDelta> moveDelta(int move) {
  switch (move) {
    case 0: return MoveDelta{0, 1};
    case 1: return MoveDelta{-1, 0};
    case 2: return MoveDelta{1, 0};
    case 3: return MoveDelta{0, -1};
    default: return std::nullopt;
  }
}

static int wrap(int v) {
  if (v < 0) return kBoardSize - 1;
  if (v >= kBoardSize) return 0;
  return v;
}

MoveResult movePieces(BoardRef b, MoveDelta delta) {
  // Passes in number order, as the rules have them, without trying a blocked piece again and
  // again: a piece with another piece ahead can move only once that piece has left, and nothing
  // else can enter the freed cell (only the piece behind it has that cell ahead). So a blocked
  // piece waits on the cell ahead of it, and the move out of that cell makes it due again: later
  // in the same pass when its number is higher than the mover's, else in the next pass. Every
  // piece is tried at most twice, and the pieces move in exactly the order of the passes.
  MoveResult result;
  const int count = b.PieceCount;
  std::array<std::uint32_t, kMaxPieces + 2> due{};  // per pass, the set of piece numbers to try
  std::array<std::uint8_t, kBoardSize * kBoardSize> waiter{};  // by cell: the piece waiting for it
  if (count > 0) due[1] = ((std::uint32_t(1) << count) - 1) << 1;
  for (int pass = 1; pass <= count && due[std::size_t(pass)] != 0; ++pass) {
    result.passes = pass;
    std::uint32_t& now = due[std::size_t(pass)];
    while (now != 0) {
      const int i = std::countr_zero(now);
      now &= now - 1;
      const int x = b.PieceX[i], y = b.PieceY[i];
      const int tx = wrap(x + delta.dx), ty = wrap(y + delta.dy);
      if (b.Board[tx][ty] >= kFirstWallCode) continue;  // settles where it stands
      if (b.Occupied[tx][ty] != 0) {
        waiter[std::size_t(ty * kBoardSize + tx)] = std::uint8_t(i);
        continue;
      }
      b.Occupied[x][y] = 0;
      b.Occupied[tx][ty] = std::int16_t(i);
      b.PieceX[i] = std::int16_t(tx);
      b.PieceY[i] = std::int16_t(ty);
      result.moves[std::size_t(result.count++)] = {i, x, y};
      if (const int w = waiter[std::size_t(y * kBoardSize + x)]; w != 0) {
        waiter[std::size_t(y * kBoardSize + x)] = 0;
        due[std::size_t(w > i ? pass : pass + 1)] |= std::uint32_t(1) << w;
      }
    }
  }
  return result;
}

CheckResult checkPieces(const BoardRef& b) {
  CheckResult result;
  for (int i = 1; i <= b.PieceCount; ++i) {
    const int under = b.Board[b.PieceX[i]][b.PieceY[i]];
    if (under == kTrapCode) result.trapped[std::size_t(result.trappedCount++)] = i;
    if (under == b.PieceKind[i] + kGoalOffset) ++result.onOwnGoal;
  }
  return result;
}

}  // namespace vunt
