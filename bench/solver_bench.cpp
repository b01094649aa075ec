// The stage solver on a hard stage of 30 pieces: eleven moves deep, a little over a million states
// searched. Goal: at least 2 million states per second on one core (the "states/s" counter).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "puzzle/solver.hpp"
#include "puzzle/stage.hpp"
#include "puzzle/stage_text.hpp"

namespace {

using namespace vunt;

const char* kHardStage =
    "stage 1\n"
    "4321..3..1..\n"
    "445.5.153.5.\n"
    "2513.34...3.\n"
    "14.24.5212.2\n"
    "......#.#dc.\n"
    "...c.c.e#dd.\n"
    "a..a..#a#b#.\n"
    ".e.deb#..b.b\n"
    "ecce.#.a.cae\n"
    "abd..#..b##d\n"
    ".#.....##...\n"
    "..#........#\n";

void BM_SolveHardStage(benchmark::State& state) {
  ParsedStages parsed = parseStageText(kHardStage);
  PuzzleBoard board;
  if (!parsed.errors.empty() || decodeStage(packStageFile(parsed.stages), 1, board) != StageError::None ||
      board.PieceCount != 30)
    std::abort();
  std::uint64_t states = 0;
  for (auto _ : state) {
    SolveResult r = solveStage(board);
    if (r.status != SolveResult::Solved || r.moves.size() != 11) std::abort();
    states += r.states;
    benchmark::DoNotOptimize(r);
  }
  state.counters["states"] = double(states) / double(state.iterations());
  state.counters["states/s"] = benchmark::Counter(double(states), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SolveHardStage)->Unit(benchmark::kMillisecond);

}  // namespace
