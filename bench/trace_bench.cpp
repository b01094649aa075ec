// What --trace costs: the bundled game's good-ending playthrough on the headless host, untraced
// and traced (a "line" transcript line per executed line, a "flag" line per change), with the
// transcript written to /dev/null as a redirected run writes it. The goal is a traced run under 3x
// the untraced one. A loop that never waits, the worst case (every tick writes a line), is
// measured beside it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "platform/headless_host.hpp"
#include "shell/input_file.hpp"
#include "shell/debugger.hpp"
#include "shell/vunt.hpp"

namespace fs = std::filesystem;

namespace {

// A copy of a game folder (the playthrough saves), removed afterwards.
class GameCopy {
 public:
  explicit GameCopy(const fs::path& from) {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("vunt-bench-" + std::to_string(rd()) + std::to_string(rd()));
    fs::copy(from, path_, fs::copy_options::recursive);
  }
  ~GameCopy() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void playthrough(benchmark::State& state, bool trace) {
  GameCopy game(VUNT_GAME_DIR);
  std::string error;
  auto input = vunt::parseInputEvents(readText(fs::path(VUNT_TEST_DATA) / "game/good_ending.txt"), error);
  if (!input) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::ofstream out("/dev/null");
  std::uint64_t lines = 0;
  for (auto _ : state) {
    fs::remove(game.path() / "VUNT.DAT");
    vunt::HeadlessHost host(*input, out);
    vunt::Vunt vunt(host, game.path());
    vunt::DebugOptions options;
    options.trace = trace;
    vunt::Debugger debugger(options);
    if (trace) vunt.setDebugger(&debugger);
    if (host.run(vunt) != 0) state.SkipWithError("the playthrough did not end with EXIT");
    lines += 1;
  }
  state.counters["runs/s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
}

void BM_Playthrough_Untraced(benchmark::State& state) { playthrough(state, false); }
void BM_Playthrough_Traced(benchmark::State& state) { playthrough(state, true); }
BENCHMARK(BM_Playthrough_Untraced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Playthrough_Traced)->Unit(benchmark::kMillisecond);

// 100,000 lines of a loop that never waits, then the tick bound ends the run.
void tightLoop(benchmark::State& state, bool trace) {
  fs::path dir = fs::temp_directory_path() / ("vunt-bench-loop-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  std::ofstream(dir / "vunt-n.zad", std::ios::binary) << "DO\r\nINC,1,100,L\r\nLOOP,1\r\n";
  std::ofstream out("/dev/null");
  for (auto _ : state) {
    vunt::HeadlessHost host({}, out);
    host.setBudget(100000, UINT64_MAX);
    vunt::Vunt vunt(host, dir);
    vunt::DebugOptions options;
    options.trace = trace;
    vunt::Debugger debugger(options);
    if (trace) vunt.setDebugger(&debugger);
    host.run(vunt);
  }
  fs::remove_all(dir);
}
void BM_TightLoop_Untraced(benchmark::State& state) { tightLoop(state, false); }
void BM_TightLoop_Traced(benchmark::State& state) { tightLoop(state, true); }
BENCHMARK(BM_TightLoop_Untraced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TightLoop_Traced)->Unit(benchmark::kMillisecond);

}  // namespace
