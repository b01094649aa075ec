// Reading conditions of IF and EVA, and evaluating them on the flags' values.
#include "script/condition.hpp"

#include "script/expression.hpp"

namespace vunt {

Condition parseCondition(std::u32string_view text) {
  Condition out;
  ConditionReader reader(text);
  ConditionComparison c;
  while (reader.next(c)) out.comparisons.push_back(c);
  out.fault = reader.fault();
  out.faultAt = reader.faultAt();
  out.incomplete = out.fault == ConditionFault::None && reader.incomplete();
  return out;
}

ExpressionResult evaluateExpression(std::u32string_view text, std::span<const std::int16_t, kFlagCount> flags) {
  auto value = [&](const ConditionOperand& o) { return o.isFlag() ? int(flags[std::size_t(o.flag)]) : o.value; };
  bool result = false;
  ConditionReader reader(text);
  ConditionComparison c;
  while (reader.next(c)) {
    const bool comparison = comparisonHolds(c.op, value(c.a), value(c.b));
    switch (c.connective) {
      case ConditionComparison::None: result = comparison; break;
      case ConditionComparison::And: result = result && comparison; break;
      case ConditionComparison::Or: result = result || comparison; break;
    }
  }
  switch (reader.fault()) {
    case ConditionFault::None: return {ExpressionResult::None, std::int16_t(result ? -1 : 0)};
    case ConditionFault::FlagIndex: return {ExpressionResult::BadFlag};
    default: return {ExpressionResult::Malformed};
  }
}

}  // namespace vunt
