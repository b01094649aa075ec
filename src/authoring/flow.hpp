#pragma once
// The script run in the abstract, as the engine runs it: every line execution can reach, with the
// engine's registers (the single GOSUB return line, the single menu end line) and the range of
// values each flag may hold there. A point of the analysis is a line together with the registers'
// values, so a subroutine called from two places returns to each, and a CASE line continues at
// the end line of the menu that actually ran last. Flag ranges follow LET, INC, DEC, FGCL, CLR,
// menu answers, the puzzle's outcome, SAVE and LOAD, and narrow along the branches of IF and EVA.
//
// Faults that the registers or the ranges make certain are errors, faults they only make
// possible are warnings; loops that can neither wait for the player nor end are errors.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "authoring/finding.hpp"
#include "authoring/flag_ranges.hpp"

namespace vunt {

struct FlowIssue {
  int line;
  Finding::Severity severity;
  std::string message;
  std::string hint;
  int field = 0;    // the field the issue is about; 0 for the whole line
  int excuses = 0;  // a line this fault keeps from running: lines from there are not called unreached
};

class FlowAnalysis {
 public:
  // lines: the script's lines, line 1 first. A structural analysis takes both ways of every IF
  // and EVA and every line of FP and FJ tables, whatever the flags: what it reaches is what
  // some values of the flags could reach.
  explicit FlowAnalysis(const std::vector<std::u32string>& lines, bool structural = false);
  ~FlowAnalysis();
  FlowAnalysis(const FlowAnalysis&) = delete;
  FlowAnalysis& operator=(const FlowAnalysis&) = delete;

  // Before run: the values each CMSL's player can choose, where the menus tell. Its search then
  // leads only to the CASE lines of those values (others stay possible for values from flags).
  void restrictChoices(std::map<int, std::set<int>> choices);
  void run();

  // Line n + 1 stands for running past the last line.
  bool reached(int line) const;
  // The lines that may run next after `line` (union over every way of reaching it).
  const std::vector<int>& successors(int line) const;
  // What flag f may hold when `line` starts; empty when the line is never reached.
  Range flagAt(int line, int f) const;
  // Jumps whose targets come from flags with too many values to follow: they may land on any
  // line that reads as a command.
  const std::set<int>& computedJumps() const;
  // False when the script had too many ways through it to follow them all: the lines reached are
  // then a part of those that may be.
  bool complete() const;
  // The points (a line with the registers) the analysis held; it keeps at most kMaxPoints.
  std::size_t points() const;
  static constexpr std::size_t kMaxPoints = 6'000;
  const std::vector<FlowIssue>& issues() const;
  // CASE lines executed as commands, each with the CMSL lines whose end line it continued at.
  const std::map<int, std::set<int>>& caseMenus() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vunt
