// The interpreter tick in the headless host, in script lines per second: a long run of DO lines,
// an IF/INC/GOTO loop and a GOSUB/RET loop. Each benchmark iteration is one tick, one line.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/headless_host.hpp"
#include "shell/vunt.hpp"

namespace {

// A game directory holding only the script, removed afterwards.
class ScriptDir {
 public:
  explicit ScriptDir(const std::vector<std::string>& lines) {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("vunt-bench-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
    std::ofstream out(path_ / "vunt-n.zad", std::ios::binary);
    for (const std::string& l : lines) out << l << "\r\n";
  }
  ~ScriptDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void runTicks(benchmark::State& state, const std::vector<std::string>& script) {
  ScriptDir dir(script);
  std::ostream discard(nullptr);
  vunt::HeadlessHost host({}, discard);
  vunt::Vunt game(host, dir.path());
  game.Form_Load();
  for (auto _ : state) game.tick();
  benchmark::DoNotOptimize(game.script.Flags);
  state.counters["lines/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DoLines(benchmark::State& state) {
  std::vector<std::string> script(999, "DO");
  script.push_back("GOTO,1");
  runTicks(state, script);
}
BENCHMARK(BM_DoLines);

void BM_IfIncGotoLoop(benchmark::State& state) {
  runTicks(state, {"INC,1,100,L", "IF,F01{50&F02=00,4", "DO", "GOTO,1"});
}
BENCHMARK(BM_IfIncGotoLoop);

// One message of twenty characters (no typing delay, no wait) every eighth line; bench/floor.sh
// runs the same lines in the bare interpreter.
void BM_MessageEvery8thLine(benchmark::State& state) {
  runTicks(state, {"MES,あいうえおかきくけこさしすせそたちつてと", "INC,1,100,L", "IF,F01{50&F02=00,5", "DO", "DO",
                   "DO", "DO", "GOTO,1"});
}
BENCHMARK(BM_MessageEvery8thLine);

void BM_GosubRetLoop(benchmark::State& state) {
  runTicks(state, {"GOSUB,3", "GOTO,1", "INC,2,1000,L", "RET"});
}
BENCHMARK(BM_GosubRetLoop);

}  // namespace
