// The stage solver: states searched per second and bytes of memory per stored state.
//   BM_SolveHardStage: a hard stage of 30 pieces, eleven moves deep, a little over a million
//     states. Goal: at least 2 million states per second on one core.
//   BM_SolverStates/N: a stage of N pieces (4, 8, 12, 20) of three kinds among walls, searched
//     until two million distinct states are stored. Goal: at most 24 bytes per stored state up to
//     12 pieces, at the speed of the 30-piece stage.
// Counters: "states/s", and "bytes/state": the memory the search holds for its states at the end
// (keys, hash slots and parent links, with the unused room of each) divided by the states stored.
//
// Measured side by side with the solver of 64-bit slots and bit-plane keys that came before the
// one-byte-a-piece keys (commit 228ce69, as then built with -O2): both linked into one benchmark
// binary and run alternately, BM_SolverStates, median over 7 runs of the ratio within each run, on
// a shared two-core machine (absolute rates drift by a tenth from run to run; the ratios less).
//   pieces   states/s old -> now (M)   ratio   bytes/state old -> now
//      4          3.38 -> 5.06          1.52        45.4 -> 12.9
//      8          5.58 -> 7.25          1.26        45.4 -> 16.9
//     12          6.74 -> 7.10          1.05        45.4 -> 20.9
//     20          6.65 -> 6.87          1.03        53.5 -> 28.9
//     30          5.89 -> 6.46          1.03        70.6 -> 38.2   (BM_SolveHardStage)
// Part of that is the compiler: solver.cpp is now built with -O3. Both built with the same level,
// the one-byte keys cost 11 % of the rate at 12 and 20 pieces (0.89 at -O2, 0.86 to 0.89 at -O3):
// a key is listed and read back piece by piece, where the older key was gathered in a few bit
// instructions. Growing the hash table is cheaper than before (about 15 % of the time against
// 30 %): its slots are half the size and fill to three quarters.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <string>

#include "puzzle/solver.hpp"
#include "puzzle/stage.hpp"
#include "puzzle/stage_text.hpp"

namespace {

using namespace vunt;

const char* kHardStage =
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

// Random stages of 4, 8, 12 and 20 pieces on the same forty walls; none is solved within the
// budget, so every search stores exactly that many states.
const std::map<int, const char*> kStagesByPieces = {
    {4,
     "##.......#..\n.....#......\n..##.####1.#\n#........#..\n....2..a.#..\n......###..#\n"
     "....1...#.##\n....##.##.#.\n...###.##.3#\n.....#...c.#\n..###..##...\n...a....b..#\n"},
    {8,
     "##.3.....#..\n.....#..2...\n..##b####1.#\n#........#a.\n....2..a.#..\n......###.2#\n"
     "....1...#.##\n....##.##.#.\n...###.##.3#\n.b...#...c.#\n1.###..##...\n.c.a....b..#\n"},
    {12,
     "##.3.ac..#..\n.b...#..2...\n..##b####1.#\n#..3.....#a.\n....2..a.#..\n..2.3.###.2#\n"
     "....1...#.##\n....##.##.#.\n...###.##.3#\n.b...#...c.#\n1.###..##...\n1cca....b..#\n"},
    {20,
     "##.3.acc.#.a\n.b...#..2...\n..##b####1.#\n#2a3.....#a.\nb...23aa.#..\n.32.3.###22#\n"
     "....1...#.##\nc...##.##.#.\n..2###.##13#\n1b...#1..c.#\n1.###..##.bb\n1cca....b..#\n"},
};
constexpr std::size_t kStateBudget = 2'000'000;

PuzzleBoard boardOf(const char* rows, int pieces) {
  ParsedStages parsed = parseStageText(std::string("stage 1\n") + rows);
  PuzzleBoard board;
  if (!parsed.errors.empty() || decodeStage(packStageFile(parsed.stages), 1, board) != StageError::None ||
      board.PieceCount != pieces)
    std::abort();
  return board;
}

void report(benchmark::State& state, std::uint64_t states, std::uint64_t bytes) {
  state.counters["states"] = double(states) / double(state.iterations());
  state.counters["states/s"] = benchmark::Counter(double(states), benchmark::Counter::kIsRate);
  state.counters["bytes/state"] = double(bytes) / double(states);
}

void BM_SolveHardStage(benchmark::State& state) {
  const PuzzleBoard board = boardOf(kHardStage, 30);
  std::uint64_t states = 0, bytes = 0;
  for (auto _ : state) {
    SolveResult r = solveStage(board);
    if (r.status != SolveResult::Solved || r.moves.size() != 11) std::abort();
    states += r.states;
    bytes += r.bytes;
    benchmark::DoNotOptimize(r);
  }
  report(state, states, bytes);
}
BENCHMARK(BM_SolveHardStage)->Unit(benchmark::kMillisecond);

void BM_SolverStates(benchmark::State& state) {
  const int pieces = int(state.range(0));
  const PuzzleBoard board = boardOf(kStagesByPieces.at(pieces), pieces);
  std::uint64_t states = 0, bytes = 0;
  for (auto _ : state) {
    SolveResult r = solveStage(board, SolveLimits{kStateBudget});
    if (r.status != SolveResult::LimitReached || r.states != kStateBudget) std::abort();
    states += r.states;
    bytes += r.bytes;
    benchmark::DoNotOptimize(r);
  }
  report(state, states, bytes);
}
BENCHMARK(BM_SolverStates)->Arg(4)->Arg(8)->Arg(12)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
