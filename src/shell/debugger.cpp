#include "shell/debugger.hpp"

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

std::optional<int> resolveStartLine(std::string_view text, const LineMap* map, std::string& error) {
  int line = 0;
  if (toInt(text, line)) {
    if (line >= 1 && line <= kLastLine) return line;
    error = "--start: line " + std::string(text) + " is outside the script (1 to 1000)";
    return std::nullopt;
  }
  std::string_view name = !text.empty() && text[0] == ':' ? text.substr(1) : text;
  if (!map) {
    error = "--start " + std::string(text) + ": a label needs the line map vunt-n.map that vunt-asm writes";
    return std::nullopt;
  }
  auto it = map->labels.find(name);
  if (it == map->labels.end()) {
    error = "--start: no label \"" + std::string(name) + "\" in vunt-n.map";
    return std::nullopt;
  }
  // The map comes with the game folder: its number is checked like a number given here.
  if (it->second < 1 || it->second > kLastLine) {
    error = "--start: label \"" + std::string(name) + "\" names line " + std::to_string(it->second) +
            ", outside the script (1 to 1000)";
    return std::nullopt;
  }
  return it->second;
}

void Debugger::started(Vunt& game) {
  if (options_.startLine) game.script.reg.CurLine = i16(options_.startLine);
  for (auto [index, value] : options_.flags) game.script.Flags[std::size_t(index)] = i16(value);
  seen_ = game.script.Flags;
}

void Debugger::tick(Vunt& game) {
  if (options_.maxTicks && ++ticks_ > options_.maxTicks) throw ProgramEnd{4, "max-ticks"};
  if (!options_.trace) {
    game.Timer1_Timer();
    return;
  }
  // Flags the puzzle's key handler changed since the last tick come first.
  reportFlagChanges(game);
  emit(game, "line", {std::to_string(game.script.reg.CurLine)});
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
