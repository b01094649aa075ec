#pragma once
// The authors' debugging options: --start (begin at a line after start-up), --flags (set flags
// before the first line), --trace (a line for every executed line and every flag change) and
// --max-ticks in the window (the headless host bounds its own runs). Nothing here changes what the
// script sees beyond what the author asked for: start line and flags.
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

struct DebugOptions {
  int startLine = 0;                         // 0: the script's own start, line 1
  std::vector<std::pair<int, int>> flags;    // flag index, value
  bool trace = false;
  std::uint64_t maxTicks = 0;                // 0: no bound
  bool any() const { return startLine || !flags.empty() || trace || maxTicks; }
};

// "F1=3,F7=-2" (the F may be lower case, the index may have a leading zero): the settings in
// order; nothing and a one-line reason in error for anything else.
std::optional<std::vector<std::pair<int, int>>> parseFlagSettings(std::string_view text, std::string& error);

// --start's value: a line number 1..1000, or a label of the line map.
std::optional<int> resolveStartLine(std::string_view text, const LineMap* map, std::string& error);

class Debugger {
 public:
  explicit Debugger(DebugOptions options) : options_(std::move(options)) {}
  // After the main window's load handler: the start line and the flags.
  void started(Vunt& game);
  // One timer tick, traced and bounded as asked.
  void tick(Vunt& game);
  std::uint64_t ticks() const { return ticks_; }

 private:
  void reportFlagChanges(Vunt& game);
  void emit(Vunt& game, std::string_view kind, const std::vector<std::string>& fields);
  DebugOptions options_;
  std::array<std::int16_t, 31> seen_{};
  std::uint64_t ticks_ = 0;
};

}  // namespace vunt
