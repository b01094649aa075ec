#pragma once
// A headless host that lets a test act as the player at the game's waits (save, load, go back)
// instead of giving the next input event: an act that returns true is the player's doing at that
// wait, and the wait goes on without an event.
#include <functional>

#include "harness.hpp"

namespace vunt::test {

class ActingHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  Vunt* game = nullptr;
  std::function<bool(Vunt&)> act;

  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Player && game && act && act(*game)) {
      HeadlessHost::doEvents(WaitKind::Timed, maxMs);
      return;
    }
    HeadlessHost::doEvents(kind, maxMs);
  }
};

}  // namespace vunt::test
