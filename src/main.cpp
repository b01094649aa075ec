// vunt [--headless [--input FILE] [--frames DIR]] [--scale N] [--renderer=gpu] [debugging options] [GAME_DIR]
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
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
#include "script/line_map.hpp"
#include "shell/debugger.hpp"
#include "shell/input_file.hpp"
#include "shell/input_record.hpp"
#include "shell/vunt.hpp"

namespace fs = std::filesystem;

namespace {

const char* kUsage =
    "usage: vunt [--headless [--input FILE] [--frames DIR]] [OPTIONS] [GAME_DIR]\n"
    "Plays the game in GAME_DIR (default: the directory that holds the program when it holds a\n"
    "script, otherwise the installed game in ../share/vunt/game beside it).\n"
    "\n"
    "  --headless      play without a window or sound; write a transcript to standard output\n"
    "  --input FILE    headless input events, one a line (click, label N, key N, space, ...);\n"
    "                  the player aids' keys: ctrl-down, ctrl-up, auto, wheel-up, wheel-down,\n"
    "                  page-up, page-down, f1, f2, f12\n"
    "  --frames DIR    headless: save the window as DIR/0001.png, ... at every wait for the player\n"
    "  --scale N       draw the window N times the game's size (default: the largest that fits\n"
    "                  80 % of the screen)\n"
    "  --renderer=gpu  draw through the graphics card (default: software, lighter to start)\n"
    "  --help          show this help\n"
    "  --version       show the version\n"
    "\n"
    "Options for authors (in the window and headless):\n"
    "  --start LINE|LABEL  begin at this script line, or at a label of vunt-n.map, after start-up\n"
    "  --flags F1=3,F7=-2  set flags before the first line runs\n"
    "  --trace             report every executed line (line N) and flag change (flag I OLD NEW):\n"
    "                      headless in the transcript, in the window on standard error\n"
    "  --max-ticks N       end the run after N executed lines with exit status 4 (headless\n"
    "                      default 100000000, so a loop that never waits ends; 0: no bound)\n"
    "  --record FILE       window: write the input the game consumed at its waits to FILE, in\n"
    "                      the --input format, to replay the play headless\n";

constexpr std::uint64_t kHeadlessMaxTicks = 100000000;

int usageError(const std::string& message) {
  std::fprintf(stderr, "vunt: %s (try 'vunt --help')\n", message.c_str());
  return 2;
}

// The --input file is the player's own, not a game file: a pipe (--input /dev/stdin) serves too.
std::optional<std::string> readInputFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(text).str();
}

// The window's player keeps settings (typing speed, volume, hover) from one play to the next; a
// headless run always plays with the defaults, so that its transcript never depends on them.
void usePlayerSettings(vunt::PlayerAids& aids, vunt::Host& host) {
  aids.onVolume = [&host](int percent) { host.setVolume(percent); };
  aids.onWarning = [](const std::string& warning) { std::fprintf(stderr, "vunt: %s\n", warning.c_str()); };
  std::optional<fs::path> file = vunt::settingsPath();
  if (!file) return;
  std::vector<std::string> warnings;
  vunt::Settings settings = vunt::loadSettings(*file, warnings);
  for (const std::string& w : warnings) std::fprintf(stderr, "vunt: %s\n", w.c_str());
  aids.useSettings(settings);
  aids.persistTo(*file);
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
  std::string input, frames, gameDir, start, flags, maxTicks, record;
  bool trace = false;
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
      if (!value(n) || n.size() > 2 || n.find_first_not_of("0123456789") != std::string::npos || std::stoi(n) < 1 ||
          std::stoi(n) > 16)
        return usageError("--scale needs a whole number from 1 to 16");
      window.scale = std::stoi(n);
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
  fs::path dir = gameDir.empty() ? vunt::defaultGameDir(programDirectory(argv[0])) : fs::path(gameDir);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return usageError("no game directory " + dir.string());
  if (std::string missing = vunt::missingGameMessage(dir, gameDir.empty()); !missing.empty())
    return usageError(missing);

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
  if (!start.empty()) {
    std::string error, mapError;
    std::optional<vunt::LineMap> map;
    if (auto bytes = vunt::readWholeFile(vunt::gameFile(dir, U"vunt-n.zad"))) map = vunt::readLineMap(dir, *bytes, mapError);
    auto line = vunt::resolveStartLine(start, map ? &*map : nullptr, error);
    if (!line) return usageError(error + (mapError.empty() ? "" : " (" + mapError + ")"));
    debug.startLine = *line;
  }
  // The headless host bounds its runs itself; the window through the debugger.
  if (!headless) debug.maxTicks = tickBound;
  vunt::Debugger debugger(debug);
  // A run that reached the bound says so, with the line it was running.
  auto reportBound = [&](int status, const vunt::Vunt& game) {
    if (status == vunt::HeadlessHost::kBudgetStatus) {
      std::fprintf(stderr,
                   "vunt: stopped after %llu executed lines (--max-ticks) at line %d; the script may loop "
                   "without waiting for the player\n",
                   static_cast<unsigned long long>(tickBound), int(game.script.reg.CurLine));
    }
    return status;
  };

  try {
    if (headless) {
      std::vector<vunt::InputEvent> events;
      if (!input.empty()) {
        std::optional<std::string> text = readInputFile(input);
        if (!text) return usageError("cannot read the input file " + input);
        std::string error;
        auto parsed = vunt::parseInputEvents(*text, error);
        if (!parsed) return usageError(error);
        events = std::move(*parsed);
      }
      if (!frames.empty()) {
        fs::create_directories(frames, ec);
        if (!fs::is_directory(frames, ec)) return usageError("cannot make the frames directory " + frames);
      }
      vunt::HeadlessHost host(std::move(events), std::cout, frames);
      if (tickBound) host.setBudget(tickBound, UINT64_MAX);
      vunt::Vunt game(host, dir);
      if (debug.any()) game.setDebugger(&debugger);
      return reportBound(host.run(game), game);
    }
    std::string error;
    std::unique_ptr<vunt::SdlHost> host = vunt::SdlHost::create(error, window);
    if (!host) {
      std::fprintf(stderr, "vunt: %s\n", error.c_str());
      return 1;
    }
    std::ofstream recordFile;
    std::optional<vunt::InputRecorder> recorder;
    if (!record.empty()) {
      recordFile.open(record, std::ios::binary | std::ios::trunc);
      if (!recordFile) return usageError("cannot write the record file " + record);
      recordFile << "# recorded by vunt --record; replay: vunt --headless --input " << record << "\n";
      recorder.emplace(recordFile);
    }
    vunt::Vunt game(*host, dir);
    if (recorder) game.setRecorder(&*recorder);
    if (debug.any()) game.setDebugger(&debugger);
    usePlayerSettings(game.aids, *host);
    // The aids' screens and the debug overlay are drawn over the game, never into its frames.
    host->addOverlay(game.aidsOverlay());
    struct OverlayOff {
      vunt::SdlHost& host;
      vunt::Overlay& overlay;
      ~OverlayOff() { host.removeOverlay(overlay); }
    } overlayOff{*host, game.aidsOverlay()};
    return reportBound(host->run(game), game);
  } catch (const vunt::FontError& e) {
    std::fprintf(stderr, "vunt: %s\n", e.what());
    return 1;
  }
}
