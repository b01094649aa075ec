#include "shell/debugger.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "shell/vunt.hpp"

namespace vunt {

namespace {

bool toInt(std::string_view s, int& v) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

std::optional<std::vector<std::pair<int, int>>> parseFlagSettings(std::string_view text, std::string& error) {
  std::vector<std::pair<int, int>> out;
  for (;;) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    std::size_t eq = item.find('=');
    int index = 0, value = 0;
    if (eq == std::string_view::npos || eq < 2 || (item[0] != 'F' && item[0] != 'f') ||
        !toInt(item.substr(1, eq - 1), index) || !toInt(item.substr(eq + 1), value)) {
      error = "--flags wants F<index>=<value>, separated by commas (F1=3,F7=-2), not \"" + std::string(item) + "\"";
      return std::nullopt;
    }
    if (index < 0 || index >= kFlagCount) {
      error = "--flags: flag F" + std::to_string(index) + " does not exist (F0 to F30)";
      return std::nullopt;
    }
    if (value < -32768 || value > 32767) {
      error = "--flags: " + std::to_string(value) + " does not fit a flag (-32768 to 32767)";
      return std::nullopt;
    }
    out.emplace_back(index, value);
    if (comma == std::string_view::npos) return out;
    text.remove_prefix(comma + 1);
  }
}

std::optional<int> resolveScriptLine(std::string_view text, const LineMap* map, int lastLine, std::string_view what,
                                     std::string& error) {
  const std::string range = " (1 to " + std::to_string(lastLine) + ")";
  int line = 0;
  if (toInt(text, line)) {
    if (line >= 1 && line <= lastLine) return line;
    error = std::string(what) + ": line " + std::string(text) + " is outside the script" + range;
    return std::nullopt;
  }
  std::string_view name = !text.empty() && text[0] == ':' ? text.substr(1) : text;
  if (!map) {
    error = std::string(what) + " " + std::string(text) + ": a label needs the line map vunt-n.map that vunt-asm writes";
    return std::nullopt;
  }
  auto it = map->labels.find(name);
  if (it == map->labels.end()) {
    error = std::string(what) + ": no label \"" + std::string(name) + "\" in vunt-n.map";
    return std::nullopt;
  }
  // The map comes with the game folder: its number is checked like a number given here.
  if (it->second < 1 || it->second > lastLine) {
    error = std::string(what) + ": label \"" + std::string(name) + "\" names line " + std::to_string(it->second) +
            ", outside the script" + range;
    return std::nullopt;
  }
  return it->second;
}

std::optional<int> resolveStartLine(std::string_view text, const LineMap* map, std::string& error) {
  return resolveScriptLine(text, map, kLastLine, "--start", error);
}

std::optional<Breakpoint> parseBreakpoint(std::string_view text, const LineMap* map, int lastLine, std::string& error) {
  Breakpoint b;
  b.named = std::string(text);
  int index = 0;
  if (text.size() >= 2 && (text[0] == 'F' || text[0] == 'f') && toInt(text.substr(1), index)) {
    if (index < 0 || index >= kFlagCount) {
      error = "--break: flag F" + std::to_string(index) + " does not exist (F0 to F30)";
      return std::nullopt;
    }
    b.kind = Breakpoint::Flag;
    b.flag = index;
    return b;
  }
  std::optional<int> line = resolveScriptLine(text, map, lastLine, "--break", error);
  if (!line) return std::nullopt;
  b.line = *line;
  return b;
}

Debugger::Debugger(DebugOptions options) : options_(std::move(options)) {}

void Debugger::started(Vunt& game) {
  if (options_.startLine) game.script.reg.CurLine = i16(options_.startLine);
  for (auto [index, value] : options_.flags) game.script.Flags[std::size_t(index)] = i16(value);
  seen_ = watched_ = game.script.Flags;
}

void Debugger::addBreak(Breakpoint b) {
  if (std::find(options_.breaks.begin(), options_.breaks.end(), b) == options_.breaks.end())
    options_.breaks.push_back(std::move(b));
  ++generation_;
}

// The line the game is paused before runs without stopping again there (a game that runs, a line
// waiting for the player, has no such line); a step or a run to a line not yet done is forgotten.
void Debugger::resume() {
  passOnce_ = paused_;
  paused_ = false;
  stepping_ = stepped_ = false;
  runTo_ = 0;
  ++generation_;
}

// Paused, the line it stands before runs and the game stops before the next; running, it stops
// before the next line.
void Debugger::step() {
  const bool wasPaused = paused_;
  resume();
  if (wasPaused) stepping_ = true;
  else stepped_ = true;
}

void Debugger::runTo(int line) {
  resume();
  runTo_ = line;
}

// Why the game stops before line CurLine runs, if it does.
std::optional<std::string> Debugger::stopReason(Vunt& game) {
  const int line = game.script.reg.CurLine;
  std::optional<std::string> reason;
  // A flag's change is noted even when the line runs on, so that it never stops late.
  for (const Breakpoint& b : options_.breaks) {
    const auto f = std::size_t(b.flag);
    if (b.kind == Breakpoint::Flag && watched_[f] != game.script.Flags[f] && !reason)
      reason = "F" + std::to_string(b.flag) + " " + std::to_string(watched_[f]) + " -> " +
               std::to_string(game.script.Flags[f]) + " (line " + std::to_string(lastLine_) + ")";
  }
  watched_ = game.script.Flags;
  if (passOnce_) {
    passOnce_ = false;
    return std::nullopt;
  }
  if (reason) return reason;
  if (stepped_) return "step";
  if (runTo_ == line) return "run to " + std::to_string(line);
  for (const Breakpoint& b : options_.breaks)
    if (b.kind == Breakpoint::Line && b.line == line) return "break " + b.named;
  return std::nullopt;
}

void Debugger::stop(Vunt& game, const std::string& reason) {
  const int line = game.script.reg.CurLine;
  const std::string source = game.sourceOf(line);
  paused_ = true;
  stepped_ = false;
  runTo_ = 0;
  stopText_ = "line " + std::to_string(line) + (source.empty() ? "" : " (" + source + ")") + ": " + reason;
  ++generation_;
  if (!options_.quiet) std::fprintf(stderr, "vunt: stopped at %s\n", stopText_.c_str());
  Host& host = game.host();
  if (host.recording()) {
    host.transcript("break", {std::to_string(line), source, reason});
    throw ProgramEnd{kBreakStatus, "break"};
  }
  game.aids.setDebugOverlay(true);
}

void Debugger::tick(Vunt& game) {
  if (paused_) return;
  if (options_.maxTicks && ++ticks_ > options_.maxTicks) throw ProgramEnd{4, "max-ticks"};
  // Resuming a snapshot runs its line again: no break stops it halfway.
  if (!game.resuming()) {
    if (std::optional<std::string> reason = stopReason(game)) return stop(game, *reason);
    if (stepping_) {
      stepping_ = false;
      stepped_ = true;
    }
  }
  lastLine_ = game.script.reg.CurLine;
  if (!options_.trace) {
    game.Timer1_Timer();
    return;
  }
  // Flags the puzzle's key handler changed since the last tick come first.
  reportFlagChanges(game);
  std::vector<std::string> fields{std::to_string(game.script.reg.CurLine)};
  if (std::string source = game.sourceOf(game.script.reg.CurLine); !source.empty()) fields.push_back(source);
  emit(game, "line", fields);
  try {
    game.Timer1_Timer();
  } catch (...) {
    reportFlagChanges(game);
    throw;
  }
  reportFlagChanges(game);
}
void Debugger::reportFlagChanges(Vunt& game) {
  if (seen_ == game.script.Flags) return;
  for (std::size_t i = 0; i < seen_.size(); ++i) {
    if (seen_[i] == game.script.Flags[i]) continue;
    emit(game, "flag", {std::to_string(i), std::to_string(seen_[i]), std::to_string(game.script.Flags[i])});
    seen_[i] = game.script.Flags[i];
  }
}

// Into the transcript when the host keeps one, else to standard error in the same form.
void Debugger::emit(Vunt& game, std::string_view kind, const std::vector<std::string>& fields) {
  // A line run again to resume a snapshot was traced when it first ran.
  if (game.resuming()) return;
  Host& host = game.host();
  if (host.recording()) {
    host.transcript(kind, fields);
    return;
  }
  std::string line(kind);
  for (const std::string& f : fields) line += '\t' + f;
  line += '\n';
  std::fputs(line.c_str(), stderr);
}

}  // namespace vunt
