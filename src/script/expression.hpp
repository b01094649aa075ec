#pragma once
// Conditions of IF and EVA evaluated on the flags' values, without a host. The language and its
// reading are those of script/condition.hpp.
#include <cstdint>
#include <span>
#include <string_view>

#include "script/state.hpp"

namespace vunt {

struct ExpressionResult {
  enum Error {
    None,
    Malformed,  // a character outside the language, two operands without an operator, or operand
                // characters that do not form a decimal number
    BadFlag,    // a flag operand whose index lies outside the table
  } error = None;
  std::int16_t value = 0;  // -1 true, 0 false; meaningful only without an error
};

// Evaluates the expression against the flags; a malformed one gives its fault and no value.
ExpressionResult evaluateExpression(std::u32string_view expression, std::span<const std::int16_t, kFlagCount> flags);

}  // namespace vunt
