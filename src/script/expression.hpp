#pragma once
// Comparison expressions of IF and EVA, evaluated without a host.
//
// The language is read once from left to right, with no precedence: "F" and two characters is a
// flag operand, a digit and the character after it a number operand (a single digit only as the
// last character), one of = > < ^ } { the operator for the next comparison (the last one before the
// second operand counts), "&" and "#" make later comparisons combine with the result by and / or.
// The result starts false, so a connective before the first comparison combines with false.
#include <cstdint>
#include <span>
#include <string_view>

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

// Evaluates the expression against the flags; evaluation stops at the first error.
ExpressionResult evaluateExpression(std::u32string_view expression, std::span<const std::int16_t> flags);

}  // namespace vunt
