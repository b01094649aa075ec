#pragma once
// The puzzle's rules, on the board model alone: every piece slides one cell at once, wrapping at
// the edges; walls stop a piece, and a piece stops the one behind it unless it moves away itself.
// After a move, pieces on traps fail the attempt and the stage is cleared when every piece stands
// on the goal plate of its own kind. Nothing here draws; the caller paints what the results name.
#include <array>
#include <cstdint>
#include <optional>

#include "puzzle/board.hpp"

namespace vunt {

// Move codes of a step: 0 down, 1 left, 2 right, 3 up; 9 gives up the attempt.
constexpr int kGiveUp = 9;

struct MoveDelta {
  int dx, dy;
};
// The column and row change of a move code; nothing for any other code.
std::optional<MoveDelta> moveDelta(int move);

struct PieceMove {
  int piece;         // the piece's number; its new cell is its PieceX / PieceY
  int fromX, fromY;  // the cell it left
};

struct MoveResult {
  std::array<PieceMove, kMaxPieces> moves;  // in the order the pieces moved
  int count = 0;
  int passes = 0;  // the passes in which some piece was tried
};

// The move phase of one step. In each pass, pieces not yet settled are tried in number order: a
// piece with a wall ahead settles where it is, a piece with a free cell ahead moves there and
// settles, a piece with another piece ahead waits for the next pass. At most PieceCount passes are
// made, so a piece whose blocker never moves stays. Occupied marks a moved piece's cell with its
// number.
MoveResult movePieces(BoardRef board, MoveDelta delta);

struct CheckResult {
  std::array<int, kMaxPieces> trapped;  // numbers of the pieces on traps, in number order
  int trappedCount = 0;
  int onOwnGoal = 0;  // pieces on the goal plate of their own kind

  bool failed() const { return trappedCount > 0; }
  // A stage is cleared when no piece is trapped and all stand on their goals; a stage without
  // pieces is cleared at once.
  bool cleared(int pieceCount) const { return !failed() && onOwnGoal == pieceCount; }
};

// The check phase after a move.
CheckResult checkPieces(const BoardRef& board);

}  // namespace vunt
