#pragma once
// The headless host: no window and no sound device, a virtual clock, input events from a file and
// a transcript of what the game shows on standard output. Game authors use it to play a game from
// an input file; the tests use it to run scripts.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/host.hpp"

namespace vunt {

class HeadlessHost : public Host {
 public:
  HeadlessHost(std::vector<InputEvent> events, std::ostream& out, std::filesystem::path framesDir = {});

  int run(Application& app) override;
  std::uint32_t tickCount() override { return clock_; }
  void doEvents(WaitKind kind, std::uint32_t maxMs = 10) override;
  void messageBox(std::u32string_view text, std::u32string_view title, int style) override;
  void errorBox(std::u32string_view text, std::u32string_view title, std::string_view source) override;
  bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) override;
  void stopSound() override {}
  void transcript(std::string_view kind, const std::vector<std::string>& fields) override;
  bool recording() const override { return true; }

  // How many input events have been delivered so far.
  std::size_t eventsDelivered() const { return next_; }

  // The virtual clock, for tests that start it near its wrap.
  void setClock(std::uint32_t ms) { clock_ = ms; }

  // A bound on one run: once more than maxTicks timer ticks have run, the run ends with the exit
  // status kBudgetStatus and the transcript line "end<TAB>max-ticks"; once more than maxMs of
  // virtual time have passed, likewise with "end<TAB>budget". Unbounded unless set; the command
  // line sets the ticks (--max-ticks), the fuzzers both.
  static constexpr int kBudgetStatus = 4;
  void setBudget(std::uint64_t maxTicks, std::uint64_t maxMs) {
    maxTicks_ = maxTicks;
    maxMs_ = maxMs;
  }

 private:
  void deliver(const InputEvent& e);
  void saveFrame();
  std::vector<InputEvent> events_;
  std::size_t next_ = 0;
  std::ostream& out_;
  std::filesystem::path framesDir_;
  int frameCount_ = 0;
  std::uint32_t clock_ = 0;
  Application* app_ = nullptr;
  std::uint64_t maxTicks_ = UINT64_MAX, maxMs_ = UINT64_MAX;
  std::uint64_t ticks_ = 0, elapsedMs_ = 0;  // of the current run
};

}  // namespace vunt
