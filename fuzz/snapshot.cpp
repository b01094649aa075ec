// The whole-game snapshot's reader on random bytes, and a game resumed from every snapshot that
// reads.
//
// Input: the bytes of a snapshot. They are read as they are, and again with their check made right
// (so that the fuzzer reaches the payload, which a changed byte otherwise hides behind the check).
// A snapshot that reads is written again to the same bytes; it is then given the hash of a small
// game's script (so that it is not refused for belonging to another script) and resumed in that
// game, which plays on until its input runs out.
//
// Beyond the sanitizers: what reads is written back unchanged; a refused snapshot says why.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "platform/headless_host.hpp"
#include "shell/snapshot_format.hpp"
#include "shell/vunt.hpp"

using namespace vunt;

namespace {

const std::filesystem::path& gameDir() {
  static const std::filesystem::path dir = [] {
    const std::filesystem::path d = fuzz::scratchDir() / "snapshot-game";
    std::filesystem::create_directories(d);
    fuzz::writeFile(d / "vunt-n.zad",
                    "CMST,0,＊話す＊見る\r\nMES,＃０あ＆１＾い￥\r\nCMSL,0,7\r\nCASE,0\r\nMES,う￥\r\nCASE,1\r\n"
                    "FP,F1,9\r\nえ\r\nEXIT\r\n");
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view raw(reinterpret_cast<const char*>(data), size);
  std::string error;
  if (!readSnapshot(raw, error)) VUNT_FUZZ_CHECK(!error.empty(), "a refused snapshot says why");
  if (size < 8) return 0;
  const std::string bytes = withCheckMadeRight(raw);
  std::optional<GameSnapshot> s = readSnapshot(bytes, error);
  if (!s) {
    VUNT_FUZZ_CHECK(!error.empty(), "a refused snapshot says why");
    return 0;
  }
  VUNT_FUZZ_CHECK(writeSnapshot(*s) == bytes, "what reads is written back unchanged");

  std::ostringstream out;
  HeadlessHost host({{InputEvent::Click}, {InputEvent::Label, 1}, {InputEvent::Click}}, out);
  host.setBudget(10000, 100000);
  Vunt game(host, gameDir());
  static const std::uint64_t hash = [] {
    std::ostringstream o;
    HeadlessHost h({}, o);
    auto loader = std::make_unique<Vunt>(h, gameDir());
    loader->machine.ACMLOAD(U"vunt-n.zad");
    return scriptHash(loader->script.store);
  }();
  s->scriptHash = hash;
  if (!game.resumeFrom(writeSnapshot(*s), error)) return 0;  // another window, a missing picture
  host.run(game);
  return 0;
}
