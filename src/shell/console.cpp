// The authors' console in the debug overlay (F12): a line typed while the overlay is shown, run by
// Enter. Its commands set flags, jump, step, run to a line, break, and reload the script.
#include "shell/debugger.hpp"
#include "shell/vunt.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

constexpr int kBackspace = 8;

// The character a key types with Shift on a US keyboard, for the few the commands need.
char32_t shifted(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  switch (c) {
    case U'-': return U'_';
    case U';': return U':';
    case U'=': return U'+';
    default: return c;
  }
}

int lastScriptLine(const Vunt& g) {
  for (int n = kLastLine; n >= 1; --n)
    if (!g.script.store.ScriptLines[std::size_t(n)].empty()) return n;
  return 1;
}

}  // namespace

const char* const kConsoleHelp =
    "F3=2 set | j LINE|LABEL jump | s step | c go on | r LINE|LABEL run to | b LINE|LABEL|F3 break | "
    "d no breaks | p pause | reload";

// Runs one console command; returns the answer to show.
std::string runConsoleCommand(Vunt& g, std::string_view command) {
  while (!command.empty() && command.front() == ' ') command.remove_prefix(1);
  while (!command.empty() && command.back() == ' ') command.remove_suffix(1);
  std::string_view verb = command.substr(0, command.find(' '));
  std::string_view arg = verb.size() < command.size() ? command.substr(verb.size() + 1) : std::string_view();
  while (!arg.empty() && arg.front() == ' ') arg.remove_prefix(1);
  Debugger* d = g.debugger();
  if (!d) return "no debugger in this run";
  const LineMap* map = g.lineMap() ? &*g.lineMap() : nullptr;
  std::string error;
  auto lineOf = [&](std::string_view what) { return resolveScriptLine(arg, map, lastScriptLine(g), what, error); };
  auto at = [&](int line) {
    const std::string source = g.sourceOf(line);
    return std::to_string(line) + (source.empty() ? "" : " (" + source + ")");
  };
  if (command.empty()) {
    if (!d->paused()) return "";
    d->step();
    return "step";
  }
  // F3=2, or "set F3=2", or "set F3 2".
  std::string_view assignment = verb == "set" ? arg : command;
  if (std::size_t eq = assignment.find_first_of("= "); eq != std::string_view::npos &&
                                                        (assignment[0] == 'F' || assignment[0] == 'f')) {
    std::string text(assignment);
    text[eq] = '=';
    auto settings = parseFlagSettings(text, error);
    if (!settings) return error;
    for (auto [index, value] : *settings) g.script.Flags[std::size_t(index)] = i16(value);
    return "F" + std::to_string(settings->front().first) + " = " + std::to_string(settings->front().second);
  }
  if (verb == "s" || verb == "step") {
    d->step();
    return "step";
  }
  if (verb == "c" || verb == "cont" || verb == "continue") {
    d->resume();
    return "going on";
  }
  if (verb == "p" || verb == "pause") {
    d->pause();
    return "paused before line " + at(g.script.reg.CurLine);
  }
  if (verb == "d" || verb == "delete") {
    d->clearBreaks();
    return "no breaks";
  }
  if (verb == "b" || verb == "break") {
    if (arg.empty()) {
      std::string list;
      for (const Breakpoint& b : d->breaks()) list += (list.empty() ? "" : " ") + b.named;
      return list.empty() ? "no breaks" : "breaks: " + list;
    }
    auto b = parseBreakpoint(arg, map, lastScriptLine(g), error);
    if (!b) return error;
    d->addBreak(*b);
    return b->kind == Breakpoint::Flag ? "break when F" + std::to_string(b->flag) + " changes"
                                       : "break before line " + at(b->line);
  }
  if (verb == "r" || verb == "run") {
    auto line = lineOf("run");
    if (!line) return error;
    d->runTo(*line);
    return "running to line " + at(*line);
  }
  if (verb == "j" || verb == "jump") {
    auto line = lineOf("jump");
    if (!line) return error;
    std::string why;
    // The jump leaves the running line at once: the answer is set before. A paused game plays on
    // from the line jumped to.
    g.consoleAnswer = "at line " + at(*line);
    if (g.puzzle.PuzzleActive != 1 && g.Timer1Enabled) d->resume();
    if (!g.jumpTo(*line, why)) return why;
    return g.consoleAnswer;
  }
  if (verb == "reload") {
    g.consoleAnswer = "reloading";
    g.reloadScript();
    return g.reloadErrors().empty() ? "reloaded" : "the new script has errors: the old one plays on";
  }
  if (verb == "help" || verb == "?") return kConsoleHelp;
  return "unknown command \"" + std::string(verb) + "\" (help lists them)";
}

bool Vunt::consoleKey(int keyCode, char32_t character, int shift) {
  if (!aids.debugOverlay() || aidScreenOpen() || modalForm()) return false;
  if (keyCode == vk::Return) {
    // Enter on an empty line steps while paused; otherwise the game's.
    if (consoleLine.empty() && !(debugger_ && debugger_->paused())) return false;
    const std::string command = toUtf8(consoleLine);
    consoleLine.clear();
    consoleAnswer = runConsoleCommand(*this, command);
    aids.consoleChanged();
    return true;
  }
  if (keyCode == kBackspace) {
    if (consoleLine.empty()) return false;
    consoleLine.pop_back();
    aids.consoleChanged();
    return true;
  }
  if (keyCode == vk::Escape && !consoleLine.empty()) {
    consoleLine.clear();
    aids.consoleChanged();
    return true;
  }
  // Space answers the game's page unless the line is being typed.
  if (character == U' ' && consoleLine.empty()) return false;
  if (character < U' ' || character > U'~' || consoleLine.size() >= 60) return false;
  // While the overlay is shown, the keys that type take the console's line (the A key's auto mode too).
  consoleLine += (shift & 1) ? shifted(character) : character;
  aids.consoleChanged();
  return true;
}

}  // namespace vunt
