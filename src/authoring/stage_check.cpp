#include "authoring/stage_check.hpp"

#include <array>
#include <deque>

#include "puzzle/rules.hpp"

namespace vunt {

namespace {

using Cells = std::array<bool, kBoardSize * kBoardSize>;

std::string cellName(int x, int y) { return "column " + std::to_string(x) + ", row " + std::to_string(y); }

// The cells piece p reaches alone, by the game's own move rule; a trap ends the attempt, so the
// search stops there.
Cells reachAlone(const PuzzleBoard& stage, int p) {
  PuzzleBoard alone;
  alone.Board = stage.Board;
  alone.PieceCount = 1;
  alone.PieceKind[1] = stage.PieceKind[std::size_t(p)];
  Cells seen{};
  std::deque<int> work{stage.PieceX[std::size_t(p)] * kBoardSize + stage.PieceY[std::size_t(p)]};
  seen[std::size_t(work.front())] = true;
  while (!work.empty()) {
    const int cell = work.front();
    work.pop_front();
    const int x = cell / kBoardSize, y = cell % kBoardSize;
    if (stage.Board[std::size_t(x)][std::size_t(y)] == kTrapCode) continue;
    for (int move = 0; move < 4; ++move) {
      std::optional<MoveDelta> d = moveDelta(move);
      if (!d) continue;
      alone.PieceX[1] = std::int16_t(x);
      alone.PieceY[1] = std::int16_t(y);
      for (auto& column : alone.Occupied) column.fill(0);
      alone.Occupied[std::size_t(x)][std::size_t(y)] = 1;
      movePieces(alone.ref(), *d);
      const int next = alone.PieceX[1] * kBoardSize + alone.PieceY[1];
      if (!seen[std::size_t(next)]) {
        seen[std::size_t(next)] = true;
        work.push_back(next);
      }
    }
  }
  return seen;
}

}  // namespace

std::vector<StageFault> stageFaults(const PuzzleBoard& stage) {
  std::vector<StageFault> out;
  if (stage.PieceCount == 0) {
    out.push_back({false, "has no pieces: it is cleared by the first key press"});
    return out;
  }
  std::array<Cells, kLastPieceCode + 1> reachedByKind{};
  std::array<int, kLastPieceCode + 1> pieces{}, goals{};
  for (int x = 0; x < kBoardSize; ++x)
    for (int y = 0; y < kBoardSize; ++y) {
      const int code = stage.Board[std::size_t(x)][std::size_t(y)];
      if (code > kGoalOffset && code <= kGoalOffset + kLastPieceCode) ++goals[std::size_t(code - kGoalOffset)];
    }
  for (int p = 1; p <= stage.PieceCount; ++p) {
    const int kind = stage.PieceKind[std::size_t(p)];
    ++pieces[std::size_t(kind)];
    const Cells cells = reachAlone(stage, p);
    bool goal = false;
    for (int c = 0; c < kBoardSize * kBoardSize; ++c) {
      if (!cells[std::size_t(c)]) continue;
      reachedByKind[std::size_t(kind)][std::size_t(c)] = true;
      goal |= stage.Board[std::size_t(c / kBoardSize)][std::size_t(c % kBoardSize)] == kind + kGoalOffset;
    }
    if (!goal)
      out.push_back({true, "can never be cleared: the piece of kind " + std::to_string(kind) + " at " +
                               cellName(stage.PieceX[std::size_t(p)], stage.PieceY[std::size_t(p)]) +
                               " can reach no goal plate of its kind"});
  }
  for (int k = kFirstPieceCode; k <= kLastPieceCode; ++k)
    if (pieces[std::size_t(k)] > goals[std::size_t(k)])
      out.push_back({true, "can never be cleared: it has " + std::to_string(pieces[std::size_t(k)]) + " pieces of kind " +
                               std::to_string(k) + " but " + std::to_string(goals[std::size_t(k)]) + " goal plates for them"});
  for (int x = 0; x < kBoardSize; ++x)
    for (int y = 0; y < kBoardSize; ++y) {
      const int code = stage.Board[std::size_t(x)][std::size_t(y)];
      if (code <= kGoalOffset || code > kGoalOffset + kLastPieceCode) continue;
      const int kind = code - kGoalOffset;
      if (pieces[std::size_t(kind)] > 0 && !reachedByKind[std::size_t(kind)][std::size_t(x * kBoardSize + y)])
        out.push_back({false, "has a goal plate of kind " + std::to_string(kind) + " at " + cellName(x, y) +
                                  " that no piece of its kind can reach"});
    }
  return out;
}

}  // namespace vunt
