#include "shell/warp.hpp"

#include <sstream>

#include "platform/headless_host.hpp"
#include "script/save_format.hpp"
#include "shell/debugger.hpp"
#include "shell/input_file.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

constexpr std::string_view kSnapshotMagic = "VUNTSNAP";
// The same bound as a headless run's: a record that loops without waiting still ends.
constexpr std::uint64_t kWarpMaxTicks = 100000000;

}  // namespace

StateSource stateSourceOf(std::string_view bytes) {
  if (bytes.substr(0, kSnapshotMagic.size()) == kSnapshotMagic) return StateSource::Snapshot;
  if (readSaveFile(bytes).ok) return StateSource::SaveFile;
  return StateSource::Record;
}

std::optional<std::string> playUntilLine(const std::filesystem::path& gameDir, std::string_view recordText, int line,
                                         std::string& error) {
  auto events = parseInputEvents(std::string(recordText), error);
  if (!events) return std::nullopt;
  std::ostringstream transcript;
  HeadlessHost host(std::move(*events), transcript);
  host.setBudget(kWarpMaxTicks, UINT64_MAX);
  Vunt game(host, gameDir);
  DebugOptions options;
  options.quiet = true;
  options.breaks.push_back({Breakpoint::Line, line, 0, std::to_string(line)});
  Debugger debugger(options);
  game.setDebugger(&debugger);
  const int status = host.run(game);
  if (status != kBreakStatus) {
    // The transcript's "end" line says how the game ended instead.
    std::string how = "the game ended";
    const std::string text = transcript.str();
    if (std::size_t at = text.rfind("\nend\t"); at != std::string::npos)
      how = "the play ended (" + text.substr(at + 5, text.find('\n', at + 1) - at - 5) + ")";
    error = how + " at line " + std::to_string(game.script.reg.CurLine) + " before line " + std::to_string(line) +
            " was reached";
    return std::nullopt;
  }
  return game.snapshot();
}

}  // namespace vunt
