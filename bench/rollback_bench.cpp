// What going back costs: the whole-game snapshot the game keeps at every wait for the player, in
// time per snapshot and in memory for a history of 100 pages. Played headless on the bundled
// game's walkthroughs (those without the puzzle) and on a story of long pages.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless_host.hpp"
#include "shell/input_file.hpp"
#include "shell/vunt.hpp"

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A headless host that times a snapshot at every wait for the player.
class TimingHost : public vunt::HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  vunt::Vunt* game = nullptr;
  double seconds = 0;
  std::size_t snapshots = 0;
  void doEvents(vunt::WaitKind kind, std::uint32_t maxMs) override {
    if (kind == vunt::WaitKind::Player && game && game->canSnapshot()) {
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(game->snapshot());
      seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      ++snapshots;
    }
    HeadlessHost::doEvents(kind, maxMs);
  }
};

struct Played {
  double secondsPerSnapshot;
  double bytesPer100Pages;
  std::size_t waits;
};

Played play(const fs::path& gameDir, const std::string& input) {
  std::string error;
  std::ostringstream out;
  TimingHost host(*vunt::parseInputEvents(input, error), out);
  vunt::Vunt game(host, gameDir);
  game.keepWaitHistory(true);
  host.game = &game;
  host.run(game);
  const vunt::RollbackHistory& h = game.rollbackHistory();
  std::size_t pages = 0;
  for (std::size_t i = 0; i < h.size(); ++i) pages += h[i].page;
  return {host.seconds / double(std::max<std::size_t>(host.snapshots, 1)),
          pages ? double(h.bytes()) * 100.0 / double(pages) : 0.0, host.snapshots};
}

void report(benchmark::State& state, const Played& p) {
  state.counters["us/snapshot"] = p.secondsPerSnapshot * 1e6;
  state.counters["KiB/100 pages"] = p.bytesPer100Pages / 1024.0;
  state.counters["waits"] = double(p.waits);
}

fs::path scratchDir() {
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("vunt-bench-" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(dir);
  return dir;
}

// The longest walkthrough of the bundled game that needs no puzzle solution, in a copy of the
// game (it saves).
void BM_BundledGameWaits(benchmark::State& state) {
  const fs::path dir = scratchDir();
  for (const auto& e : fs::directory_iterator(VUNT_GAME_DIR))
    if (e.is_regular_file() && e.path().filename() != "VUNT.DAT") fs::copy_file(e.path(), dir / e.path().filename());
  Played p{};
  for (auto _ : state) {
    fs::remove(dir / "VUNT.DAT");
    p = play(dir, readText(fs::path(VUNT_TEST_DATA) / "game" / "save.txt"));
  }
  report(state, p);
  fs::remove_all(dir);
}
BENCHMARK(BM_BundledGameWaits)->Unit(benchmark::kMillisecond)->Iterations(1);

// 150 full pages (four lines of text each) between menus, pictures left out: the history then
// holds the last 100 pages.
void BM_LongPages(benchmark::State& state) {
  const fs::path dir = scratchDir();
  {
    std::ofstream script(dir / "vunt-n.zad", std::ios::binary);
    script << "CMST,1,＊続ける＊やめる\r\n";
    for (int i = 0; i < 150; ++i) {
      script << "MES,＆1タエ婆：1";
      for (int c = 0; c < 100; ++c) script << "海";
      script << "￥\r\n";
    }
    script << "EOF\r\n";
  }
  std::string input;
  for (int i = 0; i < 150; ++i) input += "click\n";
  Played p{};
  for (auto _ : state) p = play(dir, input);
  report(state, p);
  fs::remove_all(dir);
}
BENCHMARK(BM_LongPages)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
