#pragma once
// One headless run whose game can be prepared before (flags, controls) and inspected after.
#include "harness.hpp"

namespace vunt::test {

struct Session {
  std::ostringstream out;
  HeadlessHost host;
  Vunt game;
  explicit Session(const GameDir& dir, const std::string& input = "") : host(events(input), out), game(host, dir.path()) {
    writeFuzzSeed(dir, input);
  }
  Played run() {
    Played r;
    r.status = host.run(game);
    r.transcript = out.str();
    return r;
  }
};

}  // namespace vunt::test
