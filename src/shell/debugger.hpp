#pragma once
// The authors' debugging options: --start (begin at a line after start-up), --flags (set flags
// before the first line), --trace (a line for every executed line and every flag change),
// --max-ticks in the window (the headless host bounds its own runs), and breaks: on a line, a label
// or a flag's change (--break, or the console of the F12 overlay), stepping one line and running to
// a line. Nothing here changes what the script sees beyond what the author asked for.
//
// A break stops before the line runs. In the window the game pauses there (the overlay shows where
// and the console goes on); headless, the transcript gets a line "break", the line, its source
// position (empty without a line map) and the reason, standard error says the same, and the run
// ends with "end break" and exit status 5.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/line_map.hpp"

namespace vunt {

class Vunt;

// Where a break stops: before a line runs (a line number or a label, kept as the author named
// it), or before the first line after a flag changed.
struct Breakpoint {
  enum Kind : std::uint8_t { Line, Flag } kind = Line;
  int line = 0;       // Line: the script line
  int flag = 0;       // Flag: its index
  std::string named;  // as the author wrote it ("120", "lamp", "F3")
  bool operator==(const Breakpoint&) const = default;
};

struct DebugOptions {
  int startLine = 0;                         // 0: the script's own start, line 1
  std::vector<std::pair<int, int>> flags;    // flag index, value
  bool trace = false;
  std::uint64_t maxTicks = 0;                // 0: no bound
  std::vector<Breakpoint> breaks;
  bool quiet = false;                        // a stop says nothing on standard error
  bool any() const { return startLine || !flags.empty() || trace || maxTicks || !breaks.empty(); }
};

// The exit status of a headless run that stopped at a break.
inline constexpr int kBreakStatus = 5;

// "F1=3,F7=-2" (the F may be lower case, the index may have a leading zero): the settings in
// order; nothing and a one-line reason in error for anything else.
std::optional<std::vector<std::pair<int, int>>> parseFlagSettings(std::string_view text, std::string& error);

// A script line named by the author: a number 1..lastLine (the script's own last line), or a label
// of the line map (with or without its ":"). `what` names the option in the error ("--start").
std::optional<int> resolveScriptLine(std::string_view text, const LineMap* map, int lastLine, std::string_view what,
                                     std::string& error);
// --start's value: a line number 1..1000, or a label of the line map.
std::optional<int> resolveStartLine(std::string_view text, const LineMap* map, std::string& error);
// --break's value: "F3" (a flag's change), a line number or a label.
std::optional<Breakpoint> parseBreakpoint(std::string_view text, const LineMap* map, int lastLine, std::string& error);

// Runs one command of the console (the F12 overlay's line; see docs/debugging.md) on the game and
// returns the answer it shows.
std::string runConsoleCommand(Vunt& game, std::string_view command);

class Debugger {
 public:
  explicit Debugger(DebugOptions options);
  // After the main window's load handler: the start line and the flags.
  void started(Vunt& game);
  // One timer tick, traced, bounded and stopped as asked.
  void tick(Vunt& game);
  std::uint64_t ticks() const { return ticks_; }

  // The console's controls (window only: headless runs end at their first stop).
  void addBreak(Breakpoint b);
  void clearBreaks() { options_.breaks.clear(); }
  const std::vector<Breakpoint>& breaks() const { return options_.breaks; }
  bool paused() const { return paused_; }
  void pause() { paused_ = true; }
  void resume();             // goes on, past a break at the line it stands on
  void step();               // runs one line, then stops again
  void runTo(int line);      // goes on until that line is about to run
  // Where the game last stopped ("line 41 (story.txt:88): F3 0 -> 2"), empty while it never did.
  const std::string& stopText() const { return stopText_; }
  // Counts the changes of the pause state, the breaks and the stop, for the overlay's redrawing.
  std::uint64_t generation() const { return generation_; }

 private:
  std::optional<std::string> stopReason(Vunt& game);
  void stop(Vunt& game, const std::string& reason);
  void reportFlagChanges(Vunt& game);
  void emit(Vunt& game, std::string_view kind, const std::vector<std::string>& fields);
  DebugOptions options_;
  std::array<std::int16_t, 31> seen_{};        // the flags as the trace last reported them
  std::array<std::int16_t, 31> watched_{};     // the flags as the flag breaks last saw them
  std::uint64_t ticks_ = 0;
  bool paused_ = false;
  bool passOnce_ = false;     // the line the game stands on runs without its break
  bool stepping_ = false;     // stop before the line after the next one runs
  bool stepped_ = false;
  int runTo_ = 0;
  int lastLine_ = 0;          // the line that ran last
  std::string stopText_;
  std::uint64_t generation_ = 0;
};

}  // namespace vunt
