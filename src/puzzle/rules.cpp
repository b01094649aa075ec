#include "puzzle/rules.hpp"

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
  MoveResult result;
  std::array<bool, kMaxPieces + 1> done{};
  const int count = b.PieceCount;
  int settled = 0;
  for (int pass = 0; pass < count; ++pass) {
    ++result.passes;
    for (int i = 1; i <= count; ++i) {
      if (done[i]) continue;
      const int x = b.PieceX[i], y = b.PieceY[i];
      const int tx = wrap(x + delta.dx), ty = wrap(y + delta.dy);
      if (b.Board[tx][ty] >= kFirstWallCode) {
        done[i] = true;
        ++settled;
      } else if (b.Occupied[tx][ty] == 0) {
        b.Occupied[x][y] = 0;
        b.Occupied[tx][ty] = std::int16_t(i);
        b.PieceX[i] = std::int16_t(tx);
        b.PieceY[i] = std::int16_t(ty);
        result.moves[std::size_t(result.count++)] = {i, x, y};
        done[i] = true;
        ++settled;
      }
      // Otherwise another piece stands ahead: try again in the next pass.
    }
    if (settled == count) break;
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
