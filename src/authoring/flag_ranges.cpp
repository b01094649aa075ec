#include "authoring/flag_ranges.hpp"

#include <algorithm>
#include <cstring>

namespace vunt {

static_assert(kFlagsTracked == kFlagCount, "a condition's flag operands index the tracked flags");

namespace {

Truth compareRanges(char32_t op, const Range& a, const Range& b) {
  if (a.empty() || b.empty()) return Truth::Either;
  auto truth = [](bool always, bool never) { return always ? Truth::True : never ? Truth::False : Truth::Either; };
  switch (op) {
    case U'=': return truth(a.single() && b.single() && a.lo == b.lo, a.hi < b.lo || b.hi < a.lo);
    case U'^': return truth(a.hi < b.lo || b.hi < a.lo, a.single() && b.single() && a.lo == b.lo);
    case U'>': return truth(a.lo > b.hi, a.hi <= b.lo);
    case U'<': return truth(a.hi < b.lo, a.lo >= b.hi);
    case U'}': return truth(a.lo >= b.hi, a.hi < b.lo);
    default: return truth(a.hi <= b.lo, a.lo > b.hi);  // '{'
  }
}

Truth both(Truth a, Truth b) {
  if (a == Truth::False || b == Truth::False) return Truth::False;
  return a == Truth::True && b == Truth::True ? Truth::True : Truth::Either;
}
Truth either(Truth a, Truth b) {
  if (a == Truth::True || b == Truth::True) return Truth::True;
  return a == Truth::False && b == Truth::False ? Truth::False : Truth::Either;
}

// The operator seen from the other operand: a > b is b < a.
char32_t mirrored(char32_t op) {
  switch (op) {
    case U'>': return U'<';
    case U'<': return U'>';
    case U'}': return U'{';
    case U'{': return U'}';
    default: return op;
  }
}

// Narrows r so that (r op c) has the given result.
Range narrowed(Range r, char32_t op, int c, bool result) {
  if (!result) {
    switch (op) {
      case U'=': op = U'^'; break;
      case U'^': op = U'='; break;
      case U'>': op = U'{'; break;
      case U'<': op = U'}'; break;
      case U'}': op = U'<'; break;
      default: op = U'>'; break;
    }
  }
  switch (op) {
    case U'=': return r.meet(c, c);
    case U'^':
      if (r.lo == c) ++r.lo;
      if (r.hi == c) --r.hi;
      return r;
    case U'>': return r.meet(c + 1, kMaxValue);
    case U'<': return r.meet(kMinValue, c - 1);
    case U'}': return r.meet(c, kMaxValue);
    default: return r.meet(kMinValue, c);  // '{'
  }
}

}  // namespace

FlagState startFlags() {
  FlagState s;
  s.fill(Range::of(0));
  return s;
}

namespace {

// Two ranges side by side, lo, hi, lo, hi: the flow analysis joins flag states at every step, and
// joining two ranges at once in the processor's vector registers halves the work.
using RangePair = int __attribute__((vector_size(16)));

// Range::join of each range of a with the one of b beside it.
RangePair joinPair(RangePair a, RangePair b) {
  const RangePair aSwapped = __builtin_shufflevector(a, a, 1, 0, 3, 2);
  const RangePair bSwapped = __builtin_shufflevector(b, b, 1, 0, 3, 2);
  // All ones in both lanes of an empty range (lo > hi).
  const RangePair aEmpty = __builtin_shufflevector(a > aSwapped, aSwapped > a, 0, 5, 2, 7);
  const RangePair bEmpty = __builtin_shufflevector(b > bSwapped, bSwapped > b, 0, 5, 2, 7);
  const RangePair less = a < b;
  const RangePair lower = (less & a) | (~less & b), higher = (less & b) | (~less & a);
  const RangePair both = __builtin_shufflevector(lower, higher, 0, 5, 2, 7);
  return (aEmpty & b) | (~aEmpty & ((bEmpty & a) | (~bEmpty & both)));
}

}  // namespace

bool joinInto(FlagState& s, const FlagState& o) {
  static_assert(sizeof(Range) == 2 * sizeof(int) && sizeof(FlagState) == kFlagsTracked * sizeof(Range));
  bool changed = false;
  std::size_t i = 0;
  for (; i + 2 <= s.size(); i += 2) {
    RangePair a, b;
    std::memcpy(&a, &s[i], sizeof a);
    std::memcpy(&b, &o[i], sizeof b);
    const RangePair j = joinPair(a, b);
    const RangePair differs = j != a;
    changed |= (differs[0] | differs[1] | differs[2] | differs[3]) != 0;
    std::memcpy(static_cast<void*>(&s[i]), &j, sizeof j);  // Range is trivially copyable
  }
  for (; i < s.size(); ++i) {
    const Range j = s[i].join(o[i]);
    changed |= !(j == s[i]);
    s[i] = j;
  }
  return changed;
}

std::optional<RangeCondition> RangeCondition::parse(std::u32string_view text) { return of(parseCondition(text)); }

std::optional<RangeCondition> RangeCondition::of(const Condition& condition) {
  if (condition.fault != ConditionFault::None) return std::nullopt;
  RangeCondition out;
  out.comparisons_ = condition.comparisons;
  return out;
}

Truth RangeCondition::evaluate(const FlagState& flags) const {
  Truth result = Truth::False;
  auto value = [&](const Operand& o) { return o.flag >= 0 ? flags[std::size_t(o.flag)] : Range::of(o.value); };
  for (const Comparison& c : comparisons_) {
    const Truth t = compareRanges(c.op, value(c.a), value(c.b));
    switch (c.connective) {
      case Comparison::None: result = t; break;
      case Comparison::And: result = both(result, t); break;
      case Comparison::Or: result = either(result, t); break;
    }
  }
  return result;
}

bool RangeCondition::narrow(FlagState& flags, bool result) const {
  const Truth t = evaluate(flags);
  if (t == Truth::True) return result;
  if (t == Truth::False) return !result;
  // Narrowing is exact only where every comparison must have the branch's result: a single
  // comparison, an "and" chain that holds, an "or" chain that fails.
  if (comparisons_.empty() || comparisons_.front().connective != Comparison::None) return true;
  for (std::size_t i = 1; i < comparisons_.size(); ++i)
    if (comparisons_[i].connective != (result ? Comparison::And : Comparison::Or)) return true;
  // A flag compared with a number, or with a flag of one value here, narrows.
  auto constant = [&](const Operand& o) -> std::optional<int> {
    if (o.flag < 0) return o.value;
    const Range& r = flags[std::size_t(o.flag)];
    return r.single() ? std::optional<int>(r.lo) : std::nullopt;
  };
  for (const Comparison& c : comparisons_) {
    if (c.a.flag >= 0 && constant(c.b) && !(c.b.flag >= 0 && constant(c.a))) {
      Range& r = flags[std::size_t(c.a.flag)];
      r = narrowed(r, c.op, *constant(c.b), result);
      if (r.empty()) return false;
    } else if (c.b.flag >= 0 && constant(c.a)) {
      const int v = *constant(c.a);
      Range& r = flags[std::size_t(c.b.flag)];
      r = narrowed(r, mirrored(c.op), v, result);
      if (r.empty()) return false;
    }
  }
  return true;
}

std::vector<int> RangeCondition::flags() const {
  std::vector<int> out;
  for (const Comparison& c : comparisons_)
    for (const Operand* o : {&c.a, &c.b})
      if (o->flag >= 0) out.push_back(o->flag);
  return out;
}

std::vector<int> RangeCondition::comparedFlags() const {
  std::vector<int> out;
  for (const Comparison& c : comparisons_)
    if (c.a.flag >= 0 && c.b.flag >= 0) {
      out.push_back(c.a.flag);
      out.push_back(c.b.flag);
    }
  return out;
}

int widenUp(const std::vector<int>& thresholds, int v) {
  auto it = std::lower_bound(thresholds.begin(), thresholds.end(), v);
  return it == thresholds.end() ? kMaxValue : *it;
}

int widenDown(const std::vector<int>& thresholds, int v) {
  auto it = std::upper_bound(thresholds.begin(), thresholds.end(), v);
  return it == thresholds.begin() ? kMinValue : *(it - 1);
}

}  // namespace vunt
