// One puzzle step on a full board of 30 pieces, without drawing: the move phase and the check
// phase. Goal: under 2 microseconds per step.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "puzzle/rules.hpp"
#include "puzzle/stage.hpp"

namespace {

using namespace vunt;

PuzzleBoard boardFrom(const char* const rows[12]) {
  std::string file(32, '\0');
  for (int r = 0; r < 12; ++r) {
    std::string row = rows[r];
    row.resize(12, '.');
    for (char c : row) file += c == '.' ? char(0) : c == '#' ? char(16) : c == 'x' ? char(11) : char(c - '0');
  }
  PuzzleBoard b;
  if (decodeStage(file, 1, b) != StageError::None || b.PieceCount != 30) std::abort();
  return b;
}

void step(benchmark::State& state, PuzzleBoard b, MoveDelta delta) {
  for (auto _ : state) {
    MoveResult moved = movePieces(b.ref(), delta);
    CheckResult check = checkPieces(b.ref());
    benchmark::DoNotOptimize(moved);
    benchmark::DoNotOptimize(check);
  }
}

// Three runs of ten pieces sliding right, the front piece numbered last: ten passes per row
// while a run lies inside its row; the runs wrap round the board step after step.
void BM_StepRunsOfTen(benchmark::State& state) {
  const char* rows[12] = {"1234512345", "#", "2345123451", "", "3451234512", "", "", "", "", "", "", ""};
  step(state, boardFrom(rows), {1, 0});
}
BENCHMARK(BM_StepRunsOfTen);

// The most work a step can do: full rows that cannot move take all 30 passes over all 30 pieces.
void BM_StepFullRowsBlocked(benchmark::State& state) {
  const char* rows[12] = {"123451234512", "345123451234", "512345", "", "", "", "", "", "", "", "", ""};
  step(state, boardFrom(rows), {1, 0});
}
BENCHMARK(BM_StepFullRowsBlocked);

// Thirty pieces scattered over walls and traps, moving down; they soon pile up behind the walls,
// so most steps make several passes over pieces that cannot move.
void BM_StepScattered(benchmark::State& state) {
  const char* rows[12] = {"1.2.3.4.5.1.", ".2.3.4.5.1.2", "3.4.#.5.1.2.", ".3.4.5.x.1.2", "3.4.5.1.2.3.",
                          "4.1.#.......", "", "..#.....#...", "", "", "", ""};
  step(state, boardFrom(rows), {0, 1});
}
BENCHMARK(BM_StepScattered);

}  // namespace
