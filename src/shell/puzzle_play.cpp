// One step of the puzzle for a move key or Esc: the move, the traps, a failed attempt, a cleared
// stage. PuzzleActive is 0 whenever the step lets the window system run (blinking and waits), so
// keys that arrive then start no second step.
#include "puzzle/rules.hpp"
#include "shell/vunt.hpp"

namespace vunt {

void Vunt::PuzzleStep(i16 move) {
  if (move == kGiveUp) {
    failedAttempt();
    return;
  }
  const std::optional<MoveDelta> delta = moveDelta(move);
  if (!delta) return;
  BoardRef board = puzzle.board.ref();
  const MoveResult moved = movePieces(board, *delta);
  // Each piece moves at most once, so painting after the move phase shows what painting during
  // it would: the old square, then the piece on its new square, in the order they moved.
  for (int k = 0; k < moved.count; ++k) {
    const PieceMove& m = moved.moves[std::size_t(k)];
    PaintCell(m.fromX, m.fromY);
    PaintPiece(m.piece);
  }
  const CheckResult check = checkPieces(board);
  for (int k = 0; k < check.trappedCount; ++k) blinkTrappedPiece(check.trapped[std::size_t(k)]);
  if (check.failed()) {
    // However many pieces fell into traps, the attempt fails once.
    failedAttempt();
  } else if (check.cleared(puzzle.board.PieceCount)) {
    stageCleared();
  }
}

void Vunt::blinkTrappedPiece(int piece) {
  puzzle.PuzzleActive = 0;
  for (int blink = 0; blink < 3; ++blink) {
    PaintCell(puzzle.board.PieceX[std::size_t(piece)], puzzle.board.PieceY[std::size_t(piece)]);
    host().doEvents(WaitKind::Timed, 0);
    playSoundFile(U"\\L-batu.wav", 0);
    PaintPiece(piece);
    host().doEvents(WaitKind::Timed, 0);
    playSoundFile(U"\\L-batu.wav", 0);
  }
  puzzle.PuzzleActive = 1;
}

void Vunt::failedAttempt() {
  puzzle.PuzzleActive = 0;
  playSoundFile(U"\\L-MISS.wav", 1);
  setLbhgCaption(0, U"失敗");
  machine.MESHG(U"￥");
  // Counted in int: an F20 of -32768 still ends the puzzle rather than wrapping around.
  const int left = script.Flags[20] - 1;
  script.Flags[20] = i16(left > 0 ? left : 9);
  if (left > 0) {
    LoadStage();
    puzzle.PuzzleActive = 1;
  } else {
    endPuzzle();
  }
}

void Vunt::stageCleared() {
  puzzle.PuzzleActive = 0;
  playSoundFile(U"\\A-CLEAR.wav", 1);
  if (puzzle.Stage == puzzle.LastStage) {
    setLbhgCaption(0, U"勝利");
    machine.MESHG(U"￥");
    script.Flags[21] = 1;
    endPuzzle();
  } else {
    setLbhgCaption(0, U"成功");
    machine.MESHG(U"￥");
    ++puzzle.Stage;
    LoadStage();
    puzzle.PuzzleActive = 1;
  }
}

}  // namespace vunt
