// Typing-delay accuracy on the real window: a message typed with "＃05" should show each character
// 50 ms after the one before. Needs a display (bench/message_waits.sh runs it under Xvfb); without
// one the benchmark is skipped. Reports the median, 90th percentile and largest error in ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "platform/sdl_host.hpp"
#include "shell/vunt.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// Passes everything to the real host and notes the moment each character is drawn: the first
// look at the clock after the window changed is the start of that character's typing delay.
class TimingHost : public vunt::Host {
 public:
  explicit TimingHost(vunt::Host& real) : real_(real) {}
  vunt::Vunt* game = nullptr;
  std::vector<Clock::time_point> drawn;

  int run(vunt::Application& app) override { return real_.run(app); }
  std::uint32_t tickCount() override {
    if (game && game->form_.generation() != seen_) {
      seen_ = game->form_.generation();
      drawn.push_back(Clock::now());
    }
    return real_.tickCount();
  }
  void doEvents(vunt::WaitKind kind, std::uint32_t maxMs) override { real_.doEvents(kind, maxMs); }
  void messageBox(std::u32string_view text, std::u32string_view title, int style) override {
    real_.messageBox(text, title, style);
  }
  bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) override {
    return real_.playSound(file, name, flags);
  }
  void stopSound() override { real_.stopSound(); }
  void transcript(std::string_view, const std::vector<std::string>&) override {}

 private:
  vunt::Host& real_;
  std::uint64_t seen_ = 0;
};

void BM_TypingDelay50ms(benchmark::State& state) {
  std::string error;
  auto sdl = vunt::SdlHost::create(error);
  if (!sdl) {
    state.SkipWithError(("no window: " + error).c_str());
    for (auto _ : state) {
    }
    return;
  }
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("vunt-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const int characters = 80;  // three lines: no page wait
  std::string text;
  for (int i = 0; i < characters; ++i) text += "あ";
  std::ofstream(dir / "vunt-n.zad") << "MES,＃05\r\nMES," << text << "\r\nEOF\r\n";

  std::vector<double> errors;
  for (auto _ : state) {
    TimingHost host(*sdl);
    vunt::Vunt game(host, dir);
    host.game = &game;
    host.run(game);
    for (std::size_t i = 1; i < host.drawn.size(); ++i) {
      double ms = std::chrono::duration<double, std::milli>(host.drawn[i] - host.drawn[i - 1]).count();
      errors.push_back(std::abs(ms - 50.0));
    }
  }
  fs::remove_all(dir);
  if (errors.empty()) {
    state.SkipWithError("no characters were timed");
    return;
  }
  std::sort(errors.begin(), errors.end());
  state.counters["intervals"] = double(errors.size());
  state.counters["median_error_ms"] = errors[errors.size() / 2];
  state.counters["p90_error_ms"] = errors[errors.size() * 9 / 10];
  state.counters["max_error_ms"] = errors.back();
}
BENCHMARK(BM_TypingDelay50ms)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
