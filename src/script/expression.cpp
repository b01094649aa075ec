// TCHK: the condition of an IF or EVA line on the flags, its faults reported as script errors.
#include "script/expression.hpp"

#include "script/machine.hpp"

namespace vunt {

i16 Machine::TCHK(std::u32string_view expression) {
  ExpressionResult r = evaluateExpression(expression, s.Flags);
  switch (r.error) {
    case ExpressionResult::None: break;
    case ExpressionResult::Malformed: EEE(U"比較式");
    case ExpressionResult::BadFlag: EEE(U"フラグ範囲外");
  }
  return r.value;
}

}  // namespace vunt
