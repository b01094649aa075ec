#pragma once
// What the linter knows about the flags at a point of the script: for each flag the range of
// values it may hold there. Conditions are evaluated on ranges to true, false or either, and a
// branch narrows the ranges of the flags its condition compares with numbers.
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "script/condition.hpp"

namespace vunt {

constexpr int kMinValue = -32768;
constexpr int kMaxValue = 32767;

struct Range {
  int lo = 1, hi = 0;  // empty by default

  static Range of(int v) { return {v, v}; }
  static Range all() { return {kMinValue, kMaxValue}; }
  bool empty() const { return lo > hi; }
  bool contains(int v) const { return lo <= v && v <= hi; }
  bool single() const { return lo == hi; }
  long size() const { return empty() ? 0 : long(hi) - lo + 1; }
  bool within(int a, int b) const { return !empty() && a <= lo && hi <= b; }
  bool meets(int a, int b) const { return !empty() && lo <= b && a <= hi; }
  Range join(const Range& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    return {std::min(lo, o.lo), std::max(hi, o.hi)};
  }
  Range meet(int a, int b) const { return {std::max(lo, a), std::min(hi, b)}; }
  bool operator==(const Range&) const = default;
};

constexpr int kFlagsTracked = 31;
using FlagState = std::array<Range, kFlagsTracked>;

// All flags 0, as at the start of a game.
FlagState startFlags();

// Joins o into s; true when s changed.
bool joinInto(FlagState& s, const FlagState& o);

enum class Truth { False, True, Either };

// A comparison expression read as the game reads it, for evaluation on ranges.
class RangeCondition {
 public:
  // Nothing when the expression is malformed (the game stops at it).
  static std::optional<RangeCondition> parse(std::u32string_view expression);
  static std::optional<RangeCondition> of(const Condition& condition);

  Truth evaluate(const FlagState& flags) const;
  // Narrows the flags for the branch where the condition has the given result; false when that
  // branch cannot be taken with these flags.
  bool narrow(FlagState& flags, bool result) const;
  // The flags the expression reads.
  std::vector<int> flags() const;
  // The flags it compares with other flags.
  std::vector<int> comparedFlags() const;

 private:
  using Operand = ConditionOperand;
  using Comparison = ConditionComparison;
  std::vector<Comparison> comparisons_;
};

// Widening: the next value at or beyond v among the thresholds (sorted), in the given direction.
int widenUp(const std::vector<int>& thresholds, int v);
int widenDown(const std::vector<int>& thresholds, int v);

}  // namespace vunt
