// vunt [--headless [--input FILE] [--frames DIR]] [--scale N] [--renderer=gpu] [debugging options] [GAME_DIR]
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "platform/font.hpp"
#include "platform/game_files.hpp"
#include "platform/game_folder.hpp"
#include "platform/headless_host.hpp"
#include "platform/install_layout.hpp"
#include "platform/sdl_host.hpp"
#include "platform/stdout_stream.hpp"
#include "text/text.hpp"
#include "script/line_map.hpp"
#include "script/script_store.hpp"
#include "script/state.hpp"
#include "shell/debugger.hpp"
#include "shell/input_file.hpp"
#include "shell/input_record.hpp"
#include "shell/vunt.hpp"
#include "shell/warp.hpp"
#include "script/save_format.hpp"
#include "help/vunt.hpp"
#include "platform/save_location.hpp"
#include "authoring/reassemble.hpp"

namespace fs = std::filesystem;

namespace {

// The help text, made from docs/man/vunt.txt like the manual page.
const char* kUsage = vunt::kHelpText;

constexpr std::uint64_t kHeadlessMaxTicks = 100000000;

int usageError(const std::string& message) {
  std::fprintf(stderr, "vunt: %s (try 'vunt --help')\n", message.c_str());
  return 2;
}

// The --input file is the player's own, not a game file: a pipe (--input /dev/stdin) serves too.
// A directory is no input, and an endless source (/dev/zero) stops at a bound no event list nears.
constexpr std::size_t kMaxInputBytes = 16 << 20;

std::optional<std::string> readInputFile(const std::string& name, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(name, ec)) {
    error = "the input file " + name + " is a directory";
    return std::nullopt;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    error = "cannot read the input file " + name;
    return std::nullopt;
  }
  std::string text;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, std::size_t(in.gcount()));
    if (text.size() > kMaxInputBytes) {
      error = "the input file " + name + " holds more than 16 MiB";
      return std::nullopt;
    }
  }
  if (in.bad()) {
    error = "cannot read the input file " + name;
    return std::nullopt;
  }
  return text;
}

// The window's player keeps settings (text speed, volume, hover, the window's size and full
// screen) from one play to the next; a headless run always plays with the defaults, so that its
// transcript never depends on them. Read before the window opens, which they size.
struct PlayerSettings {
  std::optional<fs::path> file;
  vunt::Settings settings;
};

PlayerSettings readPlayerSettings() {
  PlayerSettings s;
  s.file = vunt::settingsPath();
  if (!s.file) return s;
  std::vector<std::string> warnings;
  s.settings = vunt::loadSettings(*s.file, warnings);
  for (const std::string& w : warnings) std::fprintf(stderr, "vunt: %s\n", w.c_str());
  return s;
}

void usePlayerSettings(vunt::Vunt& game, vunt::SdlHost& host, const PlayerSettings& s) {
  vunt::PlayerAids& aids = game.aids;
  aids.onVolume = [&host](int percent) { host.setVolume(percent); };
  // A settings file that cannot be written is the player's to know: said in the window too.
  aids.onWarning = [&host](const std::string& warning) {
    std::fprintf(stderr, "vunt: %s\n", warning.c_str());
    host.messageBox(U"設定を保存できませんでした。\r\n(" + vunt::fromUtf8(warning) + U")", U"Vunt", 48);
  };
  aids.onDisplay = [&host](const vunt::Settings& d) {
    host.setDisplay(d.scale > 0 ? d.scale : 0, d.scale == vunt::Settings::kFitScale, d.fullScreen);
  };
  aids.setLargestScale(host.largestScale(game.mainForm().width(), game.mainForm().height()));
  if (!s.file) return;
  aids.useSettings(s.settings);
  aids.persistTo(*s.file);
}

fs::path programDirectory(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv0, ec);
  return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  bool headless = false;
  std::string input, frames, gameDir, start, flags, maxTicks, record, state, snapshotOut;
  std::vector<std::string> breaks;
  bool trace = false, watch = false;
  vunt::SdlOptions window;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("vunt %s\n", VUNT_VERSION);
      return 0;
    } else if (a == "--headless") {
      headless = true;
    } else if (a == "--input") {
      if (!value(input)) return usageError("--input needs a file");
    } else if (a == "--frames") {
      if (!value(frames)) return usageError("--frames needs a directory");
    } else if (a == "--scale") {
      std::string n;
      int scale = 0;
      if (!value(n) || std::from_chars(n.data(), n.data() + n.size(), scale).ptr != n.data() + n.size() ||
          n.empty() || n[0] == '-' || scale < 1 || scale > 16)
        return usageError("--scale needs a whole number from 1 to 16");
      window.scale = scale;
    } else if (a == "--renderer=gpu" || a == "--renderer=software") {
      window.gpu = a == "--renderer=gpu";
    } else if (a.rfind("--renderer", 0) == 0) {
      return usageError("--renderer takes =gpu or =software");
    } else if (a == "--start") {
      if (!value(start)) return usageError("--start needs a line number or a label");
    } else if (a == "--flags") {
      if (!value(flags)) return usageError("--flags needs settings such as F1=3,F7=-2");
    } else if (a == "--record") {
      if (!value(record)) return usageError("--record needs a file");
    } else if (a == "--break") {
      if (!value(breaks.emplace_back())) return usageError("--break needs a line number, a label or a flag (F3)");
    } else if (a == "--state") {
      if (!value(state)) return usageError("--state needs a snapshot, save or record file");
    } else if (a == "--snapshot") {
      if (!value(snapshotOut)) return usageError("--snapshot needs a file");
    } else if (a == "--watch") {
      watch = true;
    } else if (a == "--trace") {
      trace = true;
    } else if (a == "--max-ticks") {
      if (!value(maxTicks)) return usageError("--max-ticks needs a number");
    } else if (a.size() > 1 && a[0] == '-') {
      return usageError("unknown option " + a);
    } else if (gameDir.empty()) {
      gameDir = a;
    } else {
      return usageError("more than one game directory");
    }
  }
  if (!headless && (!input.empty() || !frames.empty())) return usageError("--input and --frames need --headless");
  if (headless && !record.empty()) return usageError("--record records a play in the window; leave out --headless");
  if (headless && watch) return usageError("--watch reloads the script in the window; leave out --headless");
  if (!snapshotOut.empty() && (!headless || breaks.empty()))
    return usageError("--snapshot writes the game's state where a headless run stops: give --headless and --break");
  std::error_code ec;
  const fs::path programDir = programDirectory(argv[0]);
  fs::path dir = gameDir.empty() ? vunt::defaultGameDir(programDir) : fs::path(gameDir);
  if (!gameDir.empty()) {
    if (std::string notFolder = vunt::notAFolderMessage(dir); !notFolder.empty()) return usageError(notFolder);
  }
  // No game anywhere, no folder named: a usage error that names every place looked in. A named
  // folder without the script is the game's own load failure (its report, in the window or the
  // transcript, and status 1); the folder it looked in goes to standard error as a hint.
  if (std::string missing = vunt::missingGameMessage(dir); !missing.empty()) {
    if (gameDir.empty()) {
      std::vector<fs::path> looked{programDir};
      if (fs::path installed = vunt::installedGameDir(programDir); installed != programDir) looked.push_back(installed);
      return usageError(vunt::noGameMessage(looked));
    }
    std::fprintf(stderr, "vunt: %s; name the game's folder: vunt GAME_DIR\n", missing.c_str());
  }

  vunt::DebugOptions debug;
  debug.trace = trace;
  std::uint64_t tickBound = headless ? kHeadlessMaxTicks : 0;
  if (!maxTicks.empty()) {
    auto [p, err] = std::from_chars(maxTicks.data(), maxTicks.data() + maxTicks.size(), tickBound);
    if (err != std::errc() || p != maxTicks.data() + maxTicks.size())
      return usageError("--max-ticks needs a number, not " + maxTicks);
  }
  if (!flags.empty()) {
    std::string error;
    auto settings = vunt::parseFlagSettings(flags, error);
    if (!settings) return usageError(error);
    debug.flags = std::move(*settings);
  }
  // Lines named on the command line are checked against the script as it stands: a number past
  // its last line, or a label of the map that names one, is a usage error.
  std::optional<vunt::LineMap> map;
  std::string mapError;
  int lastLine = vunt::kLastLine;
  if (auto bytes = vunt::readWholeFile(vunt::gameFile(dir, U"vunt-n.zad"))) {
    map = vunt::readLineMap(dir, *bytes, mapError);
    lastLine = std::max<int>(1, int(std::min<std::size_t>(
                                    vunt::splitScriptLines(vunt::decodeScriptText(*bytes), vunt::kLastLine + 1).size(),
                                    vunt::kLastLine)));
  }
  const std::string mapNote = mapError.empty() ? "" : " (" + mapError + ")";
  if (!start.empty()) {
    std::string error;
    auto line = vunt::resolveScriptLine(start, map ? &*map : nullptr, lastLine, "--start", error);
    if (!line) return usageError(error + mapNote);
    debug.startLine = *line;
  }
  for (const std::string& b : breaks) {
    std::string error;
    auto point = vunt::parseBreakpoint(b, map ? &*map : nullptr, lastLine, error);
    if (!point) return usageError(error + mapNote);
    debug.breaks.push_back(*point);
  }
  // --state: the state the lines above the start line would have made.
  std::optional<std::string> stateBytes;
  vunt::StateSource stateKind = vunt::StateSource::Record;
  if (!state.empty()) {
    std::string error;
    stateBytes = readInputFile(state, error);
    if (!stateBytes) return usageError(error);
    stateKind = vunt::stateSourceOf(*stateBytes);
    if (start.empty() && stateKind != vunt::StateSource::Snapshot)
      return usageError("--state " + state + " needs --start LINE|LABEL: where the game begins with that state");
    if (stateKind == vunt::StateSource::SaveFile) {
      // The save file's flags first; --flags may change some of them.
      vunt::SaveFileRead saved = vunt::readSaveFile(*stateBytes);
      std::vector<std::pair<int, int>> all;
      for (int i = 0; i < vunt::kSavedFlags; ++i) all.emplace_back(i, saved.flags[std::size_t(i)]);
      all.insert(all.end(), debug.flags.begin(), debug.flags.end());
      debug.flags = std::move(all);
    } else if (stateKind == vunt::StateSource::Record) {
      std::string error;
      std::optional<std::string> snapshot = vunt::playUntilLine(dir, *stateBytes, debug.startLine, error);
      if (!snapshot) return usageError("--state " + state + ": " + error);
      stateBytes = std::move(snapshot);
      stateKind = vunt::StateSource::Snapshot;
      // The snapshot stands at the start line: resumed as it is.
      debug.startLine = 0;
      start.clear();
    }
  }
  // A snapshot's state is put in before the host runs the game.
  const int arriveLine = debug.startLine;
  auto applyState = [&](vunt::Vunt& game) {
    if (!stateBytes || stateKind != vunt::StateSource::Snapshot) return true;
    std::string error;
    const bool ok = start.empty() ? game.resumeFrom(*stateBytes, error)
                                  : game.arriveWith(*stateBytes, arriveLine, error);
    if (!ok) usageError("--state " + state + ": " + error);
    return ok;
  };
  if (stateBytes && stateKind == vunt::StateSource::Snapshot && !start.empty()) debug.startLine = 0;

  // The headless host bounds its runs itself; the window through the debugger.
  if (!headless) debug.maxTicks = tickBound;
  vunt::Debugger debugger(debug);
  // A run that reached the bound says so, with the line it was running.
  auto reportBound = [&](int status, const vunt::Vunt& game) {
    if (status == vunt::HeadlessHost::kBudgetStatus) {
      const int line = game.script.reg.CurLine;
      const std::string source = game.sourceOf(line);
      std::fprintf(stderr,
                   "vunt: stopped after %llu executed lines (--max-ticks) at line %d%s; the script may loop "
                   "without waiting for the player\n",
                   static_cast<unsigned long long>(tickBound), line, source.empty() ? "" : (" (" + source + ")").c_str());
    }
    return status;
  };

  try {
    if (headless) {
      std::vector<vunt::InputEvent> events;
      if (!input.empty()) {
        std::string error;
        std::optional<std::string> text = readInputFile(input, error);
        if (!text) return usageError(error);
        auto parsed = vunt::parseInputEvents(*text, error);
        if (!parsed) return usageError(error);
        events = std::move(*parsed);
      }
      if (!frames.empty()) {
        fs::create_directories(frames, ec);
        if (!fs::is_directory(frames, ec)) return usageError("cannot make the frames directory " + frames);
      }
      vunt::HeadlessHost host(std::move(events), vunt::standardOutput(), frames);
      if (tickBound) host.setBudget(tickBound, UINT64_MAX);
      vunt::Vunt game(host, dir);
      if (debug.any()) game.setDebugger(&debugger);
      if (!applyState(game)) return 2;
      const int status = reportBound(host.run(game), game);
      // Stopped at a break: the whole game as it stands there, for --state.
      if (status == vunt::kBreakStatus && !snapshotOut.empty()) {
        std::ofstream out(snapshotOut, std::ios::binary | std::ios::trunc);
        if (!(out << game.snapshot()) || !out.flush()) {
          std::fprintf(stderr, "vunt: cannot write the snapshot %s\n", snapshotOut.c_str());
          return 1;
        }
      }
      return status;
    }
    const PlayerSettings settings = readPlayerSettings();
    // The scale named on the command line wins over the one the settings remember.
    if (window.scale == 0) {
      window.scale = std::max(0, settings.settings.scale);
      window.fit = settings.settings.scale == vunt::Settings::kFitScale;
    }
    window.fullScreen = settings.settings.fullScreen;
    std::string error;
#ifdef __EMSCRIPTEN__
    // A browser page: one canvas, scaled by the page.
    window.oneWindow = true;
#endif
    std::unique_ptr<vunt::SdlHost> host = vunt::SdlHost::create(error, window);
    if (!host) {
      std::fprintf(stderr, "vunt: %s\n", error.c_str());
      return 1;
    }
    // Made only when recording: a stream starts the C++ locales, which a plain start does without.
    std::optional<std::ofstream> recordFile;
    std::optional<vunt::InputRecorder> recorder;
    if (!record.empty()) {
      recordFile.emplace(record, std::ios::binary | std::ios::trunc);
      if (!*recordFile) return usageError("cannot write the record file " + record);
      *recordFile << "# recorded by vunt --record; replay: vunt --headless --input " << record << "\n" << std::flush;
      recorder.emplace(*recordFile);
    }
    // A record that could not be written in full is no replay of the play: said, and not a success.
    auto reportRecord = [&](int status) {
      if (!recorder || (!recorder->failed() && recordFile->flush())) return status;
      std::fprintf(stderr, "vunt: cannot write the record file %s (the disk may be full); it is incomplete\n",
                   record.c_str());
      return status == 0 ? 1 : status;
    };
    vunt::Vunt game(*host, dir);
    if (recorder) game.setRecorder(&*recorder);
    // The window always has the debugger: the console of the F12 overlay drives it.
    game.setDebugger(&debugger);
#ifndef __EMSCRIPTEN__
    // The authors' assembler stays out of the browser's engine: a page has no source to edit, and
    // F6 there reads vunt-n.zad again.
    game.setAssembler(vunt::assembleForReload);
#endif
    game.setWatch(watch);
    usePlayerSettings(game, *host, settings);
    // Save slots and the record of read pages live in the player's data folder for this game.
    game.useDataFolder(vunt::gameDataFolder(dir));
    game.keepWaitHistory(true);
    if (!applyState(game)) return 2;
    // The aids' screens and the debug overlay are drawn over the game, never into its frames.
    host->addOverlay(game.aidsOverlay());
    struct OverlayOff {
      vunt::SdlHost& host;
      vunt::Overlay& overlay;
      ~OverlayOff() { host.removeOverlay(overlay); }
    } overlayOff{*host, game.aidsOverlay()};
    const int status = host->run(game);
    game.flushReadLines();
    return reportRecord(reportBound(status, game));
  } catch (const vunt::FontError& e) {
    std::fprintf(stderr, "vunt: %s\n", e.what());
    return 1;
  }
}
