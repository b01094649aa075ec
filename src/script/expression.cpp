// Comparison expressions of IF and EVA.
#include "script/expression.hpp"

#include <algorithm>
#include <optional>

#include "script/machine.hpp"

namespace vunt {

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The one or two characters of an operand (fewer at the end of the text) read as a decimal number;
// nothing when they are not all digits or there are none.
std::optional<int> operandDigits(std::u32string_view text, std::size_t at) {
  std::u32string_view digits = text.substr(std::min(at, text.size()), 2);
  if (digits.empty()) return std::nullopt;
  int v = 0;
  for (char32_t c : digits) {
    if (!isDigit(c)) return std::nullopt;
    v = v * 10 + int(c - U'0');
  }
  return v;
}

bool compare(char32_t op, int a, int b) {
  switch (op) {
    case U'=': return a == b;
    case U'>': return a > b;
    case U'<': return a < b;
    case U'^': return a != b;
    case U'}': return a >= b;
    default: return a <= b;  // '{'
  }
}

}  // namespace

ExpressionResult evaluateExpression(std::u32string_view text, std::span<const std::int16_t> flags) {
  enum Connective { NoConnective, And, Or } connective = NoConnective;
  bool result = false;
  char32_t pending = 0;  // the operator for the comparison under way, 0 for none
  int operands[2] = {0, 0};
  int count = 0;

  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t c = text[i];
    std::optional<int> operand;
    if (c == U'F') {
      std::optional<int> index = operandDigits(text, i + 1);
      if (!index) return {ExpressionResult::Malformed};
      if (std::size_t(*index) >= flags.size()) return {ExpressionResult::BadFlag};
      operand = flags[std::size_t(*index)];
      i += 3;
    } else if (isDigit(c)) {
      operand = operandDigits(text, i);
      if (!operand) return {ExpressionResult::Malformed};
      i += 2;
    } else if (c == U'=' || c == U'>' || c == U'<' || c == U'^' || c == U'}' || c == U'{') {
      pending = c;
      ++i;
    } else if (c == U'&') {
      connective = And;
      ++i;
    } else if (c == U'#') {
      connective = Or;
      ++i;
    } else {
      return {ExpressionResult::Malformed};
    }
    if (!operand) continue;
    operands[count++] = *operand;
    if (count < 2) continue;
    if (!pending) return {ExpressionResult::Malformed};
    const bool comparison = compare(pending, operands[0], operands[1]);
    switch (connective) {
      case NoConnective: result = comparison; break;
      case And: result = result && comparison; break;
      case Or: result = result || comparison; break;
    }
    pending = 0;
    count = 0;
  }
  return {ExpressionResult::None, std::int16_t(result ? -1 : 0)};
}

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
